#include "LogOperationRunner.h"

#include "Form1.h"
#include "ui/ScriptedMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using parlowen::LineCount;
using parlowen::LogOperationRunner;
using parlowen::Rgb;
using parlowen::WindowOperations;

// The window's side: records each call and whether it came on the GUI thread.
class RecordingOperations final : public WindowOperations {
  public:
    std::vector<std::string> calls;
    std::vector<double> counts;
    bool offGuiThread = false;
    std::function<void()> duringQuestion;

    bool AskOkCancel(std::u16string_view, std::u16string_view text) override {
        Record("ask");
        if (duringQuestion) {
            duringQuestion();
        }
        return text == u"yes";
    }
    void ShowNotice(std::u16string_view, std::u16string_view) override { Record("notice"); }
    void Beep() override { Record("beep"); }
    void SetBusy(bool on) override { Record(on ? "busy" : "idle"); }
    void SetStateLabel(std::u16string_view, Rgb) override { Record("label"); }
    void SetLineCounter(const LineCount& lineCount) override {
        CheckThread();
        counts.push_back(lineCount.count);
    }
    void SetCheckText(std::u16string text) override { Record("text " + std::to_string(text.size())); }
    void MoveFocus(parlowen::FocusTarget) override { Record("focus"); }

  private:
    void CheckThread() { offGuiThread |= QThread::currentThread() != qApp->thread(); }
    void Record(std::string call) {
        CheckThread();
        // Where the counter stood when the user saw this step.
        calls.push_back(call +
                        (counts.empty() ? "" : " @" + std::to_string(static_cast<long>(counts.back()))));
    }
};

// A click as the desktop delivers it: to the native window first, which gives the focus before any widget
// hears of it.
void ClickAsTheDesktop(QWidget* widget) {
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(widget->window(), widget->rect().center()));
}

class LogOperationRunnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    QWidget window_;
    QPushButton* button_ = new QPushButton("x", &window_);
    RecordingOperations operations_;
    LogOperationRunner runner_{window_, operations_};
};

TEST_F(LogOperationRunnerTest, CallsReachTheWindowOnItsThreadInOrderWithTheCounterShownFirst) {
    constexpr int Lines = 100000;
    bool answer = false;
    bool ranOffGuiThread = false;
    ASSERT_TRUE(runner_.runInBackground([&](WindowOperations& window) {
        ranOffGuiThread = QThread::currentThread() != qApp->thread();
        window.SetBusy(true);
        for (int line = 1; line <= Lines; ++line) {
            window.SetLineCounter({static_cast<double>(line), std::nullopt});
        }
        window.SetCheckText(u"abc");
        window.SetStateLabel(u"Before", parlowen::BeforeColour);
        window.SetBusy(false);
        answer = window.AskOkCancel(u"t", u"yes");
        window.SetLineCounter({7, std::nullopt}); // the last count, with no step after it
    }));
    EXPECT_TRUE(ranOffGuiThread);
    EXPECT_FALSE(operations_.offGuiThread);
    EXPECT_TRUE(answer);
    EXPECT_EQ(operations_.calls, (std::vector<std::string>{"busy", "text 3 @100000", "label @100000",
                                                           "idle @100000", "ask @100000"}));
    ASSERT_FALSE(operations_.counts.empty());
    EXPECT_EQ(operations_.counts.back(), 7);
    EXPECT_TRUE(std::is_sorted(operations_.counts.begin(), operations_.counts.end() - 1));
    // Not one call per line: the GUI thread would spend the whole operation on the counter.
    EXPECT_LE(operations_.counts.size(), Lines / 256 + 2);
}

// A click or key that reaches the window while it works could start a second operation on the same log.
TEST_F(LogOperationRunnerTest, OnlyTheBoxOfTheDialogueTakesInputAndNoSecondDialogueStarts) {
    QSignalSpy windowClicks(button_, &QPushButton::clicked);
    QDialog box(&window_);
    auto* boxButton = new QPushButton("OK", &box);
    QSignalSpy boxClicks(boxButton, &QPushButton::clicked);
    bool secondStarted = false;
    operations_.duringQuestion = [&] {
        QTest::mouseClick(button_, Qt::LeftButton);
        ClickAsTheDesktop(button_);
        QTest::keyClick(button_, Qt::Key_Space);
        box.open();
        QTest::mouseClick(boxButton, Qt::LeftButton);
        box.close();
        secondStarted = runner_.runInBackground([](WindowOperations&) {});
    };
    ASSERT_TRUE(runner_.runInBackground([](WindowOperations& window) { window.AskOkCancel(u"t", u"no"); }));
    EXPECT_EQ(windowClicks.count(), 0);
    EXPECT_EQ(boxClicks.count(), 1);
    EXPECT_FALSE(secondStarted);
    EXPECT_FALSE(runner_.isRunning());

    QTest::mouseClick(button_, Qt::LeftButton); // the window is usable again
    EXPECT_EQ(windowClicks.count(), 1);
}

TEST_F(LogOperationRunnerTest, ClosingWhileADialogueRunsWaitsForItsEnd) {
    operations_.duringQuestion = [&] {
        window_.close();
        EXPECT_TRUE(window_.isVisible());
    };
    ASSERT_TRUE(runner_.runInBackground([](WindowOperations& window) {
        window.AskOkCancel(u"t", u"no");
        window.ShowNotice(u"t", u"still here");
    }));
    EXPECT_EQ(operations_.calls, (std::vector<std::string>{"ask", "notice"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window_.isVisible(); }));
}

