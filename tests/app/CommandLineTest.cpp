#include "CommandLine.h"
#include "ArgumentText.h"
#include "LogConverter.h"
#include "LogFiles.h"
#include "MainWindow.h"
#include "RenameSeam.h"
#include "StartLocation.h"
#include "ui/ScriptedMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace parlowen;

const QStringList ChatLines{u"  たろう> こんにちは"_qs, "",       "----", u"【入室】はなこ"_qs,
                            u" はなこ> <b>やあ</b>"_qs, "a=b> =", "   "};
const QStringList PartyLines{u"【入室】じろう"_qs, u"  たろう：乾杯"_qs, "----", "", u"じろう：どうも"_qs};

struct Outcome {
    int status = -1;
    std::string output;
    std::string errors;
};

Outcome RunCommandLine(QStringList arguments) {
    arguments.prepend("parlowen");
    std::ostringstream output;
    std::ostringstream errors;
    Outcome outcome;
    outcome.status = CommandLine::Run(CommandLine::Parse(arguments), output, errors, false);
    outcome.output = output.str();
    outcome.errors = errors.str();
    return outcome;
}

class CommandLineTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InstallProgramLocale(); }

    void SetUp() override {
        for (const QTemporaryDir* folder : {&windowFolder_, &commandFolder_}) {
            ASSERT_TRUE(folder->isValid());
            WriteBytes(folder->filePath("chat.txt"), ToShiftJis(CrLfLines(ChatLines)));
            WriteBytes(folder->filePath("party.txt"), ToShiftJis(CrLfLines(PartyLines)));
            WriteBytes(folder->filePath("LOG.TXT"), {});
        }
    }

    void TearDown() override { EXPECT_TRUE(boxes_.AllAnswersUsed()); }

    template <typename Widget = QWidget> Widget* Get(const QString& name) const {
        auto* widget = window_->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    MainWindow& Open(const QString& folder) {
        window_ = std::make_unique<MainWindow>(programState_, boxes_, folder);
        window_->show();
        return *window_;
    }

    QTemporaryDir windowFolder_;
    QTemporaryDir commandFolder_;
    ProgramState programState_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<MainWindow> window_;
};

// What a user does in the window, and the command line that names the same choices.
struct SameChoices {
    QString log;
    bool removeBlank = false;
    bool removeSeparator = false;
    bool html = false;
    bool emphasis = false;
    QString entry;
    std::vector<std::pair<int, QString>> keywordBoxes;           // speakerKeywordBox(i)
    std::vector<std::pair<std::size_t, std::u16string>> colours; // ColorTable slots, as the palette sets them
    QStringList arguments;
};

