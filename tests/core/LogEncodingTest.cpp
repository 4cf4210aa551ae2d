#include "LogEncoding.h"

#include "Dialogues.h"
#include "HtmlExporter.h"
#include "ScriptedWindow.h"
#include "UnicodeCodec.h"

#include <gtest/gtest.h>

namespace parlowen {
namespace {

using Kind = LogEncoding::Kind;

std::string Bytes(std::u8string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size()};
}

// UTF-16 bytes written unit by unit, independently of the codec under test.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes;
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST(DecideEncoding, MarkDecidesElseAllOfTheLogMustBeUtf8) {
    struct Case {
        const char* name;
        std::string bytes;
        EncodingChoice choice;
        FileStatus::Kind refusal;
        Kind kind;
        std::size_t markSize;
    };
    using Choice = EncodingChoice;
    constexpr auto Ok = FileStatus::Kind::Ok;
    const Case cases[] = {
        {"empty", "", Choice::Auto, Ok, Kind::ShiftJis, 0},
        {"ASCII reads the same either way", "Taro> hi\r\n", Choice::Auto, Ok, Kind::ShiftJis, 0},
        {"Shift-JIS text", Sjis(u"たろう> こんにちは\r\n"), Choice::Auto, Ok, Kind::ShiftJis, 0},
        {"UTF-8 without a mark", Bytes(u8"たろう> こんにちは\r\n"), Choice::Auto, Ok, Kind::Utf8, 0},
        {"UTF-8 mark", "\xEF\xBB\xBFTaro", Choice::Auto, Ok, Kind::Utf8, 3},
        {"UTF-16LE mark",
         std::string("\xFF\xFE"
                     "A\0",
                     4),
         Choice::Auto, Ok, Kind::Utf16Le, 2},
        {"UTF-16BE mark", std::string("\xFE\xFF\0A", 4), Choice::Auto, Ok, Kind::Utf16Be, 2},
        // Half-width katakana are single bytes from A1 to DF in Shift-JIS: "ﾂｱ" is C2 B1, which is also "±"
        // in UTF-8. So short a text is where the rule stops; one more katakana and it is Shift-JIS again.
        {"katakana pair that is valid UTF-8", Sjis(u"ﾂｱ"), Choice::Auto, Ok, Kind::Utf8, 0},
        {"katakana pairs that are not", Sjis(u"ﾂｱｶ"), Choice::Auto, Ok, Kind::ShiftJis, 0},
        {"valid UTF-8 until the last byte", Bytes(u8"たろう") + "\xE3\x81", Choice::Auto, Ok, Kind::ShiftJis,
         0},
        {"UTF-8 then a Shift-JIS line", Bytes(u8"たろう\r\n") + Sjis(u"はなこ"), Choice::Auto, Ok,
         Kind::ShiftJis, 0},
        {"overlong form", "A\xC0\xAF", Choice::Auto, Ok, Kind::ShiftJis, 0},
        {"encoded surrogate", "\xED\xA0\x80", Choice::Auto, Ok, Kind::ShiftJis, 0},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", Choice::Auto, Ok, Kind::ShiftJis, 0},
        {"four-byte character", "\xF0\x9F\x98\x80", Choice::Auto, Ok, Kind::Utf8, 0},
        {"UTF-32LE", std::string("\xFF\xFE\0\0A\0\0\0", 8), Choice::Auto, FileStatus::Kind::Utf32,
         Kind::ShiftJis, 0},
        {"UTF-32BE", std::string("\0\0\xFE\xFF\0\0\0A", 8), Choice::Auto, FileStatus::Kind::Utf32,
         Kind::ShiftJis, 0},
        {"UTF-16 cut short",
         std::string("\xFF\xFE"
                     "A\0B",
                     5),
         Choice::Auto, FileStatus::Kind::OddUtf16, Kind::Utf16Le, 2},
        {"chosen UTF-16LE without a mark", std::string("A\0B\0", 4), Choice::Utf16Le, Ok, Kind::Utf16Le, 0},
        {"chosen UTF-16BE, odd", std::string("\0A\0", 3), Choice::Utf16Be, FileStatus::Kind::OddUtf16,
         Kind::Utf16Be, 0},
        {"chosen Shift-JIS over UTF-8 text", Bytes(u8"たろう"), Choice::ShiftJis, Ok, Kind::ShiftJis, 0},
        {"chosen UTF-8 keeps its mark", "\xEF\xBB\xBFTaro", Choice::Utf8, Ok, Kind::Utf8, 3},
        {"chosen UTF-8 against a UTF-16 mark",
         std::string("\xFF\xFE"
                     "A\0",
                     4),
         Choice::Utf8, FileStatus::Kind::MarkMismatch, Kind::Utf8, 0},
        {"chosen UTF-16BE against a UTF-16LE mark",
         std::string("\xFF\xFE"
                     "A\0",
                     4),
         Choice::Utf16Be, FileStatus::Kind::MarkMismatch, Kind::Utf16Be, 0},
    };
    for (const Case& c : cases) {
        const EncodingDecision decision = DecideEncoding(c.bytes, c.choice);
        EXPECT_EQ(decision.status.kind, c.refusal) << c.name;
        if (c.refusal == Ok) {
            EXPECT_EQ(decision.encoding, (LogEncoding{c.kind, c.markSize})) << c.name;
        }
    }
}

TEST(UnicodeCodec, DecodesWithReplacementAndWritesBack) {
    struct Case {
        const char* name;
        std::string utf8;
        std::u16string text;
    };
    const Case cases[] = {
        {"empty", "", u""},
        {"ASCII longer than a word", "0123456789abcdef!", u"0123456789abcdef!"},
        {"Japanese", Bytes(u8"たろう> やあ"), u"たろう> やあ"},
        {"surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"stray continuation",
         "A\x80"
         "B",
         u"A\uFFFDB"},
        {"truncated at the end", "A\xE3\x81", u"A\uFFFD\uFFFD"},
        {"Shift-JIS bytes", Sjis(u"こ"), u"\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UnicodeCodec::DecodeUtf8(c.utf8), c.text) << c.name;
        std::string repaired;
        UnicodeCodec::RepairUtf8Append(c.utf8, repaired);
        std::string written;
        UnicodeCodec::EncodeUtf8Append(c.text, written);
        EXPECT_EQ(repaired, written) << c.name;
    }
    std::string lone;
    UnicodeCodec::EncodeUtf8Append(std::u16string{u'A', char16_t{0xD800}, u'B'}, lone);
    EXPECT_EQ(lone, std::string("A\xEF\xBF\xBD") + "B");
}

// The same small log in every encoding the program reads: what the check view shows after the load,
// what the rewrite leaves in the file, and the page.
struct EncodedLog {
    const char* name;
    std::string mark;
    std::function<std::string(std::u16string_view)> encode;
    std::string charset;
    std::function<std::string(std::u16string_view)> pageEncode;
};

std::string Utf8(std::u16string_view text) {
    std::string bytes;
    UnicodeCodec::EncodeUtf8Append(text, bytes);
    return bytes;
}

const std::vector<EncodedLog>& Encodings() {
    static const std::vector<EncodedLog> encodings = {
        {"Shift-JIS", "", [](std::u16string_view text) { return Sjis(text); }, "x-sjis",
         [](std::u16string_view text) { return Sjis(text); }},
        {"UTF-8", "", Utf8, "UTF-8", Utf8},
        {"UTF-8 with a mark", "\xEF\xBB\xBF", Utf8, "UTF-8", Utf8},
        {"UTF-16LE", "\xFF\xFE", [](std::u16string_view text) { return Utf16(text, false); }, "UTF-8", Utf8},
        {"UTF-16BE", "\xFE\xFF", [](std::u16string_view text) { return Utf16(text, true); }, "UTF-8", Utf8},
    };
    return encodings;
}

const std::u16string Log = u"  たろう> こんにちは\r\nはなこ> やあ & <b>\r\n----\r\n\r\nたろう> 元気？\r\n";

TEST(LogEncodings, LoadConvertAndExportTheSameLogInEachEncoding) {
    // The Shift-JIS row is today's behaviour; the others would be cut at the wrong bytes, carry their mark
    // into the middle or be decoded as Shift-JIS.
    ASSERT_EQ(Utf8(u"たろう"), Bytes(u8"たろう"));
    for (const EncodedLog& encoding : Encodings()) {
        TemporaryFolder folder;
        const std::string log = encoding.mark + encoding.encode(Log);
        folder.Write("log.txt", log);
        ScriptedWindow window;
        window.answers = {true, true};
        const LoadOutcome loaded = RunLoad(window, {folder.Path("log.txt"), u"log.txt"});
        ASSERT_TRUE(loaded.loaded) << encoding.name;
        EXPECT_EQ(window.checkText, u"\r\nたろう> こんにちは\r\nはなこ> やあ & <b>\r\nたろう> 元気？")
            << encoding.name;

        ColorTable colors;
        colors.Reset();
        colors.Set(ColorTable::SpeakerSlot(0), u"255,00,00");
        const HtmlOptions options = MakeHtmlOptions(colors, false, u"", {u"たろう"});
        ASSERT_TRUE(ExportHtml(
            window, options,
            {folder.Path("log.txt"), folder.Path("log.html"), u"log.txt", u"ログ", loaded.answers, 3}))
            << encoding.name;
        const std::u16string page =
            u"<html>\r\n<head>\r\n"
            u"<meta http-equiv=\"Content-Type\"content=\"text/html; charset=" +
            std::u16string(encoding.charset.begin(), encoding.charset.end()) +
            u"\">\r\n"
            u"<meta name=\"GENERATOR\" content=\"プログラム名　チャットログ編集ツール "
            u"Parlowen Pro\">\r\n<title>ログ.html</title>\r\n</head>\r\n"
            u"<body bgcolor=\"#FFFFFF\">\r\n"
            u"<font color=\"#FF0000\">たろう> 元気？</font><br>\r\n"
            u"はなこ> やあ &amp; &lt;b><br>\r\n"
            u"<font color=\"#FF0000\">たろう> こんにちは</font><br>\r\n"
            u"\r\n</body></html>\r\n";
        EXPECT_EQ(folder.Read("log.html"), encoding.pageEncode(page)) << encoding.name;

        window.answers = {true};
        ASSERT_TRUE(RunConvertAndSave(window, {folder.Path("log.txt"), u"log.txt", loaded.answers, 3}))
            << encoding.name;
        const std::u16string reversed = u"たろう> 元気？\r\nはなこ> やあ & <b>\r\nたろう> こんにちは\r\n";
        EXPECT_EQ(folder.Read("log.txt"), encoding.mark + encoding.encode(reversed + u"\r\n"))
            << encoding.name;
        EXPECT_EQ(window.checkText, reversed) << encoding.name;
    }
}

TEST(LogEncodings, InvalidSequencesAreShownReplacedAndKeptInTheFile) {
    struct Case {
        const char* name;
        std::string log;
        std::u16string shown;
        std::string converted;
    };
    const std::string le = "\xFF\xFE";
    const Case cases[] = {
        // U+0D0A holds the bytes of CR and LF: only the code units may end a UTF-16 line.
        {"UTF-16 character made of CR and LF bytes", le + Utf16(u"A\x0D0A\r\nB", false), u"\r\nA\x0D0A\r\nB",
         le + Utf16(u"B\r\nA\x0D0A\r\n\r\n", false)},
        {"lone surrogate", le + Utf16(u"A\xDC00\r\nB", false), u"\r\nA\uFFFD\r\nB",
         le + Utf16(u"B\r\nA\xDC00\r\n\r\n", false)},
        {"invalid byte in a UTF-8 log with a mark",
         "\xEF\xBB\xBF"
         "A\xFF\r\nB",
         u"\r\nA\uFFFD\r\nB",
         "\xEF\xBB\xBF"
         "B\r\nA\xFF\r\n\r\n"},
    };
    for (const Case& c : cases) {
        TemporaryFolder folder;
        folder.Write("log.txt", c.log);
        ScriptedWindow window;
        window.answers = {false, false, true};
        ASSERT_TRUE(RunLoad(window, {folder.Path("log.txt"), u"log.txt"}).loaded) << c.name;
        EXPECT_EQ(window.checkText, c.shown) << c.name;
        EXPECT_TRUE(RunConvertAndSave(window, {folder.Path("log.txt"), u"log.txt", {}, 2})) << c.name;
        EXPECT_EQ(folder.Read("log.txt"), c.converted) << c.name;
    }
    TemporaryFolder folder;
    folder.Write("log.txt", "\xEF\xBB\xBF"
                            "A\xFF\r\n");
    HtmlResult body =
        BuildHtmlBody(folder.Path("log.txt"), MakeHtmlOptions({}, false, u"", {}), {}, 1, nullptr);
    EXPECT_EQ(body.body, "A\xEF\xBF\xBD<br>\r\n");
}

TEST(LogEncodings, UnsafeEncodingsAreRefusedAndNothingIsWritten) {
    struct Case {
        const char* name;
        std::string log;
        std::u16string reason;
    };
    const Case cases[] = {
        {"UTF-32", std::string("\xFF\xFE\0\0A\0\0\0\r\0\0\0", 12), u"UTF-32のファイルは読み書きできません。"},
        {"odd UTF-16", std::string("\xFE\xFF\0A\0\r\0", 7),
         u"UTF-16のファイルのバイト数が奇数で、途中で切れているおそれがあります。"},
    };
    for (const Case& c : cases) {
        TemporaryFolder folder;
        PrivateStateFolder state;
        folder.Write("log.txt", c.log);
        const std::u16string notice =
            u"notice Err:File read: 「log.txt」を読み込めませんでした。\r\n" + c.reason;
        ScriptedWindow load;
        load.answers = {true, true};
        EXPECT_FALSE(RunLoad(load, {folder.Path("log.txt"), u"log.txt"}).loaded) << c.name;
        EXPECT_EQ(load.calls[load.calls.size() - 2], notice) << c.name;

        ScriptedWindow convert;
        convert.answers = {true};
        EXPECT_FALSE(RunConvertAndSave(convert, {folder.Path("log.txt"), u"log.txt", {}, 1})) << c.name;
        EXPECT_EQ(convert.calls[convert.calls.size() - 2], notice) << c.name;
        EXPECT_EQ(folder.Read("log.txt"), c.log) << c.name;
        EXPECT_TRUE(state.Names().empty()) << c.name;

        ScriptedWindow page;
        EXPECT_FALSE(ExportHtml(page, MakeHtmlOptions({}, false, u"", {}),
                                {folder.Path("log.txt"), folder.Path("log.html"), u"log.txt", u"log", {}, 1}))
            << c.name;
        EXPECT_EQ(page.calls[page.calls.size() - 2], notice) << c.name;
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"}) << c.name;
    }
}

} // namespace
} // namespace parlowen
