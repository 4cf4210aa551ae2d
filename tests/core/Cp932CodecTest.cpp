#include "Cp932Codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace parlowen {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

TEST(Cp932Codec, DecodesTable) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"", u""},
        {"Taro> hi\r\n", u"Taro> hi\r\n"},
        {Bytes({0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA}), u"日本語"},
        {Bytes({0xB1, 0xDF}), u"ｱﾟ"},                        // half-width katakana are single bytes
        {Bytes({0x81, 0x40}), u"　"},                        // the ideographic space
        {Bytes({0x5C, 0x7E}), u"\\~"},                       // kept as ASCII, not yen sign and overline
        {Bytes({0x87, 0x40}), u"①"},                         // NEC special characters
        {Bytes({0xF0, 0x40}), std::u16string(1, u'\xE000')}, // user-defined area
        // Bytes that start no character come through as U+DC00 + byte.
        {Bytes({0x80}), u"\xDC80"},
        {Bytes({0xA0}), u"\xDCA0"},
        {Bytes({0xFD, 0xFE, 0xFF}), u"\xDCFD\xDCFE\xDCFF"},
        {Bytes({0x41, 0x82}), u"A\xDC82"},          // lead byte at the end
        {Bytes({0x81, 0x20, 0x41}), u"\xDC81 A"},   // lead byte before a byte that cannot trail
        {Bytes({0x85, 0x40}), u"\xDC85@"},          // a pair that code page 932 leaves unassigned
        {Bytes({0x82, 0x0D, 0x0A}), u"\xDC82\r\n"}, // a line end is never swallowed as a trail byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp932Codec::Decode(c.bytes), c.text) << testing::PrintToString(c.bytes);
        EXPECT_EQ(Cp932Codec::Encode(c.text).bytes, c.bytes) << testing::PrintToString(c.bytes);
    }
}

// Every single byte and every two-byte sequence comes back as it was, except the codes that have a twin,
// which come back as the twin that decodes to the same character.
TEST(Cp932Codec, RoundTripsEveryCode) {
    int twins = 0;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = -1; trail < 256; ++trail) {
            const std::string bytes = trail < 0 ? Bytes({lead}) : Bytes({lead, trail});
            const std::u16string text = Cp932Codec::Decode(bytes);
            const EncodeResult encoded = Cp932Codec::Encode(text);
            ASSERT_TRUE(encoded.Ok()) << testing::PrintToString(bytes);
            if (encoded.bytes == bytes) {
                continue;
            }
            ++twins;
            const int code = lead << 8 | trail;
            const bool documented = (code >= 0x8740 && code <= 0x879C) ||
                                    (code >= 0xED40 && code <= 0xEEFC) || (code >= 0xFA40 && code <= 0xFC4B);
            EXPECT_TRUE(documented) << std::hex << code;
            EXPECT_EQ(text.size(), 1u) << std::hex << code;
            EXPECT_EQ(Cp932Codec::Decode(encoded.bytes), text) << std::hex << code;
        }
    }
    EXPECT_GT(twins, 300); // the NEC-selected IBM extensions alone are 374 codes
}

// Regression: a lead byte left undecodable and then a code with a twin (0x81, then 0xFA58 "㈱") were encoded
// as 0x81 0x878A, which decodes to "∞" and a raw 0x8A. Every such pair must decode to the same text again.
TEST(Cp932Codec, UndecodableLeadByteBeforeATwinDoesNotJoinIt) {
    int joining = 0;
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int code = 0; code < 0x10000; ++code) {
            const int codeLead = code >> 8;
            if (codeLead != 0x87 && codeLead != 0xED && codeLead != 0xEE &&
                (codeLead < 0xFA || codeLead > 0xFC)) {
                continue; // the rows that hold every twin
            }
            const std::string bytes = Bytes({lead, codeLead, code & 0xFF});
            const std::u16string text = Cp932Codec::Decode(bytes);
            if (text.size() != 2 || text[0] != Cp932Codec::RawByteBase + lead) {
                continue; // the lead was not left raw, or the code is no character
            }
            const std::string twin = Cp932Codec::Encode(text.substr(1)).bytes;
            if (twin != bytes.substr(1) && Cp932Codec::Decode(Bytes({lead}) + twin) != text) {
                ++joining; // the preferred twin alone would join the lead
            }
            ASSERT_EQ(Cp932Codec::Decode(Cp932Codec::Encode(text).bytes), text)
                << std::hex << lead << " " << code;
        }
    }
    EXPECT_GT(joining, 0); // the case above exists, so the loop tests it
}

TEST(Cp932Codec, RoundTripsRandomBytes) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 64, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
            // Keep out the lead bytes of the twin codes; the exhaustive test covers those.
            const auto value = static_cast<unsigned char>(byte);
            if (value == 0x87 || value == 0xED || value == 0xEE || (value >= 0xFA && value <= 0xFC)) {
                byte = 'x';
            }
        }
        EXPECT_EQ(Cp932Codec::Encode(Cp932Codec::Decode(bytes)).bytes, bytes);
    }
}

// ASCII decodes to itself, also in the long runs that are widened several bytes at a time, whatever comes
// before or after them.
TEST(Cp932Codec, AsciiRunsOfEveryLengthAndPlace) {
    for (std::size_t before = 0; before < 40; ++before) {
        for (std::size_t after = 0; after < 40; ++after) {
            std::string bytes;
            std::u16string text;
            for (std::size_t index = 0; index < before; ++index) {
                bytes += static_cast<char>(index * 7 % 128);
                text += static_cast<char16_t>(index * 7 % 128);
            }
            // A lead byte whose trail is an ASCII byte, a pair and a byte that is no character.
            bytes += "\x83\x41\x93\xFA\x80";
            text += u"ア日\xDC80";
            for (std::size_t index = 0; index < after; ++index) {
                bytes += static_cast<char>(127 - index);
                text += static_cast<char16_t>(127 - index);
            }
            ASSERT_EQ(Cp932Codec::Decode(bytes), text) << before << " " << after;
        }
    }
}

TEST(Cp932Codec, ReportsCharactersItCannotHold) {
    const std::u16string text = u"ok€";
    const EncodeResult euro = Cp932Codec::Encode(text);
    ASSERT_FALSE(euro.Ok());
    EXPECT_EQ(*euro.failedAt, 2u);

    const EncodeResult loneSurrogate = Cp932Codec::Encode(u"a\xD800");
    ASSERT_FALSE(loneSurrogate.Ok());
    EXPECT_EQ(*loneSurrogate.failedAt, 1u);

    // Only U+DC80..U+DCFF stand for raw bytes; U+DC3C must never turn into a "<".
    EXPECT_FALSE(Cp932Codec::Encode(u"\xDC3C").Ok());
}

TEST(Cp932Codec, WritesNumericReferencesWhenAsked) {
    const EncodeResult result = Cp932Codec::Encode(u"ログ€😀.txt", Unencodable::NumericReference);
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.bytes, Bytes({0x83, 0x8D, 0x83, 0x4F}) + "&#8364;&#128512;.txt");
}

} // namespace
} // namespace parlowen