TEST_F(CommandLineTest, WritesTheSameBytesAsTheWindow) {
    const SameChoices cases[] = {
        {"chat.txt", true, false, false, false, {}, {}, {}, {"convert", "--remove-blank-lines"}},
        {"party.txt",
         true,
         true,
         false,
         false,
         {},
         {},
         {},
         {"convert", "--remove-separator-lines", "--remove-blank-lines"}},
        {"LOG.TXT", false, false, false, false, {}, {}, {}, {"convert"}},
        {"party.txt",
         false,
         true,
         true,
         true,
         u" 【入室】 "_qs,
         {{0, u"たろう"_qs}, {1, u"じろう"_qs}},
         {{2, u"255,00,00"}, {0, u"00, 51, 102"}},
         {"html", "--remove-separator-lines", "--emphasis", "--entry", u" 【入室】 "_qs, "--speaker",
          u"たろう=255,00,00"_qs, "--speaker", u"じろう="_qs, "--page-color", "00, 51, 102"}},
        // Emphasis off: the entry keyword and colour change nothing; empty boxes before the one in use.
        {"chat.txt",
         true,
         true,
         true,
         false,
         u"【入室】"_qs,
         {{2, u" はなこ"_qs}, {3, "a=b"}},
         {{1, u"255,00,00"}, {4, u"153, 204,00"}, {5, u"102,00, 255"}},
         {"html", "--remove-blank-lines", "--remove-separator-lines", "--entry", u"【入室】"_qs,
          "--entry-color", "255,00,00", "--speaker", "=", "--speaker", " =", "--speaker",
          u" はなこ=153, 204,00"_qs, "--speaker", "a=b=102,00, 255"}},
        {"LOG.TXT", false, false, true, false, {}, {}, {}, {"html"}},
    };
    for (const SameChoices& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        MainWindow& window = Open(windowFolder_.path());
        window.SelectLog(c.log.toUtf8());
        boxes_.Answer({c.removeBlank, c.removeSeparator});
        QTest::keyClick(Get("logList"), Qt::Key_Return);
        Get<QCheckBox>("emphasisBox")->setChecked(c.emphasis);
        Get<QLineEdit>("entryKeywordBox")->setText(c.entry);
        for (const auto& [box, keyword] : c.keywordBoxes) {
            Get<QLineEdit>(QStringLiteral("speakerKeywordBox(%1)").arg(box))->setText(keyword);
        }
        for (const auto& [slot, colour] : c.colours) {
            programState_.colourTable.Set(slot, colour);
        }
        if (!c.html) {
            boxes_.Answer({true});
        }
        Get<QPushButton>(c.html ? "exportButton" : "convertButton")->click();
        ASSERT_EQ(boxes_.Take().back(),
                  Notice("Complete Massage", c.html ? "HTML change complete!" : "Text change complete!"));

        const Outcome outcome = RunCommandLine(c.arguments + QStringList{commandFolder_.filePath(c.log)});
        EXPECT_EQ(outcome.status, ExitDone);
        EXPECT_EQ(outcome.errors, "");
        const QString written = c.html ? PageBaseName(c.log) + ".html" : c.log;
        const std::string expected = ReadBytes(windowFolder_.filePath(written));
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(ReadBytes(commandFolder_.filePath(written)), expected);
    }
}

