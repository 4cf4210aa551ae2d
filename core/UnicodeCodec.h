#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace parlowen {

// Converts the Unicode encodings of logs to and from the program's UTF-16 text. Decoding never fails: a
// sequence that is not valid becomes U+FFFD, one per byte (UTF-8) or per lone surrogate (UTF-16).
class UnicodeCodec {
  public:
    static constexpr char16_t Replacement = 0xFFFD;

    struct Utf8Check {
        bool valid = true;      // every byte belongs to a well-formed sequence (RFC 3629)
        bool multibyte = false; // at least one sequence is longer than a byte
    };
    static Utf8Check CheckUtf8(std::string_view bytes);

    // The length of the well-formed UTF-8 sequence at bytes[at] and its code point, or 0 when none starts
    // there.
    static std::size_t Utf8Sequence(std::string_view bytes, std::size_t at, char32_t& point);
    static void AppendUtf8(char32_t point, std::string& bytes);

    // Writes at most bytes.size() units from out on; returns the end of what it wrote.
    static char16_t* DecodeUtf8To(std::string_view bytes, char16_t* out);
    static std::u16string DecodeUtf8(std::string_view bytes);
    // A lone surrogate is written as U+FFFD.
    static void EncodeUtf8Append(std::u16string_view text, std::string& bytes);
    // The same bytes with every invalid sequence as U+FFFD.
    static void RepairUtf8Append(std::string_view bytes, std::string& out);

    // The code units of UTF-16 bytes (an even count) in the given byte order, and back: the pair is exact,
    // lone surrogates included.
    static std::u16string Utf16Units(std::string_view bytes, bool bigEndian);
    static void Utf16BytesAppend(std::u16string_view units, bool bigEndian, std::string& bytes);
    // Replaces the lone surrogates of units in place.
    static void RepairUtf16(char16_t* begin, char16_t* end);
};

} // namespace parlowen
