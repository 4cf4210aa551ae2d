#include "CheckView.h"
#include "MainWindow.h"
#include "ui/ScriptedMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTest>

#include "RenameSeam.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Calls = std::vector<ScriptedMessageBoxes::Call>;
using parlowen::MainWindow;

const std::string OldLog = "A\r\nB\r\nC\r\n";
const std::string NewLog = "C\r\nB\r\nA\r\n\r\n"; // the old log converted with no removal
const QString ConvertTitle = "Message:Log Change & Save";
const auto ConvertQuestion = Question(
    ConvertTitle,
    u"変換すると、元のテキストファイルは失われ、変換後のファイルに置き換えられます。\r\nよろしいですか？"_qs);
const auto ExportNotice =
    Notice("Message:HTML Change & Save",
           u"中間ファイル作成のため、テキストウィンドウに\r\nＨＴＭＬタグが表示されます。"_qs);
const auto ConvertDone = Notice("Complete Massage", "Text change complete!");

ScriptedMessageBoxes::Call WriteFailure(const QString& fileName, const QString& reason) {
    return Notice("Err:File write",
                  u"「"_qs + fileName +
                      u"」に書き込めませんでした。元のファイルは変更されていません。\r\n"_qs + reason);
}

ScriptedMessageBoxes::Call ReadFailure(const QString& fileName, const QString& reason) {
    return Notice("Err:File read", u"「"_qs + fileName + u"」を読み込めませんでした。\r\n"_qs + reason);
}

// Root may write anywhere, so a refusal by the system needs a process that has given up root for good.
bool BecomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

