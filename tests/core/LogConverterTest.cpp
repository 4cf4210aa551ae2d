#include "LogConverter.h"

#include "Dialogues.h"
#include "HtmlExporter.h"
#include "LogJournal.h"
#include "ScriptedWindow.h"

#include "RenameSeam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace parlowen {
namespace {

ConvertRequest Request(const TemporaryFolder& folder, LoadAnswers answers, std::int64_t total) {
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
        {"blank lines dropped", "A\r\n\r\n  \r\nB\r\n", {true, false}, "B\r\nA\r\n\r\n"},
        {"separators emptied in place", "A\r\n----\r\nB\r\n", {false, true}, "B\r\n\r\nA\r\n\r\n"},
        {"separators dropped", "A\r\n----\r\nB\r\n", {true, true}, "B\r\nA\r\n\r\n"},
        {"leading spaces removed", "  A\r\n B \r\n", {}, "B \r\nA\r\n\r\n"},
        {"nothing kept", "\r\n----\r\n", {true, true}, "\r\n"},
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
    RunConvertAndSave(window, Request(folder, {true, false}, 3));
    RunConvertAndSave(window, Request(folder, {true, false}, 3));
    EXPECT_EQ(folder.Read("log.txt"), "A\r\nB\r\nC\r\n\r\n");
}

TEST(ConvertLog, CounterCountsEveryLineReadOverTheLoadedTotal) {
    TemporaryFolder folder;
    folder.Write("log.txt", "A\r\n\r\n\r\nB\r\n");
    ScriptedWindow window;
    window.answers = {true};
    RunConvertAndSave(window, Request(folder, {true, false}, 2));
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
        u"focus logList",
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
        u"focus logList",
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

std::u16string Wide(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

const std::u16string ChangedNotice =
    u"notice Err:File write: 「log.txt」に書き込めませんでした。元のファイルは変更されていません。\r\n"
    u"変換中に他のプログラムがファイルを変更したため、何も書き込みませんでした。";

std::u16string RedoneNotice(const TemporaryFolder& folder) {
    return u"notice Message:Log Change & Save: 「" + Wide(folder.Path("log.txt")) +
           u"」の中断されていた変換を、ジャーナルから完了しました。";
}

struct stat Status(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info;
}

// The log stays the same file: a chat program that keeps it open in append mode writes its next line into
// the converted log (regression: it went into the old, deleted file), and the owner, the set-user-ID and
// set-group-ID bits, a second name and extended attributes all stay (regression: all were lost).
TEST(RewriteLog, KeepsTheFileItsNamesItsOwnerAndItsAppendingWriter) {
    TemporaryFolder folder;
    PrivateStateFolder state;
    folder.Write("log.txt", "A\r\nB\r\n");
    ASSERT_EQ(::link(folder.Path("log.txt").c_str(), folder.Path("second name.txt").c_str()), 0);
    ASSERT_EQ(::chown(folder.Path("log.txt").c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(folder.Path("log.txt").c_str(), 06755), 0);
    const bool attributes = ::setxattr(folder.Path("log.txt").c_str(), "user.chat", "kept", 4, 0) == 0;
    const struct stat before = Status(folder.Path("log.txt"));
    const int writer = ::open(folder.Path("log.txt").c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(writer, 0);

    // The log's owner converts it: the system clears the set-ID bits when anyone but root writes a file.
    ::chmod(folder.Path("").c_str(), 0777);
    const int exit = InChild([&] {
        if (!BecomeNobody()) {
            return 2;
        }
        ::setenv("XDG_STATE_HOME", folder.Path("").c_str(), 1);
        ScriptedWindow window;
        window.answers = {true};
        return RunConvertAndSave(window, Request(folder, {}, 2)) ? 0 : 1;
    });
    ASSERT_EQ(exit, 0) << "2: could not become nobody, 1: not converted";
    std::filesystem::remove(folder.Path("parlowen"));
    ASSERT_EQ(::write(writer, "C\r\n", 3), 3);
    ::close(writer);

    EXPECT_EQ(folder.Read("log.txt"), "B\r\nA\r\n\r\nC\r\n");
    EXPECT_EQ(folder.Read("second name.txt"), folder.Read("log.txt"));
    const struct stat after = Status(folder.Path("log.txt"));
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 06755u);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
    if (attributes) {
        char value[8] = {};
        EXPECT_EQ(::getxattr(folder.Path("log.txt").c_str(), "user.chat", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    } else {
        std::fprintf(stderr, "extended attributes not checked: the temporary folder does not hold them\n");
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"log.txt", "second name.txt"}));
    EXPECT_TRUE(state.Names().empty());
}

// A window that does something to the log while the conversion reads it, as another program might.
class MeddlingWindow : public ScriptedWindow {
  public:
    std::function<void()> meddle;
    void SetLineCounter(const LineCount& lineCount) override {
        ScriptedWindow::SetLineCounter(lineCount);
        if (meddle) {
            std::exchange(meddle, nullptr)();
        }
    }
};

// The log changed while it was being converted: nothing is written, and what the other program did stays
// (regression: an appended line was lost, and a rotated log's new file was overwritten with the old one).
TEST(RewriteLog, LogChangedWhileConvertingIsNotWritten) {
    struct Case {
        const char* name;
        std::function<void(const TemporaryFolder&)> meddle;
        std::vector<std::string> names;
        std::string log; // what log.txt holds afterwards; "-" for no such file
    };
    const Case cases[] = {
        {"a line appended",
         [](const TemporaryFolder& f) { std::ofstream(f.Path("log.txt"), std::ios::app) << "D\r\n"; },
         {"log.txt"},
         "A\r\nB\r\nC\r\nD\r\n"},
        {"rotated",
         [](const TemporaryFolder& f) {
             std::filesystem::rename(f.Path("log.txt"), f.Path("log.txt.1"));
             f.Write("log.txt", "new\r\n");
         },
         {"log.txt", "log.txt.1"},
         "new\r\n"},
        {"deleted", [](const TemporaryFolder& f) { std::filesystem::remove(f.Path("log.txt")); }, {}, "-"},
        {"rewritten in place with its size kept",
         [](const TemporaryFolder& f) {
             std::fstream(f.Path("log.txt"), std::ios::in | std::ios::out | std::ios::binary) << "X";
             const timespec later[2] = {{0, UTIME_OMIT}, {Status(f.Path("log.txt")).st_mtim.tv_sec + 5, 0}};
             ::utimensat(AT_FDCWD, f.Path("log.txt").c_str(), later, 0);
         },
         {"log.txt"},
         "X\r\nB\r\nC\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder;
        PrivateStateFolder state;
        folder.Write("log.txt", "A\r\nB\r\nC\r\n");
        MeddlingWindow window;
        window.answers = {true};
        window.meddle = [&] { c.meddle(folder); };
        EXPECT_FALSE(RunConvertAndSave(window, Request(folder, {}, 3)));
        EXPECT_EQ(window.calls[window.calls.size() - 2], ChangedNotice);
        EXPECT_EQ(window.busyDepth, 0);
        EXPECT_EQ(folder.Names(), c.names);
        if (c.log != "-") {
            EXPECT_EQ(folder.Read("log.txt"), c.log);
        }
        if (std::filesystem::exists(folder.Path("log.txt.1"))) {
            EXPECT_EQ(folder.Read("log.txt.1"), "A\r\nB\r\nC\r\n");
        }
        EXPECT_TRUE(state.Names().empty());
    }
}

// The system's own permission check decides, in a child that has become nobody: a colleague's log in a
// shared folder that nobody may write is refused and keeps its owner (regression: the converting user
// became its owner), and a log nobody may write in a folder nobody may not write is rewritten
// (regression: refused).
TEST(RewriteLog, PermissionsAreTheSystemsOwn) {
    struct Case {
        const char* name;
        mode_t folderMode;
        mode_t logMode;
        bool rewritten;
    };
    const Case cases[] = {
        {"a colleague's log in a shared setgid folder", 02777, 0644, false},
        {"a writable log in a read-only folder", 0555, 0666, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder top;
        PrivateStateFolder state;
        std::filesystem::create_directories(top.Path("state"));
        std::filesystem::create_directories(top.Path("logs"));
        ::chmod(top.Path("").c_str(), 0755);
        ::chmod(top.Path("state").c_str(), 0777);
        const std::string log = top.Path("logs/log.txt");
        std::ofstream(log, std::ios::binary) << "A\r\nB\r\n";
        ::chmod(log.c_str(), c.logMode);
        ::chmod(top.Path("logs").c_str(), c.folderMode);
        const int exit = InChild([&] {
            if (!BecomeNobody()) {
                return 2;
            }
            ::setenv("XDG_STATE_HOME", top.Path("state").c_str(), 1);
            ScriptedWindow window;
            window.answers = {true};
            const bool done = RunConvertAndSave(window, {log, u"log.txt", {}, 2});
            const std::u16string refusal =
                u"notice Err:File write: 「log.txt」に書き込めませんでした。"
                u"元のファイルは変更されていません。\r\nアクセスが許可されていません。";
            return done == c.rewritten && (done || window.calls[1] == refusal) && window.busyDepth == 0 ? 0
                                                                                                        : 1;
        });
        EXPECT_EQ(exit, 0) << "2: could not become nobody, 1: not "
                           << (c.rewritten ? "rewritten" : "refused");
        EXPECT_EQ(top.Read("logs/log.txt"), c.rewritten ? "B\r\nA\r\n\r\n" : "A\r\nB\r\n");
        EXPECT_EQ(Status(log).st_uid, 0u);
        ::chmod(top.Path("logs").c_str(), 0755);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(top.Path("logs")), {}), 1);
    }
}

// Regression: the temporary file's name was the log's name and more, so a log named with 80 Japanese
// characters (240 bytes) could be neither converted nor exported.
TEST(RewriteLog, LogWithTheLongestNameConvertsAndExports) {
    TemporaryFolder folder;
    PrivateStateFolder state;
    std::string base;
    for (int character = 0; character < 80; ++character) {
        base += "\xE3\x83\xAD"; // ロ in UTF-8
    }
    folder.Write(base + ".txt", "A\r\nB\r\n");
    ScriptedWindow window;
    window.answers = {true};
    EXPECT_TRUE(RunConvertAndSave(window, {folder.Path(base + ".txt"), u"log.txt", {}, 2}));
    EXPECT_EQ(folder.Read(base + ".txt"), "B\r\nA\r\n\r\n");
    ColorTable colors;
    colors.Reset();
    EXPECT_TRUE(
        ExportHtml(window, MakeHtmlOptions(colors, false, u"", {}),
                   {folder.Path(base + ".txt"), folder.Path(base + ".html"), u"log.txt", u"log", {}, 3}));
    EXPECT_NE(folder.Read(base + ".html").find("\r\nA<br>\r\nB<br>\r\n"), std::string::npos);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{base + ".html", base + ".txt"}));
}

// A state folder that cannot be used refuses the conversion with a notice naming it; nothing is written.
TEST(RewriteLog, UnusableStateFolderRefusesTheConversion) {
    TemporaryFolder folder;
    folder.Write("log.txt", "A\r\nB\r\n");
    folder.Write("not a folder", "");
    ::setenv("XDG_STATE_HOME", folder.Path("not a folder").c_str(), 1);
    ScriptedWindow window;
    window.answers = {true};
    window.checkText = u"\r\nA\r\nB";
    EXPECT_FALSE(RunConvertAndSave(window, Request(folder, {}, 2)));
    ::unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(window.calls[1], u"notice Err:File write: 「" + Wide(folder.Path("not a folder/parlowen")) +
                                   u"」に書き込めませんでした。元のファイルは変更されていません。\r\n" +
                                   DescribeFailure(FileStatus::FromErrno(ENOTDIR)));
    EXPECT_EQ(window.checkText, u"\r\nA\r\nB");
    EXPECT_EQ(folder.Read("log.txt"), "A\r\nB\r\n");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"log.txt", "not a folder"}));
}

