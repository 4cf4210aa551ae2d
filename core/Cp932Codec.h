#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace parlowen {

// What the encoder does with a character that Shift-JIS cannot hold.
enum class Unencodable {
    Fail,             // stop and report its position
    NumericReference, // write it as an HTML numeric character reference, e.g. "&#128512;"
};

struct EncodeResult {
    std::string bytes;
    std::optional<std::size_t> failedAt; // UTF-16 index of the first character that could not be written
    bool Ok() const { return !failedAt.has_value(); }
};

// Converts between file bytes in code page 932 and the program's UTF-16 text, using tables built once from
// the C library's iconv "CP932" converter.
//
// Decoding never fails: a byte that does not start a valid character (0x80, 0xA0, 0xFD-0xFF, a lead byte
// without a valid trail byte, a lead byte at the end of the input) becomes U+DC00 + byte, and the encoder
// writes U+DC80..U+DCFF back as that byte, so no log is ever changed by passing through the program.
//
// Exception to the round trip: code page 932 has two or three codes for some characters (NEC row 13
// 0x8740-0x879C, the NEC-selected IBM extensions 0xED40-0xEEFC and the IBM extensions 0xFA40-0xFC4B).
// Decoding maps them to one character, and encoding writes that character in the code that Windows itself
// prefers, so such a code comes back as its standard twin (0xED40 as 0xFA5C, 0x8790 as 0x81E0, ...), unless
// it follows an undecodable lead byte that the preferred code would join: then another twin is written.
// Either way decoding the written bytes gives the same text again.
class Cp932Codec {
  public:
    static constexpr char16_t RawByteBase = 0xDC00;

    // Builds the tables now, which the first conversion would otherwise wait for.
    static void Prepare();

    static std::u16string Decode(std::string_view bytes);
    static void DecodeAppend(std::string_view bytes, std::u16string& text);
    // Writes at most bytes.size() units from out on; returns the end of what it wrote.
    static char16_t* DecodeTo(std::string_view bytes, char16_t* out);

    static EncodeResult Encode(std::u16string_view text, Unencodable policy = Unencodable::Fail);
    // Appends to bytes; returns the index of the first unwritable character under Unencodable::Fail.
    static std::optional<std::size_t> EncodeAppend(std::u16string_view text, std::string& bytes,
                                                   Unencodable policy = Unencodable::Fail);
};

} // namespace parlowen
