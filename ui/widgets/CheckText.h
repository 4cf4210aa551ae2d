#pragma once

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
// text it is given and an index of where each row starts in it, so that a log of millions of lines is
// neither copied nor laid out; a row that is edited is held on its own. A line longer than RowLength
// characters is held in rows of that length with no line break between them.
class CheckText {
  public:
    static constexpr int RowLength = 32768;

    CheckText();

    // Lines end in CR LF or LF; a CR alone is part of its line.
    void assign(std::u16string text);
    // The same for a page's body in its bytes, Shift-JIS or UTF-8, decoded a row at a time as it is shown:
    // it takes about half the memory of its text.
    void assignEncoded(std::string bytes, bool utf8);

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
    Extent RowExtent(std::size_t offset) const;
    bool IsEdited(std::int64_t index) const;

    std::u16string base_;
    std::string bytes_; // instead of base_ when encoded_
    bool encoded_ = false;
    bool utf8_ = false;
    // Per row: the offset in base_ or bytes_, or with EditedRow the index in edited_; with ContinuedRow no
    // line break follows it.
    std::vector<std::uint64_t> rows_;
    std::vector<std::u16string> edited_;
};

} // namespace parlowen
