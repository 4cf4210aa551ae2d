#pragma once

#include <QString>

#include <string_view>

namespace parlowen {

// The program's UTF-16 text as a QString, the same 16-bit units.
inline QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace parlowen
