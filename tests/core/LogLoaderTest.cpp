#include "LogLoader.h"

#include "Dialogues.h"
#include "ScriptedWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace parlowen {
namespace {

TEST(CleanLine, LeadingSpacesAndSeparators) {
    struct Case {
        std::u16string line;
        bool removeSeparator;
        std::u16string cleaned;
    };
    const Case cases[] = {
        {u"", true, u""},
        {u"  Taro> hi  ", false, u"Taro> hi  "}, // trailing spaces stay
        {u"\tTaro", false, u"\tTaro"},           // only spaces are leading spaces
        {u"　Taro", false, u"　Taro"},           // so is the ideographic space
        {u"    ", false, u""},
        {u"----", false, u"----"},
        {u"----", true, u""},
        {u"  ----", true, u""},
        {u"-", true, u""},
        {u"x", true, u"x"},
        {u"---a", true, u"---a"},
        {u"a---", true, u"a---"},
        {u"- -", true, u"- -"},
        {u"---- ", true, u"---- "},
        {u"ー－", true, u"ー－"}, // only the ASCII hyphen-minus makes a separator
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CleanLine(c.line, c.removeSeparator), c.cleaned) << Narrow(c.line);
        EXPECT_EQ(CleanLine(Sjis(c.line), c.removeSeparator), Sjis(c.cleaned)) << Narrow(c.line);
    }
}

struct LoadCase {
    const char* name;
    LoadAnswers answers;
    std::u16string logText;
    std::int64_t lines;
};

TEST(LoadLog, AppliesTheAnswers) {
    TemporaryFolder folder;
    folder.Write("log.txt", Sjis(u"  たろう> やあ\r\n\r\n   \r\n----\r\n\t\r\nはなこ> ども"));
    const LoadCase cases[] = {
        {"keep all", {false, false}, u"\r\nたろう> やあ\r\n\r\n\r\n----\r\n\t\r\nはなこ> ども", 6},
        {"drop blank", {true, false}, u"\r\nたろう> やあ\r\n----\r\n\t\r\nはなこ> ども", 4},
        {"empty separators", {false, true}, u"\r\nたろう> やあ\r\n\r\n\r\n\r\n\t\r\nはなこ> ども", 6},
        {"drop both", {true, true}, u"\r\nたろう> やあ\r\n\t\r\nはなこ> ども", 3},
    };
    for (const LoadCase& c : cases) {
        std::vector<std::int64_t> progress;
        LoadResult result = LoadLog(folder.Path("log.txt"), c.answers,
                                    [&](std::int64_t count) { progress.push_back(count); });
        ASSERT_TRUE(result.status.Ok()) << c.name;
        EXPECT_EQ(result.logText, c.logText) << c.name;
        EXPECT_EQ(result.lineCount, c.lines) << c.name;
        ASSERT_EQ(progress.size(), static_cast<std::size_t>(c.lines)) << c.name;
        EXPECT_EQ(progress.back(), c.lines) << c.name;
    }
}

TEST(LoadLog, EmptyFileAndMissingFile) {
    TemporaryFolder folder;
    folder.Write("empty.txt", "");
    LoadResult empty = LoadLog(folder.Path("empty.txt"), {}, nullptr);
    EXPECT_TRUE(empty.status.Ok());
    EXPECT_EQ(empty.logText, u"");
    EXPECT_EQ(empty.lineCount, 0);

    LoadResult missing = LoadLog(folder.Path("gone.txt"), {}, nullptr);
    EXPECT_FALSE(missing.status.Ok());
    EXPECT_EQ(missing.logText, u"");
}

// A log found to have a line end the check view would read otherwise after many lines is loaded as text,
// and the counter goes on from where it stood rather than back to one.
TEST(LoadLogLines, ALogWithMixedLineEndsIsLoadedAsTextAndItsCountNeverGoesBack) {
    TemporaryFolder folder;
    std::string log;
    for (int line = 0; line < 1000; ++line) {
        log += "line\r\n";
    }
    folder.Write("log.txt", log + "last\r");
    std::vector<std::int64_t> progress;
    const LoadResult result =
        LoadLogLines(folder.Path("log.txt"), {}, [&](std::int64_t count) { progress.push_back(count); });
    EXPECT_FALSE(result.lines.file.file.Valid());
    EXPECT_EQ(result.lineCount, 1001);
    EXPECT_EQ(result.logText.size(), 1000 * 6 + 6);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()) &&
                std::adjacent_find(progress.begin(), progress.end()) == progress.end());
    EXPECT_EQ(progress.back(), 1001);
}

TEST(RunLoad, AsksBothQuestionsThenShowsTheLog) {
    TemporaryFolder folder;
    folder.Write("log.txt", Sjis(u"A\r\n\r\n----\r\nB\r\n"));
    ScriptedWindow window;
    window.answers = {true, false};
    LoadOutcome outcome = RunLoad(window, {folder.Path("log.txt"), u"log.txt"});
    EXPECT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.answers.removeBlankLines, true);
    EXPECT_EQ(outcome.answers.removeSeparatorLines, false);
    EXPECT_EQ(outcome.loadedLineCount, 3);
    EXPECT_EQ(window.checkText, u"\r\nA\r\n----\r\nB");
    EXPECT_EQ(window.counter, u"3行");
    const std::vector<std::u16string> expected = {
        u"ask Ask:Null Delete: 空白行を除去しますか？ -> OK",
        u"ask Ask:Line Delete: 区切り線「----」行を除去しますか？ -> Cancel",
        u"busy on",
        u"text set",
        u"state Before red",
        u"busy off",
        u"focus emphasisBox",
    };
    EXPECT_EQ(window.calls, expected);
}

TEST(RunLoad, NothingSelected) {
    ScriptedWindow window;
    LoadOutcome outcome = RunLoad(window, {"/nonexistent/", u""});
    EXPECT_FALSE(outcome.loaded);
    const std::vector<std::u16string> expected = {
        u"notice Err:File select: ファイルが選択されていません！",
        u"focus logList",
    };
    EXPECT_EQ(window.calls, expected);
}

TEST(RunLoad, FileDeletedSinceTheListWasFilled) {
    TemporaryFolder folder;
    ScriptedWindow window;
    window.answers = {false, false};
    LoadOutcome outcome = RunLoad(window, {folder.Path("gone.txt"), u"gone.txt"});
    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(window.busyDepth, 0);
    ASSERT_GE(window.calls.size(), 2u);
    EXPECT_EQ(window.calls[window.calls.size() - 2],
              u"notice Err:File read: 「gone.txt」を読み込めませんでした。\r\nファイルが見つかりません。");
    EXPECT_EQ(window.calls.back(), u"focus logList");
}

TEST(RunLoad, FolderInsteadOfAFile) {
    TemporaryFolder folder;
    std::filesystem::create_directory(folder.Path("dir.txt"));
    ScriptedWindow window;
    window.answers = {true, true};
    EXPECT_FALSE(RunLoad(window, {folder.Path("dir.txt"), u"dir.txt"}).loaded);
    EXPECT_EQ(window.busyDepth, 0);
    EXPECT_NE(window.calls[window.calls.size() - 2].find(u"通常のファイルではありません。"),
              std::u16string::npos);
}

} // namespace
} // namespace parlowen