// A log of several megabytes, so that the journal and the overwrite each take several pieces. Converted, it
// grows by the final CR LF; with indented lines it shrinks, as the leading spaces go.
std::string LargeLog(const std::string& indent = "", std::size_t size = 3000000) {
    std::string log;
    for (int line = 0; log.size() < size; ++line) {
        log += indent + "line " + std::to_string(line) + "\r\n";
    }
    return log;
}

// What the log is after a conversion that keeps every line.
std::string Converted(const std::string& log) {
    TemporaryFolder scratch;
    scratch.Write("log.txt", log);
    return ConvertLog(scratch.Path("log.txt"), {}, 0, nullptr).bytes + "\r\n";
}

// Starts a rewrite of log.txt in a child that stops itself just before the given call and kills it there.
// Returns whether the log was still all old at that moment.
bool KillRewriteBefore(const TemporaryFolder& folder, SeamCall call, int occurrence, const std::string& old) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(60);
        StopBefore(call, occurrence);
        RewriteLog(folder.Path("log.txt"), {}, 0, nullptr);
        ::_exit(0);
    }
    int wait = 0;
    if (child < 0 || ::waitpid(child, &wait, WUNTRACED) != child) {
        return false;
    }
    const bool stopped = WIFSTOPPED(wait);
    const bool stillOld = stopped && folder.Read("log.txt") == old;
    ::kill(child, SIGKILL);
    ::waitpid(child, &wait, 0);
    EXPECT_TRUE(stopped) << "the child did not reach the call";
    return stillOld;
}

