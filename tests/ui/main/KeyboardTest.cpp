#include "CheckView.h"
#include "ClipboardText.h"
#include "MainWindow.h"
#include "PaletteWindow.h"
#include "ui/ScriptedMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using parlowen::MainWindow;

class KeyboardTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InstallProgramLocale(); }

    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        WriteBytes(
            folder_.filePath("chat.txt"),
            ToShiftJis(CrLfLines({u"【入室】たろう"_qs, u"たろう> こんにちは、みなさん元気ですか今日は"_qs,
                                  "", u"はなこ> やあ"_qs, "----"})));
        window_ = std::make_unique<MainWindow>(programState_, boxes_, folder_.path());
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    void TearDown() override {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(boxes_.AllAnswersUsed());
        window_.reset();
    }

    template <typename Widget = QWidget> Widget* Get(const QString& name) const {
        auto* widget = window_->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QString Focused() const {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString("(none)");
    }
    // Sends a key to whatever has the focus, as the keyboard does.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Selects length characters of the check view from a line and column on, as the keyboard would.
    parlowen::CheckView* SelectInCheckView(int line, int column, int length) {
        auto* checkView = Get<parlowen::CheckView>("checkView");
        checkView->setFocus();
        Key(Qt::Key_Home, Qt::ControlModifier);
        for (int step = 0; step < line; ++step) {
            Key(Qt::Key_Down);
        }
        for (int step = 0; step < column; ++step) {
            Key(Qt::Key_Right);
        }
        for (int step = 0; step < length; ++step) {
            Key(Qt::Key_Right, Qt::ShiftModifier);
        }
        return checkView;
    }
    void LoadByKeyboard() {
        auto* list = Get<QListWidget>("logList");
        list->setFocus();
        {
            const QSignalBlocker quiet(list); // as if chosen with the arrow keys, which load nothing
            list->setCurrentRow(0);
        }
        boxes_.Answer({true, true});
        Key(Qt::Key_Return);
        boxes_.Take();
        ASSERT_EQ(Focused(), "emphasisBox");
    }

    QTemporaryDir folder_;
    parlowen::ProgramState programState_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<MainWindow> window_;
};

// From the log list to a written page without the mouse: load, emphasis, entry keyword, a speaker keyword
// pasted from the check view with its colour chosen in the palette, then the export.
TEST_F(KeyboardTest, WholeSessionWithoutTheMouse) {
    LoadByKeyboard();
    Key(Qt::Key_Space); // tick the emphasis box
    Key(Qt::Key_Return);
    ASSERT_EQ(Focused(), "entryKeywordBox");
    Get<QLineEdit>("entryKeywordBox")->insert(u"【入室】"_qs); // typed through the input method
    Key(Qt::Key_Return);
    ASSERT_EQ(Focused(), "entryColourButton");
    Key(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "pageColourButton");
    Key(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "speakerKeywordBox(0)");

    // Copy the speaker's name from the check view: select it there with the keyboard.
    auto* checkView = SelectInCheckView(2, 0, 3);
    Key(Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(QGuiApplication::clipboard()->text(), u"たろう"_qs);
    Get("speakerKeywordBox(0)")->setFocus();
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Get<QLineEdit>("speakerKeywordBox(0)")->text(), u"たろう"_qs);

    Key(Qt::Key_Return);
    ASSERT_EQ(Focused(), "speakerColourButton(0)");
    Key(Qt::Key_Return); // opens the palette
    parlowen::PaletteWindow* palette = window_->Palette();
    ASSERT_NE(palette, nullptr);
    palette->Cell(60)->setFocus();
    QTest::keyClick(palette->Cell(60), Qt::Key_Return); // on to cell 61, red
    boxes_.Answer({true});
    QTest::keyClick(palette->Cell(61), Qt::Key_Space);
    ASSERT_EQ(programState_.colourTable.Get(2), u"255,00,00");
    ASSERT_EQ(Focused(), "speakerColourButton(0)");

    Key(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "speakerKeywordBox(1)");
    for (int box = 1; box < 10; ++box) {
        Key(Qt::Key_Return);
    }
    ASSERT_EQ(Focused(), "checkView");
    const QString shown = checkView->toPlainText();
    Key(Qt::Key_Return);
    EXPECT_EQ(checkView->toPlainText(), shown) << "Enter put a line break into the check view";
    ASSERT_EQ(Focused(), "convertButton");
    Key(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "exportButton");
    Key(Qt::Key_Return);
    boxes_.Take();
    EXPECT_EQ(Focused(), "logList");

    const std::string expectedBody =
        ToShiftJis(u"<font color=\"#FF0000\">たろう> こんにちは、みなさん元気ですか今日は</font><br>\r\n"
                   u"<font color=\"#000000\"><strong>【入室】たろう</strong></font><br>\r\n"_qs);
    const std::string page = ReadBytes(folder_.filePath("chat.html"));
    EXPECT_NE(page.find(ToShiftJis(u"はなこ> やあ<br>\r\n"_qs) + expectedBody + "\r\n</body></html>\r\n"),
              std::string::npos)
        << page;
}

