#pragma once

#include <string_view>

namespace parlowen {

// Walks the lines of a log's text: a line ends at CR or CR LF, an LF that does not follow a CR stays inside
// the line, a last line without terminator is still a line and text ending in a terminator has no empty
// line after it.
class LineReader {
public:
    explicit LineReader(std::u16string_view text) : text_(text) {}

    // Gives the next line without its terminator; false at the end of the text.
    bool Next(std::u16string_view& line);

private:
    std::u16string_view text_;
    std::size_t position_ = 0;
};

} // namespace parlowen