void KilledAtEveryStep(const std::string& old, const std::string& next) {
    struct Case {
        const char* step;
        SeamCall call;
        int occurrence;
        bool oldWhenKilled;
        bool newAfterStart;
        bool notice; // the next start tells that it finished the rewrite
    };
    const Case cases[] = {
        {"writing the journal", SeamCall::Write, 2, true, false, false},
        {"writing the journal's header", SeamCall::PositionedWrite, 1, true, false, false},
        {"flushing the journal", SeamCall::Sync, 1, true, false, false},
        {"making the journal valid", SeamCall::Rename, 1, true, false, false},
        {"flushing the journal's folder", SeamCall::Sync, 2, true, true, true},
        {"starting the overwrite", SeamCall::PositionedWrite, 2, true, true, true},
        {"half-way through the overwrite", SeamCall::PositionedWrite, 3, false, true, true},
        {"cutting the log to length (only a shrinking log is cut)", SeamCall::Truncate, 1, false, true, true},
        {"flushing the log", SeamCall::Sync, 3, false, true, true},
        {"removing the journal", SeamCall::Unlink, 1, false, true, true},
        {"flushing the folder after", SeamCall::Sync, 4, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        if (c.call == SeamCall::Truncate && next.size() >= old.size()) {
            continue;
        }
        TemporaryFolder folder;
        PrivateStateFolder state;
        folder.Write("log.txt", old);
        const bool oldWhenKilled = KillRewriteBefore(folder, c.call, c.occurrence, old);
        if (c.oldWhenKilled) {
            EXPECT_TRUE(oldWhenKilled) << "the log changed before its journal was valid";
        }
        ScriptedWindow window;
        RecoverJournals(window);
        EXPECT_TRUE(folder.Read("log.txt") == (c.newAfterStart ? next : old));
        EXPECT_EQ(window.calls, c.notice ? std::vector<std::u16string>{RedoneNotice(folder)}
                                         : std::vector<std::u16string>{});
        EXPECT_TRUE(state.Names().empty());
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"});
    }
}

// A run killed just before each step of the rewrite: until the journal is valid the log is still old and
// the next start only removes the incomplete journal; from then on the next start finishes the log, whole,
// for a log that grows and for one that shrinks (regression: killed before the cut, the shrunk log kept
// the old log's end after the new text for good).
TEST(RewriteLog, KilledAtEveryStepEndsWhollyOldOrWhollyNew) {
    for (const std::string& old : {LargeLog(), LargeLog("  ")}) {
        const std::string next = Converted(old);
        SCOPED_TRACE(next.size() > old.size() ? "growing" : "shrinking");
        KilledAtEveryStep(old, next);
    }
}

// A conversion finishes the rewrite a killed run left of the same log before it reads it, so it converts
// the new text, not a mixture; while that rewrite cannot be finished, it converts nothing.
TEST(RewriteLog, ConversionFinishesAKilledRewriteFirst) {
    TemporaryFolder folder;
    PrivateStateFolder state;
    const std::string old = LargeLog();
    folder.Write("log.txt", old);
    KillRewriteBefore(folder, SeamCall::PositionedWrite, 3, old);
    const std::string halfWritten = folder.Read("log.txt");

    // While the rewrite cannot be finished (the log was made read-only), nothing is converted.
    ::chmod(folder.Path("log.txt").c_str(), 0444);
    ScriptedWindow refused;
    refused.answers = {true};
    EXPECT_FALSE(RunConvertAndSave(refused, Request(folder, {}, 0)));
    EXPECT_EQ(refused.calls[1],
              u"notice Err:File write: 「" + Wide(folder.Path("log.txt")) +
                  u"」の中断されていた変換を完了できませんでした。ジャーナルは残してあります。"
                  u"\r\n読み取り専用のファイルです。");
    EXPECT_TRUE(folder.Read("log.txt") == halfWritten);
    EXPECT_EQ(state.Names().size(), 1u);

    // Nor while it fails for another reason: a file size limit below the log's new length.
    ::chmod(folder.Path("log.txt").c_str(), 0644);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const rlimit limit{1 << 20, before.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ScriptedWindow limited;
    limited.answers = {true};
    const bool converted = RunConvertAndSave(limited, Request(folder, {}, 0));
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(converted);
    const std::vector<std::u16string> stopped = {
        limited.calls.front(),
        u"notice Err:File write: 「" + Wide(folder.Path("log.txt")) +
            u"」の中断されていた変換を完了できませんでした。ジャーナルは残してあります。"
            u"\r\nファイルが大きすぎます。",
        u"focus logList",
    };
    EXPECT_EQ(limited.calls, stopped);
    EXPECT_EQ(state.Names().size(), 1u);

    ScriptedWindow window;
    window.answers = {true};
    EXPECT_TRUE(RunConvertAndSave(window, Request(folder, {}, 0)));
    EXPECT_EQ(window.calls[1], RedoneNotice(folder));
    EXPECT_TRUE(folder.Read("log.txt") == Converted(Converted(old)));
    EXPECT_TRUE(state.Names().empty());
}

// A load and an export finish the rewrite a killed run left of their log before they read it, so they show
// and write the new text, never the half-written log; while that rewrite cannot be finished, they read
// nothing.
TEST(RewriteLog, LoadAndExportFinishAKilledRewriteFirst) {
    const std::string old = LargeLog();
    TemporaryFolder clean;
    clean.Write("log.txt", Converted(old));
    // What the operation made of folder's log.txt: its check text and its page, if any.
    using Operation = std::function<std::string(ScriptedWindow&, const TemporaryFolder&)>;
    const struct {
        const char* name;
        Operation run;
    } cases[] = {
        {"load",
         [](ScriptedWindow& window, const TemporaryFolder& folder) {
             window.answers = {false, false};
             RunLoad(window, {folder.Path("log.txt"), u"log.txt"});
             return Sjis(window.checkText);
         }},
        {"export",
         [](ScriptedWindow& window, const TemporaryFolder& folder) {
             ExportHtml(window, {},
                        {folder.Path("log.txt"), folder.Path("log.html"), u"log.txt", u"log", {}, 0});
             const bool written = std::filesystem::exists(folder.Path("log.html"));
             return Sjis(window.checkText) + (written ? folder.Read("log.html") : "");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder;
        PrivateStateFolder state;
        folder.Write("log.txt", old);
        KillRewriteBefore(folder, SeamCall::PositionedWrite, 3, old);
        const std::string halfWritten = folder.Read("log.txt");
        ASSERT_NE(halfWritten, old);

        ::chmod(folder.Path("log.txt").c_str(), 0444);
        ScriptedWindow refused;
        EXPECT_EQ(c.run(refused, folder), "");
        EXPECT_TRUE(folder.Read("log.txt") == halfWritten);
        EXPECT_EQ(refused.calls.back(), u"focus logList");
        EXPECT_EQ(refused.busyDepth, 0);

        ::chmod(folder.Path("log.txt").c_str(), 0644);
        ScriptedWindow window;
        ScriptedWindow reference;
        const std::string made = c.run(window, folder);
        EXPECT_TRUE(made == c.run(reference, clean)) << "the operation read the half-written log";
        EXPECT_NE(std::find(window.calls.begin(), window.calls.end(), RedoneNotice(folder)),
                  window.calls.end());
        EXPECT_TRUE(folder.Read("log.txt") == clean.Read("log.txt"));
        EXPECT_TRUE(state.Names().empty());
    }
}

// Deletes log.txt and writes bytes to a new file that has the same inode, as a user who deletes a log and
// saves another under its name may get.
void ReuseInode(const TemporaryFolder& folder, const std::string& bytes) {
    const ino_t inode = Status(folder.Path("log.txt")).st_ino;
    std::filesystem::remove(folder.Path("log.txt"));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "new " + std::to_string(attempt);
        folder.Write(name, bytes);
        if (Status(folder.Path(name)).st_ino == inode) {
            std::filesystem::rename(folder.Path(name), folder.Path("log.txt"));
            break;
        }
    }
    if (!std::filesystem::exists(folder.Path("log.txt"))) {
        std::fprintf(stderr, "inode reuse not checked: the file system gave no new file the log's inode\n");
        folder.Write("log.txt", bytes);
    }
}

// A whole journal as the first format wrote it: magic, device, inode, size, path length and an FNV-1a check
// of those and the path, then the path and the new bytes.
std::string OldFormatJournal(const std::string& logPath, const std::string& bytes) {
    const struct stat log = Status(logPath);
    std::uint64_t fields[6] = {log.st_dev, log.st_ino, bytes.size(), logPath.size(), 0, 0};
    std::string journal = "PARLOWEN-REDO-1\n";
    journal.append(reinterpret_cast<const char*>(fields), 32);
    std::uint64_t check = 0xcbf29ce484222325ULL;
    for (const unsigned char byte : journal + logPath) {
        check = (check ^ byte) * 0x100000001b3ULL;
    }
    fields[4] = check;
    journal.append(reinterpret_cast<const char*>(fields + 4), 16);
    return journal + logPath + bytes;
}

// What the next start does with a journal that a killed run left and that cannot simply be redone: one
// whose log was replaced or deleted is dropped with a notice and the file now at the path is left alone; an
// incomplete one goes without a word; one whose log was already wholly rewritten is only removed, so a line
// appended since is kept; one of the earlier format is dropped with a notice, never redone.
TEST(RecoverJournals, JournalsThatCannotSimplyBeRedone) {
    enum class Notice { None, Dropped, Redone };
    struct Case {
        const char* name;
        SeamCall killedBefore;
        std::function<void(const TemporaryFolder&, const PrivateStateFolder&)> after;
        Notice notice;
        std::string log; // "-" for no such file
        std::string old = "A\r\nB\r\n";
    };
    const Case cases[] = {
        {"the log was replaced", SeamCall::PositionedWrite,
         [](const TemporaryFolder& f, const PrivateStateFolder&) {
             std::filesystem::rename(f.Path("log.txt"), f.Path("moved.txt"));
             f.Write("log.txt", "another\r\n");
         },
         Notice::Dropped, "another\r\n"},
        {"the log was deleted", SeamCall::PositionedWrite,
         [](const TemporaryFolder& f, const PrivateStateFolder&) {
             std::filesystem::remove(f.Path("log.txt"));
         },
         Notice::Dropped, "-"},
        {"the journal is torn", SeamCall::PositionedWrite,
         [](const TemporaryFolder&, const PrivateStateFolder& s) {
             const std::string journal = s.Path() + "/" + s.Names().at(0);
             std::filesystem::resize_file(journal, std::filesystem::file_size(journal) - 1);
         },
         Notice::None, "A\r\nB\r\n"},
        {"the journal is not one", SeamCall::PositionedWrite,
         [](const TemporaryFolder&, const PrivateStateFolder& s) {
             std::ofstream(s.Path() + "/" + s.Names().at(0), std::ios::trunc) << "garbage";
         },
         Notice::None, "A\r\nB\r\n"},
        {"the rewrite was finished and a line appended since", SeamCall::Unlink,
         [](const TemporaryFolder& f, const PrivateStateFolder&) {
             std::ofstream(f.Path("log.txt"), std::ios::app) << "C\r\n";
         },
         Notice::Redone, "B\r\nA\r\n\r\nC\r\n"},
        {"a shrinking rewrite killed before the cut, a line appended since", SeamCall::Truncate,
         [](const TemporaryFolder& f, const PrivateStateFolder&) {
             std::ofstream(f.Path("log.txt"), std::ios::app) << "C\r\n";
         },
         Notice::Redone, "B\r\nA\r\n\r\nC\r\n", "  A\r\n  B\r\n"},
        {"a journal of the earlier format, which cannot tell the log from a later file",
         SeamCall::PositionedWrite,
         [](const TemporaryFolder& f, const PrivateStateFolder& s) {
             std::ofstream(s.Path() + "/" + s.Names().at(0), std::ios::trunc | std::ios::binary)
                 << OldFormatJournal(f.Path("log.txt"), "B\r\nA\r\n\r\n");
         },
         Notice::Dropped, "A\r\nB\r\n"},
        // The birth time tells it from the log, though it has the log's inode, size and bytes.
        {"the log deleted and its inode reused by a new file", SeamCall::PositionedWrite,
         [](const TemporaryFolder& f, const PrivateStateFolder&) { ReuseInode(f, "A\r\nB\r\n"); },
         Notice::Dropped, "A\r\nB\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder;
        PrivateStateFolder state;
        folder.Write("log.txt", c.old);
        // The first positioned write is the journal's header: the second is the first of the log.
        KillRewriteBefore(folder, c.killedBefore, c.killedBefore == SeamCall::PositionedWrite ? 2 : 1, c.old);
        ASSERT_EQ(state.Names().size(), 1u);
        c.after(folder, state);
        ScriptedWindow window;
        RecoverJournals(window);
        const std::u16string dropped = u"notice Err:File write: 「" + Wide(folder.Path("log.txt")) +
                                       u"」の中断されていた変換のジャーナルを破棄しました。\r\n"
                                       u"そのファイルは、変換を始めたときのファイルではありません。";
        const std::vector<std::u16string> notices[] = {{}, {dropped}, {RedoneNotice(folder)}};
        EXPECT_EQ(window.calls, notices[static_cast<int>(c.notice)]);
        EXPECT_TRUE(state.Names().empty());
        if (c.log != "-") {
            EXPECT_EQ(folder.Read("log.txt"), c.log);
        } else {
            EXPECT_FALSE(std::filesystem::exists(folder.Path("log.txt")));
        }
        if (std::filesystem::exists(folder.Path("moved.txt"))) {
            EXPECT_EQ(folder.Read("moved.txt"), "A\r\nB\r\n");
        }
    }
}

// A state folder that is not the user's own and private is never used: a journal planted there by another
// user (who can read the device, inode, size and times of anyone's log) is not redone, the start says so
// once, and a conversion stops with a notice naming the folder (regression: the planted bytes replaced the
// log). A journal that is not the user's own is skipped even in a private folder. Run as nobody, the owner
// of the log, since root owns the planted journal.
TEST(RecoverJournals, StateFolderOrJournalOfAnotherUserIsNeverRedone) {
    const struct {
        const char* name;
        uid_t owner; // of the folder the journal is in; the journal is root's, except behind the link
        mode_t mode;
        bool throughLink;
        bool refused;
    } cases[] = {
        {"another user's folder that all may write", 0, 0777, false, true},
        {"the user's own folder that others may write", 65534, 0777, false, true},
        {"a link to a private folder of the user's", 65534, 0700, true, true},
        {"another user's journal in the user's private folder", 65534, 0700, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder;
        ::chmod(folder.Path("").c_str(), 0755);
        folder.Write("log.txt", "A\r\nB\r\n");
        ASSERT_EQ(::chown(folder.Path("log.txt").c_str(), 65534, 65534), 0);
        ::setenv("XDG_STATE_HOME", folder.Path("state").c_str(), 1);
        KillRewriteBefore(folder, SeamCall::PositionedWrite, 2, "A\r\nB\r\n");
        ::unsetenv("XDG_STATE_HOME");
        const std::string state = folder.Path("state/parlowen");
        const std::string real = c.throughLink ? folder.Path("state/real") : state;
        std::filesystem::rename(state, real);
        const std::string journal = std::filesystem::directory_iterator(real)->path().string();
        if (c.throughLink) {
            std::filesystem::create_directory_symlink("real", state);
            ::chown(journal.c_str(), 65534, 65534);
        }
        ::chmod(folder.Path("state").c_str(), 0755);
        ::chmod(journal.c_str(), 0644);
        ::chown(real.c_str(), c.owner, c.owner);
        ::chmod(real.c_str(), c.mode);
        const bool refused = c.refused;
        const int exit = InChild([&] {
            if (!BecomeNobody()) {
                return 2;
            }
            ::setenv("XDG_STATE_HOME", folder.Path("state").c_str(), 1);
            const std::u16string notice =
                u"notice Err:File write: 「" + Wide(state) +
                u"」に書き込めませんでした。元のファイルは変更されていません。\r\n" +
                DescribeFailure({FileStatus::Kind::NotPrivate, 0});
            ScriptedWindow start;
            RecoverJournals(start);
            if (start.calls !=
                    (refused ? std::vector<std::u16string>{notice} : std::vector<std::u16string>{}) ||
                folder.Read("log.txt") != "A\r\nB\r\n") {
                return 1;
            }
            ScriptedWindow window;
            window.answers = {true};
            const bool converted = RunConvertAndSave(window, Request(folder, {}, 2));
            return converted != refused && (converted || window.calls[1] == notice) ? 0 : 3;
        });
        EXPECT_EQ(exit, 0)
            << "2: could not become nobody, 1: the start redid the journal or said the wrong thing, "
               "3: the conversion was not as it should be";
        EXPECT_EQ(folder.Read("log.txt"), refused ? "A\r\nB\r\n" : "B\r\nA\r\n\r\n");
    }
}

// Among the journals, a named pipe and a symbolic link (here to a journal that is valid) are skipped without
// being opened for reading: the start neither hangs nor follows the link (regression: it waited forever for
// a writer to the pipe).
TEST(RecoverJournals, NamedPipeAndLinkAmongJournalsAreSkipped) {
    TemporaryFolder folder;
    PrivateStateFolder state;
    folder.Write("log.txt", "A\r\nB\r\n");
    KillRewriteBefore(folder, SeamCall::PositionedWrite, 2, "A\r\nB\r\n");
    const std::string journal = state.Path() + "/" + state.Names().at(0);
    std::filesystem::rename(journal, folder.Path("elsewhere"));
    std::filesystem::create_symlink(folder.Path("elsewhere"), journal);
    ASSERT_EQ(::mkfifo((state.Path() + "/0000000000000001-0000000000000001.journal").c_str(), 0600), 0);
    const std::vector<std::string> names = state.Names();
    const int exit = InChild([&] {
        ::alarm(10);
        ScriptedWindow window;
        RecoverJournals(window);
        return window.calls.empty() && LogJournal::RecoverFor(folder.Path("log.txt")).empty() ? 0 : 1;
    });
    EXPECT_EQ(exit, 0) << "-1: it hung or crashed, 1: a journal was redone or dropped";
    EXPECT_EQ(folder.Read("log.txt"), "A\r\nB\r\n");
    EXPECT_EQ(state.Names(), names);
}

// Another program appends lines while an 8 MB log is overwritten (the rewrite is held just after its first
// piece, so they surely come during it whatever the machine's speed, and a few more as it goes on): every
// line is kept,
// once, after the new text, for a log that grows and one that shrinks (regression: cut off by the final
// ftruncate, or overwritten by the new text).
TEST(RewriteLog, LinesAppendedDuringTheOverwriteAreKept) {
    for (const std::string& old : {LargeLog("", 8 << 20), LargeLog("  ", 8 << 20)}) {
        const std::string next = Converted(old);
        SCOPED_TRACE(next.size() > old.size() ? "growing" : "shrinking");
        TemporaryFolder folder;
        PrivateStateFolder state;
        folder.Write("log.txt", old);
        const pid_t rewriter = ::fork();
        ASSERT_GE(rewriter, 0);
        if (rewriter == 0) {
            ::alarm(600); // the sanitizers' build is slow
            StopBefore(SeamCall::PositionedWrite, 3);
            ::_exit(RewriteLog(folder.Path("log.txt"), {}, 0, nullptr).status.Ok() ? 0 : 1);
        }
        int wait = 0;
        ASSERT_EQ(::waitpid(rewriter, &wait, WUNTRACED), rewriter);
        ASSERT_TRUE(WIFSTOPPED(wait));
        // The writer is this process: most lines while the rewrite is held, a few as it goes on.
        const int writer = ::open(folder.Path("log.txt").c_str(), O_WRONLY | O_APPEND);
        std::string appended;
        for (int line = 0; line < 60; ++line) {
            const std::string text = "appended " + std::to_string(line) + "\r\n";
            EXPECT_EQ(::write(writer, text.data(), text.size()), static_cast<ssize_t>(text.size()));
            appended += text;
            if (line == 49) {
                ::kill(rewriter, SIGCONT);
            }
        }
        ::close(writer);
        ASSERT_EQ(::waitpid(rewriter, &wait, 0), rewriter);
        EXPECT_TRUE(WIFEXITED(wait) && WEXITSTATUS(wait) == 0) << "the rewrite did not succeed";
        const std::string log = folder.Read("log.txt");
        EXPECT_EQ(log.size(), next.size() + appended.size());
        EXPECT_TRUE(log.starts_with(next)) << "the new text is not whole";
        EXPECT_TRUE(log.substr(std::min(next.size(), log.size())) == appended) << "an appended line was lost";
        EXPECT_TRUE(state.Names().empty());
    }
}

} // namespace
} // namespace parlowen
