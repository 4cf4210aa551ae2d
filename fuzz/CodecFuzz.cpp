// Any bytes decode, and encoding the text gives the same bytes back; a code with a twin may come back as
// its twin, which decodes to the same character. Any UTF-16 text encodes without a crash.
#include "Cp932Codec.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <memory>

using parlowen::Cp932Codec;
using parlowen::EncodeResult;
using parlowen::Unencodable;
using parlowen::fuzz::Require;

namespace {

// The rows where code page 932 has more than one code for a character.
bool InTwinRows(std::string_view code) {
    const int value = static_cast<unsigned char>(code[0]) << 8 | static_cast<unsigned char>(code[1]);
    return (value >= 0x8740 && value <= 0x879C) || (value >= 0xED40 && value <= 0xEEFC) ||
           (value >= 0xFA40 && value <= 0xFC4B);
}

void CheckBytes(std::string_view bytes) {
    // Exactly one unit per byte is the most DecodeTo may write: AddressSanitizer reports any unit more.
    const auto buffer = std::make_unique<char16_t[]>(bytes.size());
    const std::u16string text(buffer.get(), Cp932Codec::DecodeTo(bytes, buffer.get()));
    Require(text == Cp932Codec::Decode(bytes), "DecodeTo and Decode disagree");

    // Every character stands for the bytes it was decoded from; its own code tells how many they were.
    std::size_t offset = 0;
    bool twins = false;
    for (const char16_t character : text) {
        const EncodeResult alone = Cp932Codec::Encode(std::u16string_view(&character, 1));
        Require(alone.Ok() && !alone.bytes.empty() && alone.bytes.size() <= 2,
                "a decoded character has no code");
        Require(offset + alone.bytes.size() <= bytes.size(), "more characters than bytes");
        const std::string_view original = bytes.substr(offset, alone.bytes.size());
        if (alone.bytes != original) {
            twins = true;
            Require(alone.bytes.size() == 2 && InTwinRows(original), "a code outside the twin rows changed");
            Require(Cp932Codec::Decode(original) == std::u16string(1, character),
                    "a twin is another character");
        }
        offset += alone.bytes.size();
    }
    Require(offset == bytes.size(), "characters and bytes do not line up");

    const EncodeResult encoded = Cp932Codec::Encode(text);
    Require(encoded.Ok(), "decoded text cannot be encoded");
    if (!twins) {
        Require(encoded.bytes == bytes, "bytes without twins did not come back as they were");
    } else {
        Require(encoded.bytes.size() == bytes.size(), "twins changed the length");
        Require(Cp932Codec::Decode(encoded.bytes) == text, "twins did not decode to the same text");
    }
    Require(Cp932Codec::Encode(text, Unencodable::NumericReference).bytes == encoded.bytes,
            "the policy changed text that has no unencodable character");
}

// The same bytes read as UTF-16LE units: lone surrogates, characters Shift-JIS cannot hold and raw bytes.
void CheckText(std::string_view bytes) {
    std::u16string text;
    for (std::size_t index = 0; index + 1 < bytes.size(); index += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[index]) |
                                      static_cast<unsigned char>(bytes[index + 1]) << 8);
    }
    const EncodeResult strict = Cp932Codec::Encode(text);
    const EncodeResult lenient = Cp932Codec::Encode(text, Unencodable::NumericReference);
    Require(lenient.Ok(), "numeric references failed");
    if (strict.Ok()) {
        Require(strict.bytes == lenient.bytes, "the policy changed text that it could encode");
        return;
    }
    const std::size_t failedAt = *strict.failedAt;
    Require(failedAt < text.size(), "the failure lies outside the text");
    Require(!Cp932Codec::Encode(text.substr(failedAt, 1)).Ok(), "the failure names an encodable character");
    const EncodeResult prefix = Cp932Codec::Encode(text.substr(0, failedAt));
    Require(prefix.Ok() && prefix.bytes == strict.bytes, "the bytes before the failure are not the prefix's");
    Require(lenient.bytes.compare(0, prefix.bytes.size(), prefix.bytes) == 0 &&
                lenient.bytes.compare(prefix.bytes.size(), 2, "&#") == 0,
            "the first unencodable character is not a numeric reference");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckBytes(bytes);
    CheckText(bytes);
    return 0;
}