// Every key in the list, whatever Qt calls it, holds off the load that the selection change it causes would
// start; a key that counted as none let walking through the list load.
TEST_F(KeyboardTest, EveryKeyInTheListHoldsOffTheSelectionChangeItCauses) {
    auto* list = Get<QListWidget>("logList");
    list->setFocus();
    for (const QKeyCombination key :
         {QKeyCombination(Qt::Key_Underscore), QKeyCombination(Qt::Key_At), QKeyCombination(Qt::Key_yen),
          QKeyCombination(Qt::ShiftModifier, Qt::Key_Exclam), QKeyCombination(Qt::Key_MediaPlay),
          QKeyCombination(Qt::Key_unknown)}) {
        {
            const QSignalBlocker quiet(list);
            list->clearSelection();
        }
        QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers()); // QTest knows no media keys
        QApplication::sendEvent(list, &press);
        list->setCurrentRow(0);
        EXPECT_TRUE(boxes_.Take().empty()) << "Qt key 0x" << std::hex << key.toCombined();
    }
    EXPECT_EQ(Get<QLabel>("beforeAfterLabel")->text(), "");
}

TEST_F(KeyboardTest, BeforeALoadDisabledTargetsSendTheFocusToTheList) {
    Get("entryKeywordBox")->setFocus();
    Key(Qt::Key_Return);
    EXPECT_EQ(Focused(), "logList");
    Get("checkView")->setFocus();
    Key(Qt::Key_Return);
    EXPECT_EQ(Focused(), "logList");
    Get("exitButton")->setFocus();
    Key(Qt::Key_Tab);
    EXPECT_EQ(Focused(), "exitButton");
    Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), "logList");
}

TEST_F(KeyboardTest, CtrlOrAltWithEnterDoesNothing) {
    LoadByKeyboard();
    for (Qt::KeyboardModifiers modifiers : std::initializer_list<Qt::KeyboardModifiers>{
             Qt::ControlModifier, Qt::AltModifier, Qt::ControlModifier | Qt::ShiftModifier}) {
        Get("checkView")->setFocus();
        const QString shown = Get<parlowen::CheckView>("checkView")->toPlainText();
        Key(Qt::Key_Return, modifiers);
        EXPECT_EQ(Focused(), "checkView");
        EXPECT_EQ(Get<parlowen::CheckView>("checkView")->toPlainText(), shown);
    }
    Get("exitButton")->setFocus();
    Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), "exportButton");
    Get("exitButton")->setFocus();
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), "convertButton");
}

// productInfoButton and logNameBox have no rules of their own; they once kept the focus for good.
TEST_F(KeyboardTest, ControlsWithoutRulesFollowTheTabOrder) {
    struct Step {
        const char* from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* to;
    };
    const Step steps[] = {
        {"logList", Qt::Key_Return, Qt::ShiftModifier, "productInfoButton"},
        {"productInfoButton", Qt::Key_Return, Qt::ShiftModifier, "exitButton"},
        {"productInfoButton", Qt::Key_Backtab, Qt::ShiftModifier, "exitButton"},
        {"productInfoButton", Qt::Key_Tab, Qt::NoModifier, "checkView"},
        {"logNameBox", Qt::Key_Tab, Qt::NoModifier, "emphasisBox"},
        {"logNameBox", Qt::Key_Return, Qt::NoModifier, "emphasisBox"},
        {"logNameBox", Qt::Key_Return, Qt::ShiftModifier, "logList"},
        {"logNameBox", Qt::Key_Backtab, Qt::ShiftModifier, "logList"},
    };
    for (const Step& step : steps) {
        Get(step.from)->setFocus();
        Key(step.key, step.modifiers);
        EXPECT_EQ(Focused(), step.to) << step.from << " " << step.key;
    }
    Get("productInfoButton")->setFocus();
    Key(Qt::Key_Return);
    EXPECT_EQ(boxes_.Take().size(), 1u) << "Enter presses the product information button";
}

TEST_F(KeyboardTest, CutIsTheSystemsCut) {
    auto* box = Get<QLineEdit>("speakerKeywordBox(2)");
    box->setText("abcdef");
    box->setFocus();
    box->setSelection(2, 2);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "abef");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "cd");
}

// The check view is a text box: it takes typing, and the paste action writes its selection there too.
TEST_F(KeyboardTest, TheCheckViewTakesTypingAndThePasteAction) {
    LoadByKeyboard();
    auto* checkView = SelectInCheckView(1, 0, 4); // 【入室】
    QGuiApplication::clipboard()->setText("123456789012345");
    Key(Qt::Key_V, Qt::ControlModifier);
    Key(Qt::Key_Z);
    const QString shown = checkView->toPlainText();
    EXPECT_TRUE(shown.startsWith(u"\n1234567890zたろう"_qs)) << shown.left(20).toStdString();
    Key(Qt::Key_Return);
    EXPECT_EQ(Focused(), "convertButton");
}

