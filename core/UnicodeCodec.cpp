#include "UnicodeCodec.h"

#include <cstdint>
#include <cstring>

namespace parlowen {
namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// How many bytes from at on are ASCII, eight at a time.
std::size_t AsciiRun(std::string_view bytes, std::size_t at) {
    std::size_t index = at;
    while (bytes.size() - index >= 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + index, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0) {
            break;
        }
        index += 8;
    }
    while (index < bytes.size() && static_cast<unsigned char>(bytes[index]) < 0x80) {
        ++index;
    }
    return index - at;
}

bool IsHigh(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

// The length of the well-formed UTF-8 sequence at bytes[at] and its code point, or 0 when none starts there.
// The ranges are those of RFC 3629: no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t UnicodeCodec::Utf8Sequence(std::string_view bytes, std::size_t at, char32_t& point) {
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(bytes[at + index]); };
    const unsigned char lead = byte(0);
    const std::size_t left = bytes.size() - at;
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        if (left < 2 || !IsContinuation(byte(1))) {
            return 0;
        }
        point = char32_t(lead & 0x1F) << 6 | (byte(1) & 0x3F);
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !IsContinuation(byte(1)) || !IsContinuation(byte(2)) ||
            (lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0)) {
            return 0;
        }
        point = char32_t(lead & 0x0F) << 12 | char32_t(byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !IsContinuation(byte(1)) || !IsContinuation(byte(2)) || !IsContinuation(byte(3)) ||
            (lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) >= 0x90)) {
            return 0;
        }
        point = char32_t(lead & 0x07) << 18 | char32_t(byte(1) & 0x3F) << 12 | char32_t(byte(2) & 0x3F) << 6 |
                (byte(3) & 0x3F);
        return 4;
    }
    return 0;
}

void UnicodeCodec::AppendUtf8(char32_t point, std::string& bytes) {
    if (point < 0x80) {
        bytes += static_cast<char>(point);
    } else if (point < 0x800) {
        bytes += static_cast<char>(0xC0 | point >> 6);
        bytes += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        bytes += static_cast<char>(0xE0 | point >> 12);
        bytes += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | point >> 18);
        bytes += static_cast<char>(0x80 | (point >> 12 & 0x3F));
        bytes += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (point & 0x3F));
    }
}

UnicodeCodec::Utf8Check UnicodeCodec::CheckUtf8(std::string_view bytes) {
    Utf8Check check;
    std::size_t at = 0;
    while (at < bytes.size()) {
        at += AsciiRun(bytes, at);
        if (at == bytes.size()) {
            break;
        }
        char32_t point = 0;
        const std::size_t length = Utf8Sequence(bytes, at, point);
        if (length == 0) {
            check.valid = false;
            return check;
        }
        check.multibyte = true;
        at += length;
    }
    return check;
}

char16_t* UnicodeCodec::DecodeUtf8To(std::string_view bytes, char16_t* out) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t ascii = AsciiRun(bytes, at);
        for (std::size_t index = 0; index < ascii; ++index) {
            *out++ = static_cast<char16_t>(bytes[at + index]);
        }
        at += ascii;
        if (at == bytes.size()) {
            break;
        }
        char32_t point = 0;
        const std::size_t length = Utf8Sequence(bytes, at, point);
        if (length == 0) {
            *out++ = Replacement;
            ++at;
        } else if (point < 0x10000) {
            *out++ = static_cast<char16_t>(point);
            at += length;
        } else {
            *out++ = static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
            at += length;
        }
    }
    return out;
}

std::u16string UnicodeCodec::DecodeUtf8(std::string_view bytes) {
    std::u16string text(bytes.size(), u'\0');
    text.resize(static_cast<std::size_t>(DecodeUtf8To(bytes, text.data()) - text.data()));
    return text;
}

void UnicodeCodec::EncodeUtf8Append(std::u16string_view text, std::string& bytes) {
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index];
        if (unit < 0x80) {
            bytes += static_cast<char>(unit);
        } else if (IsHigh(unit) && index + 1 < text.size() && IsLow(text[index + 1])) {
            AppendUtf8(0x10000 + (char32_t(unit - 0xD800) << 10) + (text[index + 1] - 0xDC00), bytes);
            ++index;
        } else {
            AppendUtf8(IsHigh(unit) || IsLow(unit) ? Replacement : unit, bytes);
        }
    }
}

void UnicodeCodec::RepairUtf8Append(std::string_view bytes, std::string& out) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        char32_t point = 0;
        std::size_t length = AsciiRun(bytes, at);
        if (length == 0) {
            length = Utf8Sequence(bytes, at, point);
        }
        if (length == 0) {
            AppendUtf8(Replacement, out);
            ++at;
        } else {
            out.append(bytes, at, length);
            at += length;
        }
    }
}

std::u16string UnicodeCodec::Utf16Units(std::string_view bytes, bool bigEndian) {
    std::u16string units(bytes.size() / 2, u'\0');
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const int high = bigEndian ? 0 : 1;
    for (std::size_t index = 0; index < units.size(); ++index) {
        units[index] = static_cast<char16_t>(in[2 * index + high] << 8 | in[2 * index + 1 - high]);
    }
    return units;
}

void UnicodeCodec::Utf16BytesAppend(std::u16string_view units, bool bigEndian, std::string& bytes) {
    const std::size_t start = bytes.size();
    bytes.resize(start + 2 * units.size());
    char* out = bytes.data() + start;
    for (const char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        *out++ = bigEndian ? high : low;
        *out++ = bigEndian ? low : high;
    }
}

void UnicodeCodec::RepairUtf16(char16_t* begin, char16_t* end) {
    for (char16_t* unit = begin; unit != end; ++unit) {
        if (IsHigh(*unit) && unit + 1 != end && IsLow(unit[1])) {
            ++unit;
        } else if (IsHigh(*unit) || IsLow(*unit)) {
            *unit = Replacement;
        }
    }
}

} // namespace parlowen
