#include "HtmlExporter.h"

#include "Cp932Codec.h"
#include "Dialogues.h"
#include "ScriptedWindow.h"

#include <gtest/gtest.h>

#include <numeric>
#include <unistd.h>

namespace parlowen {
namespace {

HtmlOptions Defaults() {
    ColorTable colors;
    colors.Reset();
    return MakeHtmlOptions(colors, false, u"", {});
}

ExportRequest Request(const TemporaryFolder& folder, std::u16string baseName, LoadAnswers answers,
                      std::int64_t total) {
    return {
        folder.Path("sample.txt"), folder.Path("sample.html"), baseName + u".txt", baseName, answers, total};
}

const std::string Head = "<html>\r\n"
                         "<head>\r\n"
                         "<meta http-equiv=\"Content-Type\"content=\"text/html; charset=x-sjis\">\r\n"
                         "<meta name=\"GENERATOR\" content=\"" +
                         Sjis(u"プログラム名　チャットログ編集ツール Parlowen Pro") + "\">\r\n";

TEST(ExportHtml, SampleRunWritesTheWholePage) {
    TemporaryFolder folder;
    folder.Write("sample.txt", "Taro> hi\r\nHanako> hello\r\n----\r\n");
    ColorTable colors;
    colors.Reset();
    colors.Set(ColorTable::SpeakerSlot(0), u"255,00,00");
    colors.Set(ColorTable::SpeakerSlot(1), u"00,00, 255");
    const HtmlOptions options = MakeHtmlOptions(colors, false, u"", {u"Taro", u"Hanako"});
    ScriptedWindow window;
    ASSERT_TRUE(ExportHtml(window, options, Request(folder, u"sample", {true, true}, 2)));
    EXPECT_EQ(folder.Read("sample.html"), Head + "<title>sample.html</title>\r\n"
                                                 "</head>\r\n"
                                                 "<body bgcolor=\"#FFFFFF\">\r\n"
                                                 "<font color=\"#0000FF\">Hanako> hello</font><br>\r\n"
                                                 "<font color=\"#FF0000\">Taro> hi</font><br>\r\n"
                                                 "\r\n"
                                                 "</body></html>\r\n");
    EXPECT_EQ(folder.Read("sample.txt"), "Taro> hi\r\nHanako> hello\r\n----\r\n");
    EXPECT_EQ(window.counter, u"2/2行");
    const std::vector<std::u16string> expected = {
        u"notice Message:HTML Change & Save: "
        u"中間ファイル作成のため、テキストウィンドウに\r\nＨＴＭＬタグが表示されます。",
        u"busy on",
        u"text cleared",
        u"text set",
        u"busy off",
        u"state After blue",
        u"notice Complete Massage: HTML change complete!",
        u"focus logList",
    };
    EXPECT_EQ(window.calls, expected);
}

TEST(ExportHtml, EmptyLogAndExistingPage) {
    TemporaryFolder folder;
    folder.Write("sample.txt", "");
    folder.Write("sample.html", "an older page that is much longer than the new one");
    ScriptedWindow window;
    window.counter = u"7行";
    ASSERT_TRUE(ExportHtml(window, Defaults(), Request(folder, u"sample", {}, 0)));
    EXPECT_EQ(
        folder.Read("sample.html"),
        Head +
            "<title>sample.html</title>\r\n</head>\r\n<body bgcolor=\"#FFFFFF\">\r\n\r\n</body></html>\r\n");
    EXPECT_EQ(window.counter, u"7行");
}

TEST(ExportHtml, DeletedLogWritesNoPage) {
    TemporaryFolder folder;
    ScriptedWindow window;
    EXPECT_FALSE(ExportHtml(window, Defaults(), Request(folder, u"sample", {}, 3)));
    EXPECT_EQ(window.busyDepth, 0);
    EXPECT_TRUE(folder.Names().empty());
    EXPECT_EQ(window.calls.back(), u"focus logList");
}

TEST(ExportHtml, ReadOnlyPageIsRefused) {
    TemporaryFolder folder;
    folder.Write("sample.txt", "A\r\n");
    folder.Write("sample.html", "kept");
    ::chmod(folder.Path("sample.html").c_str(), 0444);
    ScriptedWindow window;
    EXPECT_FALSE(ExportHtml(window, Defaults(), Request(folder, u"sample", {}, 1)));
    EXPECT_EQ(folder.Read("sample.html"), "kept");
    EXPECT_EQ(window.busyDepth, 0);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"sample.html", "sample.txt"}));
}

// Regression: with sample.html a link to the log, the page was written through it over the log.
TEST(ExportHtml, LinkAtThePageNameToTheLogIsRefused) {
    TemporaryFolder folder;
    folder.Write("sample.txt", "A\r\n");
    ASSERT_EQ(::symlink("sample.txt", folder.Path("sample.html").c_str()), 0);
    ScriptedWindow window;
    EXPECT_FALSE(ExportHtml(window, Defaults(), Request(folder, u"sample", {}, 1)));
    EXPECT_EQ(window.calls[window.calls.size() - 2],
              u"notice Err:File write: "
              u"「sample.html」に書き込めませんでした。元のファイルは変更されていません。\r\n"
              u"通常のファイルではありません。");
    EXPECT_EQ(folder.Read("sample.txt"), "A\r\n");
    EXPECT_EQ(window.busyDepth, 0);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"sample.html", "sample.txt"}));
}

