#include "LogEncoding.h"

#include "UnicodeCodec.h"

#include <algorithm>
#include <array>

namespace parlowen {
namespace {

using Kind = LogEncoding::Kind;

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";
constexpr std::string_view Utf32LeMark{"\xFF\xFE\x00\x00", 4};
constexpr std::string_view Utf32BeMark{"\x00\x00\xFE\xFF", 4};

std::optional<LogEncoding> FromMark(std::string_view bytes) {
    if (bytes.starts_with(Utf8Mark)) {
        return LogEncoding{Kind::Utf8, Utf8Mark.size()};
    }
    if (bytes.starts_with(Utf16LeMark)) {
        return LogEncoding{Kind::Utf16Le, Utf16LeMark.size()};
    }
    if (bytes.starts_with(Utf16BeMark)) {
        return LogEncoding{Kind::Utf16Be, Utf16BeMark.size()};
    }
    return std::nullopt;
}

Kind Chosen(EncodingChoice choice) {
    switch (choice) {
    case EncodingChoice::Utf8:
        return Kind::Utf8;
    case EncodingChoice::Utf16Le:
        return Kind::Utf16Le;
    case EncodingChoice::Utf16Be:
        return Kind::Utf16Be;
    case EncodingChoice::Auto:
    case EncodingChoice::ShiftJis:
        break;
    }
    return Kind::ShiftJis;
}

} // namespace

std::string_view LogEncoding::LineBreak() const {
    switch (kind) {
    case Kind::Utf16Le:
        return {"\r\0\n\0", 4};
    case Kind::Utf16Be:
        return {"\0\r\0\n", 4};
    case Kind::ShiftJis:
    case Kind::Utf8:
        break;
    }
    return "\r\n";
}

namespace {

template <typename CheckUtf8>
EncodingDecision Decide(std::string_view bytes, EncodingChoice choice, CheckUtf8&& checkUtf8) {
    EncodingDecision decision;
    // FF FE 00 00 could also be UTF-16 starting with U+0000, which no chat log does.
    if (bytes.starts_with(Utf32LeMark) || bytes.starts_with(Utf32BeMark)) {
        decision.status = {FileStatus::Kind::Utf32, 0};
        return decision;
    }
    const std::optional<LogEncoding> marked = FromMark(bytes);
    if (choice == EncodingChoice::Auto) {
        if (marked) {
            decision.encoding = *marked;
        } else {
            const UnicodeCodec::Utf8Check check = checkUtf8();
            decision.encoding.kind = check.valid && check.multibyte ? Kind::Utf8 : Kind::ShiftJis;
        }
    } else {
        decision.encoding.kind = Chosen(choice);
        if (marked && marked->kind != decision.encoding.kind) {
            decision.status = {FileStatus::Kind::MarkMismatch, 0};
            return decision;
        }
        decision.encoding.markSize = marked ? marked->markSize : 0;
    }
    if (decision.encoding.IsUtf16() && bytes.size() % 2 != 0) {
        decision.status = {FileStatus::Kind::OddUtf16, 0};
    }
    return decision;
}

} // namespace

EncodingDecision DecideEncoding(std::string_view bytes, EncodingChoice choice) {
    return Decide(bytes, choice, [bytes] { return UnicodeCodec::CheckUtf8(bytes); });
}

EncodingDecision DecideEncoding(const MappedFile& log, EncodingChoice choice) {
    return Decide(log.Bytes(), choice, [&log] {
        constexpr std::size_t PieceBytes = std::size_t{16} << 20;
        const std::string_view bytes = log.Bytes();
        UnicodeCodec::Utf8Check whole;
        for (std::size_t start = 0; start < bytes.size();) {
            // A piece ends before a byte that starts a character, so that its last sequence is whole if valid
            // (a longer run of continuation bytes is invalid wherever it is cut).
            std::size_t end = std::min(bytes.size(), start + PieceBytes);
            while (end < bytes.size() && end > start + PieceBytes - 4 &&
                   (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) {
                --end;
            }
            const std::string_view piece = bytes.substr(start, end - start);
            const UnicodeCodec::Utf8Check check = UnicodeCodec::CheckUtf8(piece);
            if (!check.valid) {
                // Most often early in a Shift-JIS log, whose operation reads these pages next.
                whole.valid = false;
                break;
            }
            whole.multibyte = whole.multibyte || check.multibyte;
            log.Release(piece);
            start = end;
        }
        return whole;
    });
}

std::optional<EncodingChoice> ParseEncodingChoice(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, EncodingChoice>, 5> names{{
        {"auto", EncodingChoice::Auto},
        {"shift-jis", EncodingChoice::ShiftJis},
        {"utf-8", EncodingChoice::Utf8},
        {"utf-16le", EncodingChoice::Utf16Le},
        {"utf-16be", EncodingChoice::Utf16Be},
    }};
    for (const auto& [text, choice] : names) {
        if (text == name) {
            return choice;
        }
    }
    return std::nullopt;
}

} // namespace parlowen
