#pragma once

#include <cstring>
#include <string_view>

namespace parlowen {

// Walks the lines of a log: a line ends at CR or CR LF, an LF that does not follow a CR stays inside the
// line, a last line without terminator is still a line and a text ending in a terminator has no empty
// line after it. Works on decoded text and on the file's bytes alike: in code page 932 CR and LF are never
// the second byte of a character, so both give the same lines.
template <typename Char> class BasicLineReader {
  public:
    explicit BasicLineReader(std::basic_string_view<Char> text) : text_(text) {}

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
        if (position_ < text_.size() && text_[position_] == Char('\n')) {
            ++position_;
        }
        return true;
    }

  private:
    std::size_t Find(std::size_t from) const {
        if constexpr (sizeof(Char) == 1) {
            // memchr is vectorised; the generic find compares one character at a time.
            const void* found = std::memchr(text_.data() + from, '\r', text_.size() - from);
            return found ? static_cast<std::size_t>(static_cast<const Char*>(found) - text_.data())
                         : std::basic_string_view<Char>::npos;
        } else {
            return text_.find(Char('\r'), from);
        }
    }

    std::basic_string_view<Char> text_;
    std::size_t position_ = 0;
};

// The same lines from the last to the first, for work that writes them in reverse order anyway.
class ReverseByteLineReader {
  public:
    explicit ReverseByteLineReader(std::string_view text)
        : text_(text), end_(text.size()), done_(text.empty()) {
        // A terminator at the very end closes the last line rather than starting an empty one.
        if (end_ >= 2 && text_[end_ - 2] == '\r' && text_[end_ - 1] == '\n') {
            end_ -= 2;
        } else if (end_ >= 1 && text_[end_ - 1] == '\r') {
            end_ -= 1;
        }
    }

    bool Previous(std::string_view& line) {
        if (done_) {
            return false;
        }
        const void* found = end_ == 0 ? nullptr : ::memrchr(text_.data(), '\r', end_);
        std::size_t start = 0;
        if (found == nullptr) {
            done_ = true;
        } else {
            const auto terminator = static_cast<std::size_t>(static_cast<const char*>(found) - text_.data());
            start = terminator + 1;
            if (start < end_ && text_[start] == '\n') {
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
    std::size_t end_;
    bool done_;
};

using LineReader = BasicLineReader<char16_t>;
using ByteLineReader = BasicLineReader<char>;

} // namespace parlowen