TEST(ExportHtml, TitleIsEscapedAndHoldsAnyFileName) {
    TemporaryFolder folder;
    folder.Write("sample.txt", "A\r\n");
    ScriptedWindow window;
    ASSERT_TRUE(ExportHtml(window, Defaults(), Request(folder, u"<b>&ログ€", {}, 1)));
    const std::string page = folder.Read("sample.html");
    EXPECT_NE(page.find("<title>&lt;b>&amp;" + Sjis(u"ログ") + "&#8364;.html</title>"), std::string::npos)
        << page;
}

TEST(BuildHtmlBody, ReversesAndAppliesTheBlankRule) {
    TemporaryFolder folder;
    folder.Write("sample.txt", "A\r\n\r\n  \r\n----\r\nB\r\nC");
    struct Case {
        LoadAnswers answers;
        std::string body;
        std::int32_t lines;
    };
    const Case cases[] = {
        {{}, "C<br>\r\nB<br>\r\n----<br>\r\n<br>\r\n<br>\r\nA<br>\r\n", 6},
        {{true, false}, "C<br>\r\nB<br>\r\n----<br>\r\nA<br>\r\n", 4},
        {{false, true}, "C<br>\r\nB<br>\r\n<br>\r\n<br>\r\n<br>\r\nA<br>\r\n", 6},
        {{true, true}, "C<br>\r\nB<br>\r\nA<br>\r\n", 3},
    };
    for (const Case& c : cases) {
        std::int32_t last = 0;
        HtmlResult result = BuildHtmlBody(folder.Path("sample.txt"), Defaults(), c.answers, 9,
                                          [&](std::int32_t count, std::int64_t) { last = count; });
        EXPECT_EQ(result.body, c.body);
        EXPECT_EQ(result.writtenLines, c.lines);
        EXPECT_EQ(last, c.lines);
    }
}

// The page keeps the log's own bytes: a code with a twin and a byte that decodes to nothing come through
// as they were, and keywords still find them.
TEST(BuildHtmlBody, KeepsTheLogsOwnBytes) {
    TemporaryFolder folder;
    folder.Write("sample.txt", "\xED\x40> x\r\n\x80<\x82\r\n");
    HtmlOptions options = Defaults();
    options.SpeakerKeywords[0] = Cp932Codec::Decode("\xED\x40");
    HtmlResult result = BuildHtmlBody(folder.Path("sample.txt"), options, {}, 2, nullptr);
    EXPECT_EQ(result.body, "\x80&lt;\x82<br>\r\n<font color=\"#000\">\xED\x40> x</font><br>\r\n");
}

// The body built in pieces on several threads is the body built from the whole log on one, whatever
// the pieces' size: pieces end at CR, at LF or between CR and LF, and lines hold twins and raw lead bytes.
TEST(BuildHtmlBody, PiecesOnThreadsGiveTheSameBody) {
    struct Case {
        const char* name;
        std::string log;
    };
    const Case cases[] = {
        {"empty log", ""},
        {"no line end at all", "Taro> no end"},
        {"lone CRs", "A\rTaro> B\r\rC\r"},
        {"CR LF", "AB\r\nTaro> CD\r\n\r\n----\r\n  E"},
        {"LF inside CR lines", "A\nB\r\nC\n\r\nD\r"},
        {"LF only", "A\nTaro> B\n\n  ----\nC\n"},
        {"twins and raw lead bytes", "\xED\x40> x\r\n\x87\x90\x81\r\n\x81\r\n\xFA\x5C\x81"},
        {"markup", "Taro> <b>&amp;\r\n<\r\n&\r\n"},
    };
    HtmlOptions options = Defaults();
    options.SpeakerKeywords[0] = u"Taro";
    options.SpeakerKeywords[1] = Cp932Codec::Decode("\xED\x40");
    options.EntryKeyword = u"<";
    options.EntryEmphasis = true;
    const LoadAnswers answers[] = {{}, {true, true}};
    TemporaryFolder folder;
    for (const Case& c : cases) {
        folder.Write("sample.txt", c.log);
        for (const LoadAnswers& answer : answers) {
            const HtmlResult whole =
                BuildHtmlBody(folder.Path("sample.txt"), options, answer, 5, nullptr, {0, 1});
            EXPECT_EQ(whole.text, Cp932Codec::Decode(whole.body)) << c.name;
            for (std::size_t pieceBytes = 1; pieceBytes <= c.log.size(); ++pieceBytes) {
                for (const std::size_t threads : {1, 2, 3}) {
                    std::vector<std::int32_t> counts;
                    const HtmlResult pieces = BuildHtmlBody(folder.Path("sample.txt"), options, answer, 5,
                                                            [&](std::int32_t count, std::int64_t total) {
                                                                EXPECT_EQ(total, 5);
                                                                counts.push_back(count);
                                                            },
                                                            {pieceBytes, threads});
                    const std::string where = std::string(c.name) + " in pieces of " +
                                              std::to_string(pieceBytes) + " on " + std::to_string(threads) +
                                              " threads";
                    EXPECT_EQ(pieces.body, whole.body) << where;
                    EXPECT_EQ(pieces.text, whole.text) << where;
                    EXPECT_EQ(pieces.writtenLines, whole.writtenLines) << where;
                    std::vector<std::int32_t> expected(static_cast<std::size_t>(whole.writtenLines));
                    std::iota(expected.begin(), expected.end(), 1);
                    EXPECT_EQ(counts, expected) << where;
                }
            }
        }
    }
}