TEST_F(CommandLineTest, UsageErrorsDoNothingAndSayWhy) {
    const std::string log = ToShiftJis(CrLfLines(ChatLines));
    const QString chat = commandFolder_.filePath("chat.txt");
    QStringList elevenSpeakers{"html"};
    for (int i = 0; i < 11; ++i) {
        elevenSpeakers << "--speaker" << QStringLiteral("s%1=").arg(i);
    }
    const struct {
        QStringList arguments;
        std::string message;
    } cases[] = {
        {{"html", "--encoding", "shift-jis", "--speaker", u"😀=255,00,00"_qs, chat},
         "keyword \"😀\" has a character that Shift-JIS cannot hold"},
        {{"convert", "--encoding", "utf-32", chat}, "unknown encoding \"utf-32\""},
        {{"html", "--entry", ArgumentText::Decode("\x83\x8D"), chat}, "is not UTF-8"},
        {{"html", "--speaker", "Taro", chat}, "KEYWORD=COLOR"},
        {{"html", "--page-color", "128,128,128", chat}, "\"128,128,128\" is not a colour"},
        {{"html", "--entry-color", "#12345", chat}, "\"#12345\" is not a colour"},
        {{"html", "--speaker", "a=#1234567", chat}, "\"#1234567\" is not a colour"},
        {elevenSpeakers + QStringList{chat}, "--speaker is given 11 times"},
        {{"convert", "--emphasis", chat}, "--emphasis belongs to html"},
        {{"convert"}, "no LOG given"},
        {{"--remove-blank-lines", chat}, "unknown command"},
        {{"--bogus", "convert", chat}, "bogus"},
        {{chat, chat}, "the window takes one folder or log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Outcome outcome = RunCommandLine(c.arguments);
        EXPECT_EQ(outcome.status, ExitUsage);
        EXPECT_NE(outcome.errors.find(c.message), std::string::npos) << outcome.errors;
        EXPECT_EQ(ReadBytes(chat), log);
        EXPECT_FALSE(QFile::exists(commandFolder_.filePath("chat.html")));
    }
    // Ten keyword boxes, ten speakers; a colour in the page's own form goes to the page as it is.
    QStringList tenSpeakers{"html", "--page-color", "#FFCC00"};
    for (int i = 0; i < 10; ++i) {
        tenSpeakers << "--speaker" << QStringLiteral("s%1=#FFCC00").arg(i);
    }
    const Outcome ten = RunCommandLine(tenSpeakers + QStringList{chat});
    EXPECT_EQ(ten.status, ExitDone) << ten.errors;
    const std::string page = ReadBytes(commandFolder_.filePath("chat.html"));
    EXPECT_NE(page.find("<body bgcolor=\"#FFCC00\">"), std::string::npos) << page;

    const Outcome help = RunCommandLine({"--help"});
    EXPECT_EQ(help.status, ExitDone);
    EXPECT_NE(help.output.find("--speaker <KEYWORD=COLOR>"), std::string::npos) << help.output;
}

TEST_F(CommandLineTest, ARefusedOrFailedLogIsReportedAndTheNextOneStillDone) {
    WriteBytes(commandFolder_.filePath("notes.md"), "not a log");
    const QString notes = commandFolder_.filePath("notes.md");
    const QString missing = commandFolder_.filePath("missing.txt");
    const Outcome outcome = RunCommandLine({"convert", notes, missing, commandFolder_.filePath("party.txt")});

    EXPECT_EQ(outcome.status, ExitFailed);
    EXPECT_NE(outcome.errors.find(ArgumentText::Encode(u"Err:File select: 「"_qs + notes +
                                                       u"」はログ（*.txt）ではありません。"_qs)),
              std::string::npos)
        << outcome.errors;
    EXPECT_NE(outcome.errors.find(ArgumentText::Encode(u": 「"_qs + missing + u"」"_qs)), std::string::npos);
    EXPECT_EQ(ReadBytes(notes), "not a log");
    EXPECT_FALSE(QFile::exists(missing));
    const QStringList reversed{u"じろう：どうも"_qs, "", "----", u"たろう：乾杯"_qs,
                               u"【入室】じろう"_qs, ""};
    EXPECT_EQ(ReadBytes(commandFolder_.filePath("party.txt")), ToShiftJis(CrLfLines(reversed)));

    const Outcome html = RunCommandLine({"html", missing});
    EXPECT_EQ(html.status, ExitFailed);
    EXPECT_NE(html.errors.find("Err:File read"), std::string::npos) << html.errors;
}

// The UTF-16 log of a new user was cut at each byte 0D and reported done; --encoding lets a batch name what
// the rule cannot know, and keywords need only fit the encoding of the log they are matched against.
TEST_F(CommandLineTest, LogsInTheirOwnEncodings) {
    const auto utf16le = [](const QString& text) {
        return std::string(reinterpret_cast<const char*>(text.utf16()),
                           2 * static_cast<std::size_t>(text.size()));
    };
    const QString lines = CrLfLines({u"たろう> こんにちは"_qs, u"はなこ> やあ"_qs, u"たろう> 元気？"_qs});
    const QString reversed =
        CrLfLines({u"たろう> 元気？"_qs, u"はなこ> やあ"_qs, u"たろう> こんにちは"_qs, ""});
    const QString log = commandFolder_.filePath("chat.txt");
    const struct {
        const char* name;
        std::string bytes;
        QStringList arguments;
        int status;
        std::string written;
    } cases[] = {
        {"UTF-16 with a mark",
         "\xFF\xFE" + utf16le(lines),
         {"convert"},
         ExitDone,
         "\xFF\xFE" + utf16le(reversed)},
        {"UTF-8 with a mark",
         "\xEF\xBB\xBF" + lines.toStdString(),
         {"convert"},
         ExitDone,
         "\xEF\xBB\xBF" + reversed.toStdString()},
        {"UTF-16 named on the command line",
         utf16le(lines),
         {"convert", "--encoding", "utf-16le"},
         ExitDone,
         utf16le(reversed)},
        {"a mark that contradicts the choice",
         "\xFF\xFE" + utf16le(lines),
         {"convert", "--encoding", "utf-8"},
         ExitFailed,
         "\xFF\xFE" + utf16le(lines)},
        {"UTF-32",
         std::string("\xFF\xFE\0\0A\0\0\0", 8),
         {"convert"},
         ExitFailed,
         std::string("\xFF\xFE\0\0A\0\0\0", 8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(log, c.bytes);
        const Outcome outcome = RunCommandLine(c.arguments + QStringList{log});
        EXPECT_EQ(outcome.status, c.status) << outcome.errors;
        EXPECT_EQ(ReadBytes(log), c.written);
        EXPECT_EQ(outcome.errors.find("Err:File read") != std::string::npos, c.status != ExitDone);
    }

    const QStringList smiley{"html", "--speaker", u"たろう😀=255,00,00"_qs, log};
    WriteBytes(log, ToShiftJis(lines));
    const Outcome shiftJis = RunCommandLine(smiley);
    EXPECT_EQ(shiftJis.status, ExitFailed);
    EXPECT_NE(shiftJis.errors.find(ArgumentText::Encode(u"Shift-JISのログには使えません"_qs)),
              std::string::npos)
        << shiftJis.errors;
    EXPECT_FALSE(QFile::exists(commandFolder_.filePath("chat.html")));

    WriteBytes(log, (lines + u"たろう😀> やあ\r\n"_qs).toStdString());
    const Outcome utf8 = RunCommandLine(smiley);
    EXPECT_EQ(utf8.status, ExitDone) << utf8.errors;
    const std::string page = ReadBytes(commandFolder_.filePath("chat.html"));
    EXPECT_NE(page.find("charset=UTF-8"), std::string::npos);
    EXPECT_NE(page.find(u"<font color=\"#FF0000\">たろう😀> やあ</font><br>"_qs.toStdString()),
              std::string::npos);
}

// A log of several megabytes, so that its rewrite takes several pieces.
std::string LargeLog() {
    std::string log;
    for (int line = 0; log.size() < 3000000; ++line) {
        log += "line " + std::to_string(line) + "\r\n";
    }
    return log;
}

// Kills a conversion of the log part-way through its overwrite: the log is torn, its journal pending.
void KillConversionPartWay(const QString& log) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(60);
        StopBefore(SeamCall::PositionedWrite, 3);
        RewriteLog(ArgumentText::Encode(log), {}, 0, nullptr);
        ::_exit(0);
    }
    int wait = 0;
    ASSERT_EQ(::waitpid(child, &wait, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(wait)) << "the conversion did not reach its overwrite";
    ::kill(child, SIGKILL);
    ::waitpid(child, &wait, 0);
}

// The command line starts as the window does, finishing every rewrite a killed run left and saying so on
// standard error, so html never writes a page of a half-written log.
TEST_F(CommandLineTest, FinishesTheRewritesOfKilledRunsBeforeReadingAnyLog) {
    // The log converted and exported whole, in the window's folder.
    const std::string old = LargeLog();
    WriteBytes(windowFolder_.filePath("big.txt"), old);
    ASSERT_EQ(RunCommandLine({"convert", windowFolder_.filePath("big.txt")}).status, ExitDone);
    ASSERT_EQ(RunCommandLine({"html", windowFolder_.filePath("big.txt"), windowFolder_.filePath("party.txt")})
                  .status,
              ExitDone);
    const std::string converted = ReadBytes(windowFolder_.filePath("big.txt"));
    for (const QString exported : {"big.txt", "party.txt"}) {
        SCOPED_TRACE(exported.toStdString());
        const QString big = commandFolder_.filePath("big.txt");
        WriteBytes(big, old);
        KillConversionPartWay(big);
        const std::string torn = ReadBytes(big);
        ASSERT_TRUE(torn != old && torn != converted);

        const Outcome outcome = RunCommandLine({"html", commandFolder_.filePath(exported)});
        EXPECT_EQ(outcome.status, ExitDone);
        EXPECT_EQ(outcome.errors,
                  ArgumentText::Encode(u"Message:Log Change & Save: 「"_qs + big +
                                       u"」の中断されていた変換を、ジャーナルから完了しました。\n"_qs));
        EXPECT_TRUE(ReadBytes(big) == converted);
        const QString page = PageBaseName(exported) + ".html";
        EXPECT_TRUE(ReadBytes(commandFolder_.filePath(page)) == ReadBytes(windowFolder_.filePath(page)));
    }
}

// html and convert decode nothing for a check view they do not have: under an address-space limit far below
// what decoding the log would need, they write the page and rewrite the log, and report nothing.
TEST_F(CommandLineTest, HtmlAndConvertDecodeNoTextForACheckView) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space, so no address-space limit applies";
#endif
    const QString log = commandFolder_.filePath("large.txt");
    const std::string line = ToShiftJis(u"たろう> chat line of the log\r\n"_qs);
    constexpr std::size_t megabytes = 128;
    {
        std::ofstream file(log.toStdString(), std::ios::binary | std::ios::trunc);
        file << "A\r\n";
        for (std::size_t written = 0; written < (megabytes << 20); written += line.size()) {
            file << line;
        }
        file << "B\r\n";
    }
    const std::uintmax_t size = QFileInfo(log).size();
    // Runs html and then convert in a child, with the mapping of the log and 96 MB more of address space or
    // without a limit; gives whether both succeeded without a word, and the child's peak resident megabytes.
    auto run = [&](bool limited) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(120);
            std::uint64_t pages = 0;
            std::ifstream("/proc/self/statm") >> pages;
            const rlim_t limit = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + size + (96 << 20);
            const rlimit bound{limit, limit};
            if (limited) {
                ::setrlimit(RLIMIT_AS, &bound);
            }
            const Outcome page = RunCommandLine({"html", log});
            const Outcome outcome = RunCommandLine({"convert", log});
            std::fputs((page.errors + outcome.errors).c_str(), stderr);
            const bool quiet = (page.errors + outcome.errors).empty();
            ::_exit(page.status == ExitDone && outcome.status == ExitDone && quiet ? 0 : 1);
        }
        int wait = 0;
        rusage usage{};
        const bool done =
            ::wait4(child, &wait, 0, &usage) == child && WIFEXITED(wait) && WEXITSTATUS(wait) == 0;
        return std::make_pair(done, static_cast<double>(usage.ru_maxrss) / 1024.0);
    };
    EXPECT_TRUE(run(true).first) << "a command failed or reported a failure";
    EXPECT_GT(QFileInfo(commandFolder_.filePath("large.html")).size(), static_cast<qint64>(size));
    const std::string converted = ReadBytes(log);
    EXPECT_EQ(converted.size(), size + 2);
    EXPECT_EQ(converted.substr(0, 3 + line.size()), "B\r\n" + line);
    EXPECT_EQ(converted.substr(converted.size() - line.size() - 5), line + "A\r\n\r\n");
    // Without a limit nothing fails, but a text decoded for nobody would still take twice the log.
    const auto [done, peakMegabytes] = run(false);
    EXPECT_TRUE(done);
    std::printf("html and convert of %zu MB: peak resident memory %.0f MB\n", megabytes, peakMegabytes);
    EXPECT_LT(peakMegabytes, 2.5 * megabytes);
}

