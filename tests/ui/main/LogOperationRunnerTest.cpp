#include "LogOperationRunner.h"

#include "CheckView.h"
#include "Cp932Codec.h"
#include "HtmlExporter.h"
#include "MainWindow.h"
#include "ui/ScriptedMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using parlowen::WindowOperations;

// The window's side: each call noted with where the counter stood, and whether any came off the GUI thread.
class RecordingOperations final : public WindowOperations {
  public:
    QStringList calls;
    std::vector<std::int64_t> counts;
    bool offGuiThread = false;
    std::function<void()> duringQuestion = [] {};

    bool AskOkCancel(std::u16string_view, std::u16string_view) override {
        return Record("ask"), duringQuestion(), true;
    }
    void ShowNotice(std::u16string_view, std::u16string_view) override { Record("notice"); }
    void Beep() override { Record("beep"); }
    void SetBusy(bool on) override { Record(on ? "busy" : "idle"); }
    void SetStateLabel(std::u16string_view, parlowen::Rgb) override { Record("label"); }
    void SetLineCounter(const parlowen::LineCount& lineCount) override { counts.push_back(lineCount.count); }
    void SetCheckText(std::u16string) override { Record("text"); }
    void MoveFocus(parlowen::FocusTarget) override { Record("focus"); }

  private:
    void Record(const QString& call) {
        offGuiThread |= QThread::currentThread() != qApp->thread();
        calls << call + (counts.empty() ? "" : " @" + QString::number(counts.back()));
    }
};

TEST(LogOperationRunner, CallsReachTheWindowOnItsThreadInOrderWithTheCounterShownFirst) {
    QWidget window;
    RecordingOperations operations;
    parlowen::LogOperationRunner runner(window, operations);
    bool secondStarted = false;
    operations.duringQuestion = [&] { secondStarted = runner.runInBackground([](WindowOperations&) {}); };
    constexpr int Lines = 100000;
    bool offGuiThread = false;
    ASSERT_TRUE(runner.runInBackground([&](WindowOperations& window) {
        offGuiThread = QThread::currentThread() != qApp->thread();
        window.SetBusy(true);
        for (int line = 1; line <= Lines; ++line) {
            window.SetLineCounter({line, std::nullopt});
        }
        window.SetCheckText(u"abc");
        window.SetStateLabel(u"Before", parlowen::BeforeColour);
        window.SetBusy(false);
        window.AskOkCancel(u"t", u"x");
        window.SetLineCounter({7, std::nullopt}); // the last count, with no step after it
    }));
    EXPECT_TRUE(offGuiThread && !operations.offGuiThread);
    EXPECT_EQ(operations.calls,
              (QStringList{"busy", "text @100000", "label @100000", "idle @100000", "ask @100000"}));
    ASSERT_FALSE(operations.counts.empty());
    EXPECT_EQ(operations.counts.back(), 7);
    EXPECT_TRUE(std::is_sorted(operations.counts.begin(), operations.counts.end() - 1));
    // Not one call per line: the GUI thread would spend the whole operation on the counter.
    EXPECT_LE(operations.counts.size(), Lines / 256 + 2);
    EXPECT_FALSE(secondStarted || runner.isRunning());
}

