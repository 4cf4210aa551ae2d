#pragma once

#include "FileDescriptor.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlowen {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb BeforeColour{255, 0, 0};
inline constexpr Rgb AfterColour{0, 0, 255};

enum class FocusTarget { LogList, EmphasisBox };

// What the line counter shows: the count alone while loading ("57行"), count over total while converting or
// exporting ("12/57行").
struct LineCount {
    std::int64_t count = 0;
    std::optional<std::int64_t> total;
    friend bool operator==(const LineCount&, const LineCount&) = default;
};

std::u16string CounterText(const LineCount& lineCount);

// The check view's text where it lies in a file (a page's body, a rewritten log): the bytes from begin to end
// of a file open for reading, Shift-JIS or UTF-8, lines ending in CR LF or LF.
struct CheckFile {
    FileDescriptor file;
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    bool utf8 = false;
};

// The text of a CheckFile, decoded whole; empty if it cannot be read.
std::u16string DecodeCheckFile(const CheckFile& file);

// The longest row the check view lays out; a longer line is shown in rows of this length.
inline constexpr std::size_t CheckRowLength = 32768;

// The check view's lines where they lie in a file, found as the file was read or written: the text is the
// lines joined by line breaks. starts holds where each line begins, from file.begin (a loaded line the
// cleaning empties begins at its end); it runs to the next CR LF or LF. A line of more than CheckRowLength
// bytes has LongLine set; EmptyLine is an empty line that is not in the file (a loaded log's text starts with
// the line break before its first line).
struct CheckLines {
    static constexpr std::uint64_t LongLine = std::uint64_t{1} << 62;
    static constexpr std::uint64_t EmptyLine = std::uint64_t{1} << 63;
    CheckFile file;
    std::vector<std::uint64_t> starts;
};

// The text of CheckLines, decoded whole; what could not be read is left out.
std::u16string DecodeCheckLines(const CheckLines& lines);

// Everything the log operations ask of the main window. The window supplies the real one; tests a script.
class WindowOperations {
  public:
    virtual ~WindowOperations() = default;

    // A question with OK and Cancel; true for OK.
    virtual bool AskOkCancel(std::u16string_view title, std::u16string_view text) = 0;
    virtual void ShowNotice(std::u16string_view title, std::u16string_view text) = 0;
    virtual void Beep() = 0;
    virtual void SetBusy(bool on) = 0;
    // The before/after label: "Before" over the log as loaded, "After" over what was written (the converted
    // log, or the page's body).
    virtual void SetStateLabel(std::u16string_view text, Rgb colour) = 0;
    // Called for every line of a long operation: keep it cheap and repaint as often as is useful.
    virtual void SetLineCounter(const LineCount& lineCount) = 0;
    virtual void SetCheckText(std::u16string text) = 0;
    // The check view's text from a file: a view that reads the rows it shows from there holds no copy of
    // the text. Decoded whole and given to SetCheckText unless a window reads the file itself.
    virtual void SetCheckFile(CheckFile file);
    // The same with its lines already found (a loaded log, a page's body): decoded whole and given to
    // SetCheckText unless a window reads the file itself.
    virtual void SetCheckLines(CheckLines lines);
    // False where there is no check view, so that no text is decoded for it.
    virtual bool ShowsCheckText() const { return true; }
    virtual void MoveFocus(FocusTarget target) = 0;
};

// The notices for a log or page that could not be read or written, naming the file and the reason.
void ShowReadFailure(WindowOperations& window, std::u16string_view fileName, const struct FileStatus& status);
void ShowWriteFailure(WindowOperations& window, std::u16string_view fileName,
                      const struct FileStatus& status);

} // namespace parlowen
