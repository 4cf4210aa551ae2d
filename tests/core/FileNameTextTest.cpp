#include "FileNameText.h"

#include <gtest/gtest.h>

namespace parlowen {
namespace {

// Valid UTF-8 at the edges of each sequence length decodes to its characters; every byte of anything else
// becomes its own raw unit (U+DC00 + byte). Both come back as the same bytes.
TEST(FileNameText, DecodesValidUtf8AndKeepsEveryOtherByte) {
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"", u""},
        {"chat.txt\x7F", u"chat.txt\x7F"},
        {"\xC2\x80\xDF\xBF", u"\u0080\u07FF"},
        {"\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF", u"\u0800\uD7FF\uE000\uFFFF"},
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", u"\U00010000\U0010FFFF"},
        {"\xE3\x83\xAD\xE3\x82\xB0.txt", u"ログ.txt"},
        {"\x83\x8D\x83O.txt", u"\xDC83\xDC8D\xDC83O.txt"}, // Shift-JIS
        {"\x80", u"\xDC80"},                               // a trail byte alone
        {"\xC0\xAF\xC1\xBF", u"\xDCC0\xDCAF\xDCC1\xDCBF"}, // overlong two-byte forms
        {"\xE0\x9F\xBF", u"\xDCE0\xDC9F\xDCBF"},           // overlong three-byte form
        {"\xF0\x8F\xBF\xBF", u"\xDCF0\xDC8F\xDCBF\xDCBF"}, // overlong four-byte form
        {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},           // a surrogate
        {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"}, // beyond U+10FFFF
        {"\xF5\x80\x80\x80", u"\xDCF5\xDC80\xDC80\xDC80"},
        {"\xE3\x83"
         "A",
         u"\xDCE3\xDC83"
         "A"},                                   // cut short by a character
        {"\xF0\x9F\x98", u"\xDCF0\xDC9F\xDC98"}, // cut short by the end
        {"\xFF\xFE", u"\xDCFF\xDCFE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(DecodeFileName(c.bytes), c.text);
        EXPECT_EQ(EncodeFileName(c.text), c.bytes);
    }
}

// A text that no file name decodes to still encodes to valid UTF-8: a surrogate without its pair, and a
// low-surrogate unit below the raw bytes', become U+FFFD.
TEST(FileNameText, EncodesUnpairedSurrogatesAsReplacementCharacters) {
    const struct {
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {u"a\xD800", "a\xEF\xBF\xBD"},
        {u"\xD800"
         "a",
         "\xEF\xBF\xBD"
         "a"},
        {u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {u"\xDC7F", "\xEF\xBF\xBD"},
        {u"\xDFFF", "\xEF\xBF\xBD"},
        {u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeFileName(c.text), c.bytes) << c.bytes;
    }
}

} // namespace
} // namespace parlowen
