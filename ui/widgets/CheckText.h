#pragma once

#include "WindowOperations.h"

#include <QString>

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace parlowen {

// A place in the check text: a row and a UTF-16 index within it.
struct CheckTextPosition {
    std::int64_t row = 0;
    int column = 0;
    auto operator<=>(const CheckTextPosition&) const = default;
};

// The text of the check view: the loaded log, the converted text or the page body, as rows. It keeps the
// text it is given, or reads it from its file, and an index of where each row starts, so that a log of
// millions of lines is neither copied nor laid out; a row that is edited is held on its own. A line longer
// than RowLength characters (bytes, in a file) is held in rows of that length with no line break between
// them.
class CheckText {
  public:
    static constexpr int RowLength = CheckRowLength;

    CheckText();

    // Lines end in CR LF or LF; a CR alone is part of its line.
    void assign(std::u16string text);
    // The same where it lies in a file (a page's body, a rewritten log), read and decoded a row at a time as
    // it is shown: only the index takes memory. Rows that cannot be read show as far as they could be.
    void assignFile(CheckFile file);
    // Lines found in a file as it was read or written (a loaded log, a page's body), read from there.
    void assignLines(CheckLines lines);

    std::int64_t rowCount() const { return static_cast<std::int64_t>(rows_.size()); }
    std::u16string row(std::int64_t index) const;
    // False after the last row and after a row that a long line continues in the next.
    bool breakAfter(std::int64_t index) const;
    CheckTextPosition end() const;

    // The text from one position to another, line breaks as lineBreak, at most limit UTF-16 units.
    QString text(CheckTextPosition from, CheckTextPosition to, std::u16string_view lineBreak,
                 qsizetype limit = -1) const;
    // The word a position is in or begins, as a double click selects it.
    std::pair<CheckTextPosition, CheckTextPosition> wordAt(CheckTextPosition at) const;
    // Replaces the text between two positions (from before to) by text, whose line breaks (CR LF or LF)
    // start new rows; returns the position after it.
    CheckTextPosition replace(CheckTextPosition from, CheckTextPosition to, std::u16string_view text);

    struct Extent {
        std::size_t length;
        bool continued;
    };

  private:
    void Clear();
    bool IsEdited(std::int64_t index) const;
    void IndexFileRange(std::uint64_t from, std::uint64_t to, std::vector<std::uint64_t>& rows) const;
    // Where the line from offset on ends, before its CR LF or LF.
    std::uint64_t LineEnd(std::uint64_t offset) const;
    // Reads up to length bytes of the file from offset on into to; returns how many it read.
    std::size_t ReadFile(std::uint64_t offset, std::size_t length, char* to) const;

    std::u16string base_;
    CheckFile file_; // instead of base_ when it is open
    // Per row: the offset in base_ or from file_.begin, or with EditedRow the index in edited_; with
    // ContinuedRow no line break follows it.
    std::vector<std::uint64_t> rows_;
    std::vector<std::u16string> edited_;
};

} // namespace parlowen
