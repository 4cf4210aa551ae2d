#include "LineReader.h"

namespace parlowen {

bool LineReader::Next(std::u16string_view& line) {
    if (position_ >= text_.size()) {
        return false;
    }
    std::size_t end = text_.find(u'\r', position_);
    if (end == std::u16string_view::npos) {
        line = text_.substr(position_);
        position_ = text_.size();
        return true;
    }
    line = text_.substr(position_, end - position_);
    position_ = end + 1;
    if (position_ < text_.size() && text_[position_] == u'\n') {
        ++position_;
    }
    return true;
}

} // namespace parlowen
