#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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
    // A page's body for the check view in the page's bytes, Shift-JIS or UTF-8: a view that holds it so
    // needs half the memory of its text. Decoded and given to SetCheckText unless a window takes it as it is.
    virtual void SetCheckPage(std::string body, bool utf8);
    // False where there is no check view, so that no text is decoded for it.
    virtual bool ShowsCheckText() const { return true; }
    virtual void MoveFocus(FocusTarget target) = 0;
};

// The notices for a log or page that could not be read or written, naming the file and the reason.
void ShowReadFailure(WindowOperations& window, std::u16string_view fileName, const struct FileStatus& status);
void ShowWriteFailure(WindowOperations& window, std::u16string_view fileName,
                      const struct FileStatus& status);

} // namespace parlowen