// Whatever went wrong with the disk, the log holds exactly its old bytes or exactly its new ones, no
// temporary file is left beside it and the window goes on: the busy pointer is off and the next log loads.
class LogSafetyTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InstallProgramLocale(); }

    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        UseFolder("logs");
        // The journals of this test's rewrites, where the test can see them.
        ::setenv("XDG_STATE_HOME", QFile::encodeName(root_.filePath("state")).constData(), 1);
    }

    QString StateFolder() const { return root_.filePath("state/parlowen"); }
    QStringList StateNames() const {
        return QDir(StateFolder())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    // The program's folder, where its logs are; a table's cases each take a folder of their own.
    void UseFolder(const QString& name) {
        logs_ = root_.filePath(name);
        ASSERT_TRUE(QDir().mkpath(logs_));
    }

    void TearDown() override {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy pointer was left on";
        EXPECT_TRUE(boxes_.AllAnswersUsed());
        window_.reset();
        if (!mounted_.isEmpty()) {
            ::umount2(QFile::encodeName(mounted_).constData(), MNT_DETACH);
        }
    }

    QString Path(const QString& name) const { return logs_ + "/" + name; }
    std::string Native(const QString& name) const { return QFile::encodeName(Path(name)).toStdString(); }

    void WriteLogs(const std::string& log = OldLog) {
        WriteBytes(Path("log.txt"), log);
        WriteBytes(Path("other.txt"), "other\r\n");
    }

    // Every name in the folder, hidden temporary files included.
    QStringList Names() const {
        return QDir(logs_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                     QDir::Name);
    }

    MainWindow& Open() {
        window_ = std::make_unique<MainWindow>(programState_, boxes_, logs_);
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        return *window_;
    }

    template <typename Widget = QWidget> Widget* Get(const QString& name) const {
        auto* widget = window_->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    // Selects the file as the arrow keys do and loads it with Enter, answering no to both questions.
    void Load(const QString& name) {
        auto* list = Get<QListWidget>("logList");
        {
            const QSignalBlocker quiet(list); // chosen as the arrow keys would, which loads nothing by itself
            list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
        }
        boxes_.Answer({false, false});
        QTest::keyClick(list, Qt::Key_Return);
        ASSERT_EQ(boxes_.Take().size(), 2u) << "the load did not ask its two questions";
        ASSERT_EQ(Get<QLabel>("beforeAfterLabel")->text(), "Before") << name.toStdString();
    }

  public:
    void Convert() {
        boxes_.Answer({true});
        // The button's own click, not a mouse: some tests convert in a forked child, which has no event
        // threads.
        Get<QPushButton>("convertButton")->click();
    }

  protected:
    void ExpectUsable() {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(window_->isEnabled() && Get("convertButton")->isEnabled() &&
                    Get("exportButton")->isEnabled());
        Load("other.txt");
        EXPECT_EQ(Get<parlowen::CheckView>("checkView")->toPlainText(), "\nother");
    }

    QTemporaryDir root_;
    QString logs_;
    QString mounted_;
    parlowen::ProgramState programState_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<MainWindow> window_;
};

// Faults that strike between the load and the conversion, each with what the user is told and what the
// folder holds afterwards.
TEST_F(LogSafetyTest, FaultsBetweenLoadAndConvertLeaveTheOldLog) {
    const std::function<void()> nothing = [] {};
    struct Case {
        const char* name;
        std::function<std::function<void()>()> fault; // returns what puts the process right again
        ScriptedMessageBoxes::Call notice;
        QStringList names;
        bool logIsAFile;
    };
    const Case cases[] = {
        {"the write stops part-way",
         [] {
             // The soft limit alone, so that it can be raised again afterwards; one byte short of the new
             // log.
             std::signal(SIGXFSZ, SIG_IGN);
             rlimit before{};
             ::getrlimit(RLIMIT_FSIZE, &before);
             const rlimit limit{NewLog.size() - 1, before.rlim_max};
             ::setrlimit(RLIMIT_FSIZE, &limit);
             return std::function<void()>([before] { ::setrlimit(RLIMIT_FSIZE, &before); });
         },
         WriteFailure(root_.filePath("state/parlowen"), u"ファイルが大きすぎます。"_qs),
         {"log.txt", "other.txt"},
         true},
        {"the log was made read-only",
         [&] {
             ::chmod(Native("log.txt").c_str(), 0444);
             return nothing;
         },
         WriteFailure("log.txt", u"読み取り専用のファイルです。"_qs),
         {"log.txt", "other.txt"},
         true},
        {"the log was deleted",
         [&] {
             QFile::remove(Path("log.txt"));
             return nothing;
         },
         ReadFailure("log.txt", u"ファイルが見つかりません。"_qs),
         {"other.txt"},
         false},
        {"the log was replaced by a folder",
         [&] {
             QFile::remove(Path("log.txt"));
             QDir().mkdir(Path("log.txt"));
             return nothing;
         },
         WriteFailure("log.txt", u"通常のファイルではありません。"_qs),
         {"log.txt", "other.txt"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseFolder(c.name);
        WriteLogs();
        Open();
        Load("log.txt");
        const std::function<void()> undo = c.fault();
        Convert();
        undo();
        EXPECT_EQ(boxes_.Take(), (Calls{ConvertQuestion, c.notice}));
        if (c.logIsAFile) {
            EXPECT_EQ(ReadBytes(Path("log.txt")), OldLog);
        } else {
            EXPECT_FALSE(QFileInfo(Path("log.txt")).isFile()) << "a log was made up";
        }
        EXPECT_EQ(Names(), c.names);
        EXPECT_EQ(StateNames(), QStringList{}) << "a journal was left behind";
        ExpectUsable();
    }
}

// Whatever took the log's place, the export reads nothing, writes no page and does not hang.
TEST_F(LogSafetyTest, ExportOfALogThatIsGoneWritesNoPage) {
    struct Case {
        const char* name;
        std::function<void()> replacement; // what takes the place of the removed log, if anything
        QString reason;
        QStringList names;
    };
    const Case cases[] = {
        {"deleted", [] {}, u"ファイルが見つかりません。"_qs, {"other.txt"}},
        {"a folder",
         [&] { QDir().mkdir(Path("log.txt")); },
         u"通常のファイルではありません。"_qs,
         {"log.txt", "other.txt"}},
        {"a named pipe",
         [&] { ::mkfifo(Native("log.txt").c_str(), 0666); },
         u"通常のファイルではありません。"_qs,
         {"log.txt", "other.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseFolder(c.name);
        WriteLogs();
        Open();
        Load("log.txt");
        QFile::remove(Path("log.txt"));
        c.replacement();
        Get<QPushButton>("exportButton")->click();
        EXPECT_EQ(boxes_.Take(), (Calls{ExportNotice, ReadFailure("log.txt", c.reason)}));
        EXPECT_EQ(Names(), c.names);
        ExpectUsable();
    }
}

// A disk that is really full, made as a small tmpfs that holds the program's folder and a file that fills it.
// The log grows in the rewrite (each LF becomes CR LF), so the space it needs is not there.
TEST_F(LogSafetyTest, FullDiskLeavesTheOldLog) {
    if (::mount("tmpfs", QFile::encodeName(logs_).constData(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "), so no full disk can be made";
    }
    mounted_ = logs_;
    std::string old;
    while (old.size() < 20000) {
        old += "o\n";
    }
    WriteLogs(old);
    {
        QFile filler(Path("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    Open();
    Load("log.txt");
    Convert();
    EXPECT_EQ(boxes_.Take(),
              (Calls{ConvertQuestion, WriteFailure("log.txt", u"ディスクの空き容量が足りません。"_qs)}));
    EXPECT_TRUE(ReadBytes(Path("log.txt")) == old);
    EXPECT_EQ(Names(), (QStringList{"filler", "log.txt", "other.txt"}));
    EXPECT_EQ(StateNames(), QStringList{});
    ExpectUsable();
}

// What the log is stays as it was: a symbolic link stays a link to the same file, which is rewritten, and
// the owner and permission bits of the log survive the rewrite.
TEST_F(LogSafetyTest, RewriteKeepsTheLinkTheOwnerAndThePermissionBits) {
    struct stat info {};
    WriteLogs();
    ASSERT_TRUE(QDir().mkdir(root_.filePath("elsewhere")));
    WriteBytes(root_.filePath("elsewhere/real.txt"), OldLog);
    ASSERT_TRUE(QFile::link(root_.filePath("elsewhere/real.txt"), Path("linked.txt")));
    ::chmod(Native("log.txt").c_str(), 02604);
    ASSERT_EQ(::chown(Native("log.txt").c_str(), 65534, 65534), 0);
    ::chmod(Native("log.txt").c_str(), 02604); // chown clears the set-group-ID bit
    Open();

    Load("linked.txt");
    Convert();
    EXPECT_EQ(boxes_.Take(), (Calls{ConvertQuestion, ConvertDone}));
    EXPECT_TRUE(QFileInfo(Path("linked.txt")).isSymLink());
    EXPECT_EQ(QFileInfo(Path("linked.txt")).symLinkTarget(), root_.filePath("elsewhere/real.txt"));
    EXPECT_EQ(ReadBytes(root_.filePath("elsewhere/real.txt")), NewLog);
    EXPECT_EQ(
        QDir(root_.filePath("elsewhere")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{"real.txt"});

    Load("log.txt");
    Convert();
    EXPECT_EQ(boxes_.Take(), (Calls{ConvertQuestion, ConvertDone}));
    EXPECT_EQ(ReadBytes(Path("log.txt")), NewLog);
    ASSERT_EQ(::stat(Native("log.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 02604u);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(Names(), (QStringList{"linked.txt", "log.txt", "other.txt"}));
    ExpectUsable();
}

// The program is killed while it writes: a copy of it (a child process) stops itself just before the given
// call and is killed there.
void KillConvertBefore(LogSafetyTest& test, SeamCall call, int occurrence, pid_t& child) {
    child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(60); // a child that never reaches the call must not hang the test
        StopBefore(call, occurrence);
        test.Convert();
        ::_exit(0);
    }
    int wait = 0;
    ASSERT_EQ(::waitpid(child, &wait, WUNTRACED), child);
    const bool stopped = WIFSTOPPED(wait);
    ::kill(child, SIGKILL); // now, so that a failed check leaves no stopped child behind
    ASSERT_EQ(::waitpid(child, &wait, 0), child);
    ASSERT_TRUE(stopped) << "the child did not reach the call";
}

// Killed just before the rename that makes its journal valid: the log is still all old and nothing was left
// beside it; the window's own next conversion removes the abandoned journal and writes the log whole.
// Killed once the journal is valid: the next start of the program finishes the rewrite and says so.
TEST_F(LogSafetyTest, KilledWhileWritingLeavesTheOldLogAndTheNextConvertTidiesUp) {
    WriteLogs();
    Open();
    Load("log.txt");
    pid_t child = 0;
    KillConvertBefore(*this, SeamCall::Rename, 1, child);
    const QStringList journals = StateNames();
    ASSERT_EQ(journals.size(), 1) << journals.join(' ').toStdString();
    EXPECT_TRUE(journals[0].endsWith(QString("-%1.tmp").arg(child, 8, 16, QChar('0'))));
    EXPECT_NE(ReadBytes(StateFolder() + "/" + journals[0]).find(NewLog), std::string::npos)
        << "the journal is not complete before the rename";
    EXPECT_EQ(ReadBytes(Path("log.txt")), OldLog);
    EXPECT_EQ(Names(), (QStringList{"log.txt", "other.txt"}));

    Convert();
    EXPECT_EQ(boxes_.Take(), (Calls{ConvertQuestion, ConvertDone}));
    EXPECT_EQ(ReadBytes(Path("log.txt")), NewLog);
    EXPECT_EQ(Names(), (QStringList{"log.txt", "other.txt"}));
    EXPECT_EQ(StateNames(), QStringList{});

    KillConvertBefore(*this, SeamCall::PositionedWrite, 2, child); // the first write into the log
    EXPECT_EQ(StateNames().size(), 1);
    window_.reset();
    // The notice waits for the window, so that it is not alone on the screen.
    window_ = std::make_unique<MainWindow>(programState_, boxes_, logs_);
    EXPECT_EQ(boxes_.Take(), Calls{});
    window_->show();
    Calls shown;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        shown = boxes_.Take();
        return !shown.empty();
    }));
    EXPECT_EQ(shown,
              Calls{Notice(ConvertTitle, u"「"_qs + Path("log.txt") +
                                             u"」の中断されていた変換を、ジャーナルから完了しました。"_qs)});
    EXPECT_EQ(ReadBytes(Path("log.txt")), "\r\nA\r\nB\r\nC\r\n\r\n");
    EXPECT_EQ(StateNames(), QStringList{});
    Load("log.txt");
    ExpectUsable();
}

// A writable log in a folder the user may not write, for a user whom permissions stop: a child process that
// has become nobody. The log is rewritten in place, where a file beside it could not be made (regression:
// such a log was refused); the page, which is a new file in that folder, is refused with the pointer off.
TEST_F(LogSafetyTest, ReadOnlyFolderRewritesTheLogButRefusesThePage) {
    WriteLogs();
    ::chmod(QFile::encodeName(root_.path()).constData(), 0755);
    ::chmod(Native("log.txt").c_str(), 0666);
    ::chmod(QFile::encodeName(logs_).constData(), 0555);
    ASSERT_TRUE(QDir().mkpath(root_.filePath("nobody")));
    ::chmod(QFile::encodeName(root_.filePath("nobody")).constData(), 0777);
    Open();
    Load("log.txt");
    // Painted here what is waiting to be painted: the child has none of the threads that paint large areas.
    QTest::qWait(0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(60);
        if (!BecomeNobody()) {
            ::_exit(1);
        }
        ::setenv("XDG_STATE_HOME", QFile::encodeName(root_.filePath("nobody")).constData(), 1);
        // The event loop runs while the log is worked on; without those threads it must paint nothing.
        window_->setUpdatesEnabled(false);
        Convert();
        const bool converted = boxes_.Take() == Calls{ConvertQuestion, ConvertDone};
        Get<QPushButton>("exportButton")->click();
        const bool exportRefused =
            boxes_.Take() ==
            Calls{ExportNotice, WriteFailure("log.html", u"アクセスが許可されていません。"_qs)};
        const bool pointerOff = QApplication::overrideCursor() == nullptr;
        ::_exit((converted ? 0 : 2) | (exportRefused ? 0 : 4) | (pointerOff ? 0 : 8));
    }
    int wait = 0;
    ASSERT_EQ(::waitpid(child, &wait, 0), child);
    ASSERT_TRUE(WIFEXITED(wait)) << "the child was killed by signal " << WTERMSIG(wait);
    EXPECT_EQ(WEXITSTATUS(wait), 0)
        << "1: could not become nobody, 2: convert not complete, 4: export not refused as expected, "
           "8: busy pointer left on";
    EXPECT_EQ(ReadBytes(Path("log.txt")), NewLog);
    EXPECT_EQ(Names(), (QStringList{"log.txt", "other.txt"}));
    ExpectUsable();
}

// A log named with characters that Shift-JIS cannot hold, saved as UTF-8: the window shows its text, the
// conversion keeps every byte and the page, in UTF-8 as the log is, names it in its title.
TEST_F(LogSafetyTest, Utf8LogWithANameShiftJisCannotHold) {
    const QString name = u"ログ€😀.txt"_qs;
    const std::string utf8 =
        "\xE3\x81\x9F\xE3\x82\x8D\xE3\x81\x86 <b>&\r\n\xE2\x99\xAA\r\n"; // たろう <b>& / ♪
    WriteBytes(Path(name), utf8);
    WriteBytes(Path("other.txt"), "other\r\n");
    Open();
    Load(name);
    const QString shown = Get<parlowen::CheckView>("checkView")->toPlainText();
    EXPECT_EQ(shown, u"\nたろう <b>&\n♪"_qs);

    Get<QPushButton>("exportButton")->click();
    EXPECT_EQ(boxes_.Take(), (Calls{ExportNotice, Notice("Complete Massage", "HTML change complete!")}));
    const std::string page = ReadBytes(Path(u"ログ€😀.html"_qs));
    EXPECT_NE(page.find(u"<title>ログ€😀.html</title>"_qs.toStdString()), std::string::npos);
    EXPECT_NE(page.find("\r\n\xE2\x99\xAA<br>\r\n\xE3\x81\x9F\xE3\x82\x8D\xE3\x81\x86 &lt;b>&amp;<br>\r\n"),
              std::string::npos);

    Convert();
    Convert();
    EXPECT_EQ(boxes_.Take(), (Calls{ConvertQuestion, ConvertDone, ConvertQuestion, ConvertDone}));
    EXPECT_EQ(ReadBytes(Path(name)), "\r\n" + utf8 + "\r\n");
    EXPECT_EQ(Names(), (QStringList{u"other.txt"_qs, u"ログ€😀.html"_qs, name}));
    ExpectUsable();
}

} // namespace