TEST_F(LogOperationRunnerTest, AFailureOfTheDialogueReachesTheCaller) {
    EXPECT_THROW(runner_.runInBackground([](WindowOperations&) { throw std::runtime_error("lost"); }),
                 std::runtime_error);
    EXPECT_FALSE(runner_.isRunning());
}

// The message boxes of the window, each noted with the state label and the counter the user sees behind it.
class JournalBoxes final : public parlowen::MessageBoxes {
  public:
    explicit JournalBoxes(std::vector<QString>& journal) : journal_(journal) {}
    ScriptedMessageBoxes script;
    std::function<QString()> scene;

    bool AskOkCancel(const QString& title, const QString& text) override {
        Note("Q " + title);
        return script.AskOkCancel(title, text);
    }
    void ShowNotice(const QString& title, const QString& text) override {
        Note("N " + title);
        script.ShowNotice(title, text);
    }
    void Beep() override { Note("B"); }

  private:
    void Note(const QString& what) {
        journal_.push_back(what + (QApplication::overrideCursor() ? " busy" : "") + " | " + scene());
    }
    std::vector<QString>& journal_;
};

TEST(LogOperationRunnerWindowTest, TheWindowKeepsItsEventLoopAndItsOrderWhileALargeLogIsWorkedOn) {
    InstallProgramLocale();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QStringList lines;
    for (int i = 0; lines.size() < 600000; ++i) {
        lines << QString(u"たろう> こんにちは、今日の%1番目の話題です"_qs).arg(i);
    }
    WriteBytes(folder.filePath("big.txt"), ToShiftJis(CrLfLines(lines)));
    ASSERT_GT(QFileInfo(folder.filePath("big.txt")).size(), 20'000'000);

    std::vector<QString> journal;
    JournalBoxes boxes(journal);
    parlowen::Module1 module;
    parlowen::Form1 window(module, boxes, folder.path());
    const auto label = [&](const char* name) { return window.findChild<QLabel*>(name)->text(); };
    boxes.scene = [&] { return label("Label6") + " " + label("Label8"); };
    QObject::connect(qApp, &QApplication::focusChanged, &window, [&](QWidget*, QWidget* now) {
        journal.push_back("focus " + (now ? now->objectName() : "none") + " | " + boxes.scene());
    });
    QSignalSpy ended(&window, &parlowen::Form1::Ended);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* list = window.findChild<QWidget*>("File1");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    journal.clear();

    // Ticks of a timer on the GUI thread while the busy pointer is on; the first of each also tries to
    // start another operation and to end the program, which must wait.
    int busyTicks = 0;
    bool closeWhileBusy = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!QApplication::overrideCursor() || busyTicks++ > 0) {
            return;
        }
        ClickAsTheDesktop(window.findChild<QWidget*>("Command3"));
        QTest::keyClick(window.windowHandle(), Qt::Key_F12);
        QTest::keyClick(list, Qt::Key_F12);
        if (closeWhileBusy) {
            window.close();
        }
    });
    timer.start(1);
    std::vector<int> ticks;
    const auto operation = [&](auto&& start) {
        journal.push_back("--");
        busyTicks = 0;
        start();
        ticks.push_back(busyTicks);
    };

    boxes.script.Answer({true, true});
    operation([&] { QTest::keyClick(list, Qt::Key_Return); });
    boxes.script.Answer({true});
    operation([&] { QTest::mouseClick(window.findChild<QWidget*>("Command1"), Qt::LeftButton); });
    closeWhileBusy = true;
    operation([&] { QTest::mouseClick(window.findChild<QWidget*>("Command3"), Qt::LeftButton); });
    timer.stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); })) << "the close was forgotten";

    for (const int ticksWhileBusy : ticks) {
        EXPECT_GT(ticksWhileBusy, 0) << "the event loop stood still while the log was worked on";
    }
    // Today's order: the click that starts an operation moves the focus, the questions come before any
    // change, the counter is whole and the label set before each notice and focus move; the clicks, keys
    // and the close tried while the log was worked on changed nothing.
    const QString loaded = u"Before 600000行"_qs;
    const QString converted = u"After 600000/600000行"_qs;
    EXPECT_EQ(journal, (std::vector<QString>{
                           "--",
                           "Q Ask:Null Delete |  ",
                           "Q Ask:Line Delete |  ",
                           "focus Check1 | " + loaded,
                           "--",
                           "focus Command1 | " + loaded,
                           "Q Message:Log Change & Save | " + loaded,
                           "N Complete Massage | " + converted,
                           "focus File1 | " + converted,
                           "--",
                           "focus Command3 | " + converted,
                           "N Message:HTML Change & Save | " + converted,
                           "N Complete Massage | " + converted,
                           "focus File1 | " + converted,
                           "focus none | " + converted,
                       }));
    EXPECT_TRUE(boxes.script.AllAnswersUsed());
    EXPECT_EQ(ended.count(), 1);
    QStringList reversed = lines;
    std::reverse(reversed.begin(), reversed.end());
    reversed << ""; // the end of the last line, read as a line of its own
    // Compared as a whole: a diff of two large texts would take more memory than the machine has.
    const std::string rewritten = ReadBytes(folder.filePath("big.txt"));
    EXPECT_TRUE(rewritten == ToShiftJis(CrLfLines(reversed)));
    EXPECT_TRUE(
        QString::fromStdString(ReadBytes(folder.filePath("big.html"))).endsWith("</body></html>\r\n"));
}

} // namespace
