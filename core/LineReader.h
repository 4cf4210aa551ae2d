#pragma once

#include <cstring>
#include <string_view>
#include <vector>

namespace parlowen {

// The character that ends a log's lines. A log ends them at CR or CR LF, and an LF that does not follow a CR
// stays inside the line; but a log saved with LF alone holds no CR at all, and read by that rule it would be
// a single line, so for such a log LF ends the lines.
template <typename Char> Char LineEndOf(std::basic_string_view<Char> text) {
    if constexpr (sizeof(Char) == 1) {
        // An empty file is mapped nowhere, and memchr may not be given a null pointer even for no bytes.
        return !text.empty() && std::memchr(text.data(), '\r', text.size()) ? Char('\r') : Char('\n');
    } else {
        return text.find(Char('\r')) != text.npos ? Char('\r') : Char('\n');
    }
}

// Walks the lines of a log: a line ends at the log's line end (CR or CR LF, or LF in a log without CR), a
// last line without terminator is still a line and a text ending in a terminator has no empty line after
// it. Works on decoded text and on the file's bytes alike: in code page 932 CR and LF are never the second
// byte of a character, so both give the same lines. A piece of a log is read with the whole log's line end.
template <typename Char> class BasicLineReader {
  public:
    explicit BasicLineReader(std::basic_string_view<Char> text) : BasicLineReader(text, LineEndOf(text)) {}
    BasicLineReader(std::basic_string_view<Char> text, Char lineEnd) : text_(text), lineEnd_(lineEnd) {}

    // Gives the next line without its terminator; false at the end of the text.
    bool Next(std::basic_string_view<Char>& line) {
        if (position_ >= text_.size()) {
            return false;
        }
        std::size_t end = Find(position_);
        if (end == std::basic_string_view<Char>::npos) {
            line = text_.substr(position_);
            position_ = text_.size();
            return true;
        }
        line = text_.substr(position_, end - position_);
        position_ = end + 1;
        if (lineEnd_ == Char('\r') && position_ < text_.size() && text_[position_] == Char('\n')) {
            ++position_;
        }
        return true;
    }

  private:
    std::size_t Find(std::size_t from) const {
        if constexpr (sizeof(Char) == 1) {
            // memchr is vectorised; the generic find compares one character at a time.
            const void* found = std::memchr(text_.data() + from, lineEnd_, text_.size() - from);
            return found ? static_cast<std::size_t>(static_cast<const Char*>(found) - text_.data())
                         : std::basic_string_view<Char>::npos;
        } else {
            return text_.find(lineEnd_, from);
        }
    }

    std::basic_string_view<Char> text_;
    Char lineEnd_;
    std::size_t position_ = 0;
};

// The same lines from the last to the first, for work that writes them in reverse order anyway.
class ReverseByteLineReader {
  public:
    explicit ReverseByteLineReader(std::string_view text) : ReverseByteLineReader(text, LineEndOf(text)) {}
    ReverseByteLineReader(std::string_view text, char lineEnd)
        : text_(text), lineEnd_(lineEnd), end_(text.size()), done_(text.empty()) {
        // A terminator at the very end closes the last line rather than starting an empty one.
        if (lineEnd_ == '\r' && end_ >= 2 && text_[end_ - 2] == '\r' && text_[end_ - 1] == '\n') {
            end_ -= 2;
        } else if (end_ >= 1 && text_[end_ - 1] == lineEnd_) {
            end_ -= 1;
        }
    }

    bool Previous(std::string_view& line) {
        if (done_) {
            return false;
        }
        const void* found = end_ == 0 ? nullptr : ::memrchr(text_.data(), lineEnd_, end_);
        std::size_t start = 0;
        if (found == nullptr) {
            done_ = true;
        } else {
            const auto terminator = static_cast<std::size_t>(static_cast<const char*>(found) - text_.data());
            start = terminator + 1;
            if (lineEnd_ == '\r' && start < end_ && text_[start] == '\n') {
                ++start;
            }
            line = text_.substr(start, end_ - start);
            end_ = terminator;
            return true;
        }
        line = text_.substr(start, end_ - start);
        return true;
    }

  private:
    std::string_view text_;
    char lineEnd_;
    std::size_t end_;
    bool done_;
};

// Cuts a log into pieces of at least pieceSize bytes (but the last; 0 for one piece), each ending just after
// a line end, CR LF kept together: read with the whole log's line end, the lines of the pieces one after
// another are the lines of the log.
inline std::vector<std::string_view> SplitAtLineEnds(std::string_view text, char lineEnd,
                                                     std::size_t pieceSize) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.size();
        if (pieceSize != 0 && text.size() - start > pieceSize) {
            const std::size_t from = start + pieceSize - 1;
            if (const void* found = std::memchr(text.data() + from, lineEnd, text.size() - from)) {
                end = static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) + 1;
                if (lineEnd == '\r' && end < text.size() && text[end] == '\n') {
                    ++end;
                }
            }
        }
        pieces.push_back(text.substr(start, end - start));
        start = end;
    }
    return pieces;
}

using LineReader = BasicLineReader<char16_t>;
using ByteLineReader = BasicLineReader<char>;

} // namespace parlowen
