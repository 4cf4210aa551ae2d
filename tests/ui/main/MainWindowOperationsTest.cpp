#include "CheckView.h"
#include "MainWindowOperations.h"
#include "ui/ScriptedMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using parlowen::MainWindowOperations;

class MainWindowOperationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.show();
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    QWidget window_;
    QLabel* beforeAfterLabel_ = new QLabel(&window_);
    QLabel* counter_ = new QLabel(&window_);
    parlowen::CheckView* checkView_ = new parlowen::CheckView(&window_);
    QListWidget* logList_ = new QListWidget(&window_);
    QCheckBox* emphasisBox_ = new QCheckBox(&window_);
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<MainWindowOperations> window = std::make_unique<MainWindowOperations>(
        boxes_,
        MainWindowOperations::Controls{beforeAfterLabel_, counter_, checkView_, logList_, emphasisBox_});
};

TEST_F(MainWindowOperationsTest, BusyPointerIsBalancedAndNeverLeftOn) {
    QApplication::setOverrideCursor(Qt::CrossCursor); // someone else's
    window->SetBusy(true);
    window->SetBusy(true);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    window->SetBusy(false);
    window->SetBusy(false);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();

    window->SetBusy(true);
    window.reset(); // the window closed in the middle of an operation
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// However fast the counter runs, every step the user looks at shows its last value.
TEST_F(MainWindowOperationsTest, CounterShowsItsLastValueWheneverTheOperationPauses) {
    using Window = MainWindowOperations&;
    const std::pair<const char*, std::function<void(Window)>> pauses[] = {
        {"SetBusy(false)", [](Window w) { w.SetBusy(false); }},
        {"SetCheckText", [](Window w) { w.SetCheckText(u"x"); }},
        {"SetStateLabel", [](Window w) { w.SetStateLabel(u"After", parlowen::AfterColour); }},
        {"ShowNotice", [](Window w) { w.ShowNotice(u"t", u"x"); }},
        {"AskOkCancel", [](Window w) { w.AskOkCancel(u"t", u"x"); }},
        {"MoveFocus", [](Window w) { w.MoveFocus(parlowen::FocusTarget::EmphasisBox); }},
    };
    boxes_.Answer({true});
    for (const auto& [name, pause] : pauses) {
        window->SetBusy(true);
        for (int line = 1; line <= 200000; ++line) {
            window->SetLineCounter({line, 200000});
        }
        pause(*window);
        EXPECT_EQ(counter_->text(), u"200000/200000行"_qs) << name;
        window->SetBusy(false);
    }
    window->SetLineCounter({57, std::nullopt});
    window->SetBusy(false);
    EXPECT_EQ(counter_->text(), u"57行"_qs);
}

} // namespace