TEST_F(KeyboardTest, F12WithCtrlInAKeywordBoxEndsTheProgram) {
    LoadByKeyboard();
    Get("speakerKeywordBox(3)")->setFocus();
    EXPECT_TRUE(EndsTheProgram([this] { Key(Qt::Key_F12, Qt::ControlModifier); }));
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(KeyboardTest, CopyAndPasteMoveTenCharactersAtMost) {
    LoadByKeyboard();
    const auto* checkView = SelectInCheckView(2, 0, 25);
    ASSERT_EQ(checkView->text().text(checkView->anchor(), checkView->caret(), u"\n").size(), 25);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"たろう> こんにちは"_qs);
    // The log name box holds a whole file name, but a copy from it is a keyword too.
    auto* logNameBox = Get<QLineEdit>("logNameBox");
    logNameBox->setText(u"長い名前のチャットログ.txt"_qs);
    logNameBox->setFocus();
    logNameBox->selectAll();
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"長い名前のチャットログ"_qs.left(10));

    auto* box = Get<QLineEdit>("speakerKeywordBox(2)");
    box->setText("abcdef");
    box->setFocus();
    box->setSelection(2, 2);
    QGuiApplication::clipboard()->setText("XYZ");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "abXYZef");

    box->clear();
    QGuiApplication::clipboard()->setText("123456789012345");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "1234567890");
    box->clear();
    Key(Qt::Key_Insert, Qt::ShiftModifier); // the other paste key takes the same path
    EXPECT_EQ(box->text(), "1234567890");

    // On a control without text both actions leave the boxes and the clipboard alone.
    Get("convertButton")->setFocus();
    Key(Qt::Key_V, Qt::ControlModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "1234567890");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "123456789012345");
}

TEST_F(KeyboardTest, EntryKeywordBoxSelectsAllOnFocusSoAPasteReplacesIt) {
    LoadByKeyboard();
    auto* entryKeywordBox = Get<QLineEdit>("entryKeywordBox");
    entryKeywordBox->setText("abc");
    entryKeywordBox->setCursorPosition(1);
    Get("emphasisBox")->setFocus();
    Key(Qt::Key_Return);
    ASSERT_EQ(Focused(), "entryKeywordBox");
    EXPECT_EQ(entryKeywordBox->selectedText(), "abc");
    QGuiApplication::clipboard()->setText(u"【退室】"_qs);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entryKeywordBox->text(), u"【退室】"_qs);
    // Typing stops at ten characters.
    entryKeywordBox->clear();
    QTest::keyClicks(entryKeywordBox, "abcdefghijklmn");
    EXPECT_EQ(entryKeywordBox->text(), "abcdefghij");
}

TEST_F(KeyboardTest, PopupMenusOnlyWhereTheyBelong) {
    LoadByKeyboard();
    const QList<QMenu*> menus = window_->findChildren<QMenu*>();
    ASSERT_EQ(menus.size(), 2);
    auto visibleMenu = [&]() -> QString {
        for (QMenu* menu : menus) {
            if (menu->isVisible()) {
                const QString title = menu->title() + "/" + menu->actions().first()->text();
                menu->hide();
                return title;
            }
        }
        return {};
    };
    QTest::mouseClick(Get<parlowen::CheckView>("checkView")->viewport(), Qt::RightButton);
    EXPECT_EQ(visibleMenu(), u"テキストコピー/コピー(&C)"_qs);
    for (const char* box : {"speakerKeywordBox(0)", "speakerKeywordBox(7)"}) {
        QTest::mouseClick(Get(box), Qt::RightButton);
        EXPECT_EQ(visibleMenu(), u"テキストペースト/ペースト(&V)"_qs) << box;
    }
    for (const char* control :
         {"entryKeywordBox", "logNameBox", "emphasisBox", "convertButton", "speakerColourButton(0)"}) {
        // Nor Qt's own menu of a text box, which would copy and paste past the ten-character cut.
        if (qobject_cast<QLineEdit*>(Get(control))) {
            EXPECT_NE(Get(control)->contextMenuPolicy(), Qt::DefaultContextMenu) << control;
        }
        QTest::mouseClick(Get(control), Qt::RightButton);
        EXPECT_EQ(visibleMenu(), "") << control;
    }
    QTest::mouseClick(Get<QListWidget>("logList")->viewport(), Qt::RightButton);
    EXPECT_EQ(visibleMenu(), "");
}

TEST_F(KeyboardTest, ALineBreakInTheCopiedSelectionCountsAsCrLf) {
    LoadByKeyboard();
    SelectInCheckView(1, 5, 12); // from the last two characters of "【入室】たろう" on
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"ろう\r\nたろう> こ"_qs);
}

} // namespace