// Leftover temporary pages are looked for once per folder, not once per page.
TEST_F(CommandLineTest, HtmlOverManyLogsOfOneFolderListsItOnce) {
    QStringList arguments{"html"};
    for (int i = 0; i < 20; ++i) {
        const QString log = commandFolder_.filePath(QStringLiteral("log%1.txt").arg(i));
        WriteBytes(log, ToShiftJis(CrLfLines(PartyLines)));
        arguments << log;
    }
    const Outcome outcome = RunCommandLine(arguments);
    EXPECT_EQ(outcome.status, ExitDone) << outcome.errors;
    EXPECT_EQ(FolderListings(commandFolder_.path().toStdString()), 1);
    EXPECT_TRUE(QFile::exists(commandFolder_.filePath("log19.html")));
}

TEST_F(CommandLineTest, AFolderOrALogOnTheCommandLineIsWhatTheWindowLists) {
    const QString folder = windowFolder_.path();
    const struct {
        QString path;
        bool installed;
        QString folder;
        QString selected;
    } cases[] = {
        {folder, false, folder, ""},
        {folder + "/party.txt", true, folder, "party.txt"},
        {"", false, "/opt/program", ""}, // a portable copy lists its own folder
        {"", true, "/home/user", ""},    // an installed one the folder it was started in
    };
    for (const auto& c : cases) {
        const StartLocation start = StartLocation::Choose(c.path, "/opt/program", "/home/user", c.installed);
        EXPECT_EQ(start.folder, c.folder);
        EXPECT_EQ(start.selectedLog, c.selected);
        EXPECT_EQ(start.error, "");
    }
    EXPECT_NE(StartLocation::Choose(folder + "/gone.txt", "/", "/", false).error, "");

    const StartLocation start = StartLocation::Choose(folder + "/party.txt", "/", "/", false);
    MainWindow& window = Open(start.folder);
    window.SelectLog(QByteArray::fromStdString(ArgumentText::Encode(start.selectedLog)));
    auto* list = Get<QListWidget>("logList");
    QStringList listed;
    for (int row = 0; row < list->count(); ++row) {
        listed << list->item(row)->text();
    }
    EXPECT_EQ(listed, (QStringList{"chat.txt", "LOG.TXT", "party.txt"}));
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), "party.txt");
    EXPECT_TRUE(list->currentItem()->isSelected());
    EXPECT_TRUE(boxes_.Take().empty()) << "selecting the log loaded it";
    EXPECT_EQ(Get<QLineEdit>("logNameBox")->text(), "");
}