TEST(TagLine, KeywordRules) {
    HtmlOptions options = Defaults();
    options.SpeakerColors[3] = u"255,00,00";
    options.SpeakerColors[5] = u"00,00, 255";
    options.EntryColor = u"00, 51, 102";
    struct Case {
        const char* name;
        std::u16string line;
        std::u16string speaker3;
        std::u16string speaker5;
        std::u16string entry;
        bool emphasis;
        std::u16string tagged;
    };
    const Case cases[] = {
        {"no keyword", u"Taro> hi", u"", u"", u"", false, u"Taro> hi"},
        {"lowest box wins", u"Taro> hi", u"Ta", u"Taro", u"", false,
         u"<font color=\"#FF0000\">Taro> hi</font>"},
        {"only at the start", u"hi Taro", u"Taro", u"", u"", false, u"hi Taro"},
        {"case-sensitive", u"Taro> hi", u"taro", u"", u"", false, u"Taro> hi"},
        {"inner spaces must match", u"Taro > hi", u"Taro>", u"", u"", false, u"Taro > hi"},
        {"keyword with >", u"Taro> hi", u"Taro>", u"", u"", false,
         u"<font color=\"#FF0000\">Taro> hi</font>"},
        {"keyword < cannot match the wrapping", u"<x", u"<", u"<", u"", false,
         u"<font color=\"#FF0000\">&lt;x</font>"},
        {"keyword & matches the escaped line", u"&amp", u"&", u"", u"", false,
         u"<font color=\"#FF0000\">&amp;amp</font>"},
        {"emphasis", u"【入室】Taro", u"【", u"", u"【入室】", true,
         u"<font color=\"#003366\"><strong>【入室】Taro</strong></font>"},
        {"emphasis off", u"【入室】Taro", u"", u"【", u"【入室】", false,
         u"<font color=\"#0000FF\">【入室】Taro</font>"},
        {"emphasis without keyword", u"【入室】Taro", u"", u"", u"", true, u"【入室】Taro"},
        {"script stays text", u"<script>alert(1)</script>", u"", u"", u"", false,
         u"&lt;script>alert(1)&lt;/script>"},
    };
    for (const Case& c : cases) {
        options.SpeakerKeywords[3] = c.speaker3;
        options.SpeakerKeywords[5] = c.speaker5;
        options.EntryKeyword = c.entry;
        options.EntryEmphasis = c.emphasis;
        EXPECT_EQ(TagLine(c.line, options), c.tagged) << c.name;
    }
}

// The markup characters are found wherever they stand in a long line, alone or several in one stretch.
TEST(TagLine, EscapesAtEveryPlaceOfALongLine) {
    const HtmlOptions options = Defaults();
    for (std::size_t place = 0; place < 48; ++place) {
        std::u16string line(48, u'x');
        line[place] = u'&';
        line[(place * 7 + 3) % 48] = u'<';
        line[47 - place / 2] = u'日';
        EXPECT_EQ(TagLine(line, options), EscapeHtml(line)) << place;
    }
}

TEST(MakeHtmlOptions, TrimsKeywordsAndTakesTheTable) {
    ColorTable colors;
    colors.Reset();
    colors.Set(ColorTable::SpeakerSlot(9), u"51, 204, 153");
    const HtmlOptions options = MakeHtmlOptions(colors, true, u"  入室 ", {u" Taro ", u"   ", u"a b"});
    EXPECT_TRUE(options.EntryEmphasis);
    EXPECT_EQ(options.EntryKeyword, u"入室");
    EXPECT_EQ(options.SpeakerKeywords[0], u"Taro");
    EXPECT_EQ(options.SpeakerKeywords[1], u""); // spaces only never colour anything
    EXPECT_EQ(options.SpeakerKeywords[2], u"a b");
    EXPECT_EQ(options.PageColor, u"255,255,255");
    EXPECT_EQ(options.EntryColor, u"00,00,00");
    EXPECT_EQ(options.SpeakerColors[9], u"51, 204, 153");
    EXPECT_EQ(options.SpeakerColors[0], u"0,0,0");
}

} // namespace
} // namespace parlowen
