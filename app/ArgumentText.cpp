#include "ArgumentText.h"

#include <algorithm>

namespace parlowen {
namespace {

constexpr char16_t RawByteBase = 0xDC00;

bool IsRawByte(char16_t unit) {
    return unit >= RawByteBase + 0x80 && unit <= RawByteBase + 0xFF;
}

// The length of the valid UTF-8 sequence at the start of bytes and its code point, or 0.
std::size_t ValidSequence(std::string_view bytes, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    std::size_t length = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    for (std::size_t index = 1; index < length; ++index) {
        const auto trail = static_cast<unsigned char>(bytes[index]);
        if ((trail & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = codePoint << 6 | (trail & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8 (RFC 3629).
    const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    if (overlong || (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
        return 0;
    }
    return length;
}

void AppendUtf8(char32_t codePoint, std::string& bytes) {
    if (codePoint < 0x80) {
        bytes += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        bytes += static_cast<char>(0xC0 | codePoint >> 6);
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes += static_cast<char>(0xE0 | codePoint >> 12);
        bytes += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | codePoint >> 18);
        bytes += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace

QString ArgumentText::Decode(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    while (!bytes.empty()) {
        char32_t codePoint = 0;
        std::size_t length = ValidSequence(bytes, codePoint);
        if (length == 0) {
            codePoint = RawByteBase + static_cast<unsigned char>(bytes[0]);
            length = 1;
        }
        text += QString::fromUcs4(&codePoint, 1);
        bytes.remove_prefix(length);
    }
    return text;
}

std::string ArgumentText::Encode(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index].unicode();
        if (IsRawByte(unit)) {
            bytes += static_cast<char>(unit - RawByteBase);
        } else if (QChar::isHighSurrogate(unit) && index + 1 < text.size() &&
                   text[index + 1].isLowSurrogate()) {
            AppendUtf8(QChar::surrogateToUcs4(unit, text[index + 1].unicode()), bytes);
            ++index;
        } else if (QChar::isSurrogate(unit)) {
            AppendUtf8(QChar::ReplacementCharacter, bytes);
        } else {
            AppendUtf8(unit, bytes);
        }
    }
    return bytes;
}

QStringList ArgumentText::DecodeAll(int argc, const char* const* argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments << Decode(argv[index]);
    }
    return arguments;
}

bool ArgumentText::HasRawBytes(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar character) { return IsRawByte(character.unicode()); });
}

} // namespace parlowen