TEST(StartLocationTest, OnlyACopyBesideItsInstalledDesktopEntryCountsAsInstalled) {
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/applications"));
    EXPECT_FALSE(StartLocation::IsInstalledCopy(prefix.filePath("bin")));
    WriteBytes(prefix.filePath("share/applications/org.parlowen.Parlowen.desktop"), "[Desktop Entry]\n");
    EXPECT_TRUE(StartLocation::IsInstalledCopy(prefix.filePath("bin")));
    EXPECT_FALSE(StartLocation::IsInstalledCopy(prefix.path()));
}

TEST(ArgumentTextTest, GivesEveryByteBackAndDecodesOnlyValidUtf8) {
    const struct {
        std::string bytes;
        QString text;
    } cases[] = {
        {"", ""},
        {"chat.txt", "chat.txt"},
        {"\xe3\x83\xad\xe3\x82\xb0.txt", u"ログ.txt"_qs},
        {"\xf0\x9f\x98\x80", u"😀"_qs},
        {"\x83\x8D\x83O.txt", QString(QChar(0xDC83)) + QChar(0xDC8D) + QChar(0xDC83) + "O.txt"}, // Shift-JIS
        {"\xff", QString(QChar(0xDCFF))},
        {"\xe3\x83", QString(QChar(0xDCE3)) + QChar(0xDC83)},                     // truncated
        {"\xc0\xaf", QString(QChar(0xDCC0)) + QChar(0xDCAF)},                     // overlong "/"
        {"\xed\xa0\x80", QString(QChar(0xDCED)) + QChar(0xDCA0) + QChar(0xDC80)}, // a surrogate
        {"\xf4\x90\x80\x80",
         QString(QChar(0xDCF4)) + QChar(0xDC90) + QChar(0xDC80) + QChar(0xDC80)}, // > U+10FFFF
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArgumentText::Decode(c.bytes), c.text) << c.bytes;
        EXPECT_EQ(ArgumentText::Encode(c.text), c.bytes);
        EXPECT_EQ(ArgumentText::HasRawBytes(c.text), c.text.toUtf8().toStdString() != c.bytes) << c.bytes;
    }
}

} // namespace