TEST(LogOperationRunner, TheWindowKeepsItsEventLoopAndItsOrderWhileALargeLogIsWorkedOn) {
    InstallProgramLocale();
    QTemporaryDir folder;
    QStringList lines;
    for (int i = 0; i < 600000; ++i) {
        lines << QString(u"たろう> こんにちは、今日の%1番目の話題です"_qs).arg(i); // 21 MB in Shift-JIS
    }
    WriteBytes(folder.filePath("big.txt"), ToShiftJis(CrLfLines(lines)));

    // Each box and focus move noted with the state label and the counter behind it.
    QStringList journal;
    ScriptedMessageBoxes boxes;
    struct JournalBoxes final : parlowen::MessageBoxes {
        ScriptedMessageBoxes& script;
        std::function<void(QString)> note;
        JournalBoxes(ScriptedMessageBoxes& s, std::function<void(QString)> n)
            : script(s), note(std::move(n)) {}
        bool AskOkCancel(const QString& title, const QString& text) override {
            return note("Q " + title), script.AskOkCancel(title, text);
        }
        void ShowNotice(const QString& title, const QString&) override { note("N " + title); }
        void Beep() override { note("B"); }
    };
    parlowen::ProgramState module;
    std::unique_ptr<parlowen::MainWindow> window;
    const auto note = [&](const QString& what) {
        journal << what + (QApplication::overrideCursor() ? " busy" : "") + " | " +
                       window->findChild<QLabel*>("beforeAfterLabel")->text() + " " +
                       window->findChild<QLabel*>("lineCounter")->text();
    };
    JournalBoxes journalBoxes(boxes, note);
    window = std::make_unique<parlowen::MainWindow>(module, journalBoxes, folder.path());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* list = window->findChild<QWidget*>("logList");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    const QObject journalContext; // goes before the window, which moves the focus as it goes
    QObject::connect(qApp, &QApplication::focusChanged, &journalContext,
                     [&](QWidget*, QWidget* now) { note("focus " + (now ? now->objectName() : "none")); });

    // A timer on the GUI thread counts its ticks under the busy pointer; the first of each operation also
    // tries to start another one and to end the program, which must wait.
    std::vector<int> busyTicks;
    bool closeWhileBusy = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (QApplication::overrideCursor() && busyTicks.back()++ == 0) {
            // A click as the desktop delivers it: to the native window, which gives the focus first.
            auto* exportButton = window->findChild<QWidget*>("exportButton");
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                              exportButton->mapTo(window.get(), exportButton->rect().center()));
            QTest::keyClick(window->windowHandle(), Qt::Key_F12);
            QTest::keyClick(list, Qt::Key_F12);
            if (closeWhileBusy) {
                window->close();
            }
        }
    });
    timer.start(1);
    const auto operation = [&](const std::function<void()>& start) {
        journal << "--";
        busyTicks.push_back(0);
        start();
    };
    boxes.Answer({true, true, true});
    operation([&] { QTest::keyClick(list, Qt::Key_Return); });
    operation([&] { QTest::mouseClick(window->findChild<QWidget*>("convertButton"), Qt::LeftButton); });
    const auto* checkView = window->findChild<parlowen::CheckView*>("checkView");
    const QString shownConverted = checkView->toPlainText();
    closeWhileBusy = true;
    operation([&] { QTest::mouseClick(window->findChild<QWidget*>("exportButton"), Qt::LeftButton); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); })) << "the close was forgotten";
    timer.stop();

    EXPECT_EQ(std::count(busyTicks.begin(), busyTicks.end(), 0), 0) << "the event loop stood still";
    // Today's order: the click that starts an operation takes the focus, the counter is whole and the label
    // set before each notice and focus move; what was tried while the log was worked on changed nothing.
    const QString loaded = u" | Before 600000行"_qs;
    const QString converted = u" | After 600000/600000行"_qs;
    EXPECT_EQ(journal,
              (QStringList{"--", "Q Ask:Null Delete |  ", "Q Ask:Line Delete |  ",
                           "focus emphasisBox" + loaded, "--", "focus convertButton" + loaded,
                           "Q Message:Log Change & Save" + loaded, "N Complete Massage" + converted,
                           "focus logList" + converted, "--", "focus exportButton" + converted,
                           "N Message:HTML Change & Save" + converted, "N Complete Massage" + converted,
                           "focus logList" + converted, "focus none" + converted}));
    std::reverse(lines.begin(), lines.end());
    lines << ""; // the end of the last line, read as a line of its own
    // Compared as a whole: a diff of two large texts would take more memory than the machine has.
    EXPECT_TRUE(ReadBytes(folder.filePath("big.txt")) == ToShiftJis(CrLfLines(lines)));
    EXPECT_TRUE(ReadBytes(folder.filePath("big.html")).ends_with("</body></html>\r\n"));

    // The check view showed what the files hold: the rewritten log without its last line break, then the
    // page's body.
    const auto shown = [](std::string_view bytes) {
        return QString::fromStdU16String(parlowen::Cp932Codec::Decode(bytes)).replace("\r\n", "\n");
    };
    const std::string log = ReadBytes(folder.filePath("big.txt"));
    EXPECT_TRUE(shownConverted == shown(std::string_view(log).substr(0, log.size() - 2)));
    const std::string page = ReadBytes(folder.filePath("big.html"));
    const std::size_t body = page.find("<body bgcolor=\"#FFFFFF\">\r\n") + 26;
    EXPECT_TRUE(checkView->toPlainText() ==
                shown(std::string_view(page).substr(body, page.size() - body - parlowen::PageEnd.size())));
}

} // namespace
