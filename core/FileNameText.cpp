#include "FileNameText.h"

#include "Cp932Codec.h"
#include "UnicodeCodec.h"

namespace parlowen {
namespace {

bool IsRawByte(char16_t unit) {
    return unit >= Cp932Codec::RawByteBase + 0x80 && unit <= Cp932Codec::RawByteBase + 0xFF;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

std::u16string DecodeFileName(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        char32_t codePoint = 0;
        std::size_t length = UnicodeCodec::Utf8Sequence(bytes, 0, codePoint);
        if (length == 0) {
            codePoint = Cp932Codec::RawByteBase + static_cast<unsigned char>(bytes[0]);
            length = 1;
        }
        if (codePoint >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(codePoint);
        }
        bytes.remove_prefix(length);
    }
    return text;
}

std::string EncodeFileName(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index];
        if (IsRawByte(unit)) {
            bytes += static_cast<char>(unit - Cp932Codec::RawByteBase);
        } else if (IsHighSurrogate(unit) && index + 1 < text.size() && IsLowSurrogate(text[index + 1])) {
            UnicodeCodec::AppendUtf8(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[index + 1] - 0xDC00),
                                     bytes);
            ++index;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            UnicodeCodec::AppendUtf8(0xFFFD, bytes);
        } else {
            UnicodeCodec::AppendUtf8(unit, bytes);
        }
    }
    return bytes;
}

} // namespace parlowen
