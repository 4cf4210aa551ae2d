#include "LogConverter.h"

#include "ScriptedWindow.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace parlowen {
namespace {

ConvertRequest Request(const TemporaryFolder& folder, LoadAnswers answers, double total) {
    return {folder.Path("log.txt"), u"log.txt", answers, total};
}

TEST(ConvertLog, ReversesTheKeptLines) {
    TemporaryFolder folder;
    struct Case {
        const char* name;
        std::string file;
        LoadAnswers answers;
        std::string written;
    };
    const Case cases[] = {
        {"plain", "A\r\nB\r\nC\r\n", {}, "C\r\nB\r\nA\r\n\r\n"},
        {"no final terminator", "A\r\nB\r\nC", {}, "C\r\nB\r\nA\r\n\r\n"},
        {"empty file", "", {}, "\r\n"},
        {"lone LF stays in its line", "A\nB\rC\r\n", {}, "C\r\nA\nB\r\n\r\n"},
        {"LF ends the lines of a log without CR", "A\nB\n\nC\n", {}, "C\r\n\r\nB\r\nA\r\n\r\n"},
        {"blank lines dropped", "A\r\n\r\n  \r\nB\r\n", {StoredTrue, StoredFalse}, "B\r\nA\r\n\r\n"},
        {"separators emptied in place",
         "A\r\n----\r\nB\r\n",
         {StoredFalse, StoredTrue},
         "B\r\n\r\nA\r\n\r\n"},
        {"separators dropped", "A\r\n----\r\nB\r\n", {StoredTrue, StoredTrue}, "B\r\nA\r\n\r\n"},
        {"leading spaces removed", "  A\r\n B \r\n", {}, "B \r\nA\r\n\r\n"},
        {"nothing kept", "\r\n----\r\n", {StoredTrue, StoredTrue}, "\r\n"},
        {"undecodable bytes kept", "\x80\xFF\r\n\x82", {}, "\x82\r\n\x80\xFF\r\n\r\n"},
    };
    for (const Case& c : cases) {
        folder.Write("log.txt", c.file);
        ScriptedWindow window;
        window.answers = {true};
        EXPECT_TRUE(RunConvertAndSave(window, Request(folder, c.answers, 3))) << c.name;
        EXPECT_EQ(folder.Read("log.txt"), c.written) << c.name;
        EXPECT_EQ(Sjis(window.checkText) + "\r\n", c.written) << c.name;
    }
}

TEST(ConvertLog, ConvertingTwice) {
    TemporaryFolder folder;
    folder.Write("log.txt", "A\r\nB\r\nC\r\n");
    ScriptedWindow window;
    window.answers = {true, true, true, true};
    RunConvertAndSave(window, Request(folder, {}, 3));
    RunConvertAndSave(window, Request(folder, {}, 3));
    // The extra CR LF of the first pass comes back as an empty first line.
    EXPECT_EQ(folder.Read("log.txt"), "\r\nA\r\nB\r\nC\r\n\r\n");

    folder.Write("log.txt", "A\r\nB\r\nC\r\n");
    RunConvertAndSave(window, Request(folder, {StoredTrue, StoredFalse}, 3));
    RunConvertAndSave(window, Request(folder, {StoredTrue, StoredFalse}, 3));
    EXPECT_EQ(folder.Read("log.txt"), "A\r\nB\r\nC\r\n\r\n");
}

TEST(ConvertLog, CounterCountsEveryLineReadOverTheLoadedTotal) {
    TemporaryFolder folder;
    folder.Write("log.txt", "A\r\n\r\n\r\nB\r\n");
    ScriptedWindow window;
    window.answers = {true};
    RunConvertAndSave(window, Request(folder, {StoredTrue, StoredFalse}, 2));
    EXPECT_EQ(window.counter, u"4/2行"); // dropped lines are counted too, so it can pass the total
    EXPECT_EQ(window.counterUpdates, 4u);
}

TEST(RunConvertAndSave, WholeSequence) {
    TemporaryFolder folder;
    folder.Write("log.txt", "A\r\nB\r\n");
    ScriptedWindow window;
    window.answers = {true};
    RunConvertAndSave(window, Request(folder, {}, 2));
    const std::vector<std::u16string> expected = {
        u"ask Message:Log Change & Save: "
        u"変換すると、元のテキストファイルは失われ、変換後のファイルに置き換えられます。"
        u"\r\nよろしいですか？ -> OK",
        u"busy on",
        u"text cleared",
        u"text set",
        u"busy off",
        u"state After blue",
        u"notice Complete Massage: Text change complete!",
        u"focus File1",
    };
    EXPECT_EQ(window.calls, expected);
    EXPECT_EQ(window.counter, u"2/2行");
}

TEST(RunConvertAndSave, CancelChangesNothing) {
    TemporaryFolder folder;
    folder.Write("log.txt", "A\r\nB\r\n");
    ScriptedWindow window;
    window.checkText = u"\r\nA\r\nB";
    window.answers = {false};
    EXPECT_FALSE(RunConvertAndSave(window, Request(folder, {}, 2)));
    EXPECT_EQ(folder.Read("log.txt"), "A\r\nB\r\n");
    EXPECT_EQ(window.checkText, u"\r\nA\r\nB");
    EXPECT_EQ(window.counterUpdates, 0u);
    const std::vector<std::u16string> expected = {
        window.calls.front(),
        u"beep",
        u"notice Message:Log Change & Save: 処理は中断されました。",
        u"focus File1",
    };
    EXPECT_EQ(window.calls, expected);
}

TEST(RunConvertAndSave, ReadOnlyLogIsRefusedEvenForRoot) {
    TemporaryFolder folder;
    folder.Write("log.txt", "A\r\nB\r\n");
    ::chmod(folder.Path("log.txt").c_str(), 0444);
    ScriptedWindow window;
    window.checkText = u"\r\nA\r\nB";
    window.answers = {true};
    EXPECT_FALSE(RunConvertAndSave(window, Request(folder, {}, 2)));
    EXPECT_EQ(folder.Read("log.txt"), "A\r\nB\r\n");
    EXPECT_EQ(window.checkText, u"\r\nA\r\nB");
    EXPECT_EQ(window.busyDepth, 0);
    EXPECT_EQ(window.calls[1],
              u"notice Err:File write: 「log.txt」に書き込めませんでした。元のファイルは変更されていません。"
              u"\r\n読み取り専用のファイルです。");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"});
}

TEST(RunConvertAndSave, DeletedLogGivesANotice) {
    TemporaryFolder folder;
    ScriptedWindow window;
    window.answers = {true};
    EXPECT_FALSE(RunConvertAndSave(window, Request(folder, {}, 2)));
    EXPECT_EQ(window.busyDepth, 0);
    EXPECT_EQ(window.calls[window.calls.size() - 2],
              u"notice Err:File read: 「log.txt」を読み込めませんでした。\r\nファイルが見つかりません。");
    EXPECT_TRUE(folder.Names().empty()); // nothing was created in its place
}

} // namespace
} // namespace parlowen
