#include "PaletteWindow.h"
#include "ColorChoice.h"
#include "MainWindow.h"
#include "PaletteTable.h"
#include "ui/ScriptedMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace {

using parlowen::ColorTable;
using parlowen::MainWindow;
using parlowen::PaletteWindow;

const QString Chosen = u"この色で良いですか？"_qs;

class PaletteWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InstallProgramLocale(); }

    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        WriteBytes(folder_.filePath("sample.txt"),
                   ToShiftJis(CrLfLines({"Taro> hi", "Hanako> hello", u"【入室】じろう"_qs})));
        window_ = std::make_unique<MainWindow>(programState_, boxes_, folder_.path());
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        Load();
    }

    void TearDown() override {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(boxes_.AllAnswersUsed());
        window_.reset();
    }

    void Load() {
        auto* list = Get<QListWidget>("logList");
        list->setFocus();
        {
            const QSignalBlocker quiet(list); // a selection change would load by itself
            list->setCurrentRow(0);
        }
        boxes_.Answer({false, false});
        QTest::keyClick(list, Qt::Key_Return);
        boxes_.Take();
    }

    template <typename Widget = QWidget> Widget* Get(const QString& name) const {
        auto* widget = window_->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    // Clicks a colour button and returns the palette it opened.
    PaletteWindow& OpenFor(const QString& button) {
        QTest::mouseClick(Get(button), Qt::LeftButton);
        PaletteWindow* palette = window_->Palette();
        EXPECT_NE(palette, nullptr);
        EXPECT_TRUE(palette->isVisible());
        return *palette;
    }

    void Choose(PaletteWindow& palette, int cell, bool ok) {
        boxes_.Answer({ok});
        QTest::mouseClick(palette.Cell(cell), Qt::LeftButton);
        EXPECT_EQ(boxes_.Take(), std::vector{Question("Message:COLOR option", Chosen)});
    }

    // Whether the window becomes the one that takes the keys. QTest::qWaitForWindowActive would not wait:
    // a window counts as active while its transient palette is, and the palette while its parent is.
    static bool Active(QWidget* window) {
        return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
    }

    QColor Colour(const QString& name, QPalette::ColorRole role) const {
        return Get(name)->palette().color(role);
    }
    std::u16string Slot(std::size_t slot) const { return programState_.colourTable.Get(slot); }

    QTemporaryDir folder_;
    parlowen::ProgramState programState_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(PaletteWindowTest, EveryCellStoresTheColourItShows) {
    PaletteWindow& palette = OpenFor("speakerColourButton(2)");
    for (int cell = 0; cell < static_cast<int>(parlowen::PaletteSize); ++cell) {
        const parlowen::PaletteColor& expected = parlowen::PaletteTable()[cell];
        const QColor shown = palette.Cell(cell)->palette().color(QPalette::Base);
        ASSERT_EQ(shown, QColor(expected.red, expected.green, expected.blue)) << cell;
        EXPECT_EQ(palette.Cell(cell)->palette().color(QPalette::Text), shown)
            << cell; // the text is invisible
        QTest::mouseClick(Get("speakerColourButton(2)"), Qt::LeftButton);
        boxes_.Answer({true});
        QTest::mouseClick(palette.Cell(cell), Qt::LeftButton);
        ASSERT_EQ(QString::fromStdU16String(Slot(ColorTable::SpeakerSlot(2))),
                  QString::fromStdU16String(parlowen::CellText(expected)).trimmed())
            << cell;
        EXPECT_EQ(programState_.pickedColour, qRgb(expected.red, expected.green, expected.blue));
    }
    boxes_.Take();
}

TEST_F(PaletteWindowTest, WhiteForThePageRepaintsEveryBackground) {
    // First a darker page, so that white has something to change.
    PaletteWindow& palette = OpenFor("pageColourButton");
    Choose(palette, 140, true);
    EXPECT_EQ(Slot(0), u"00, 51, 102");
    EXPECT_EQ(Colour("checkView", QPalette::Base), QColor(0, 51, 102));

    OpenFor("pageColourButton");
    EXPECT_EQ(palette.palette().color(QPalette::Window), QColor(0, 51, 102))
        << "the palette sits on the page colour";
    boxes_.Answer({true});
    QTest::keyClick(palette.Cell(0), Qt::Key_Space);
    boxes_.Take();
    EXPECT_EQ(Slot(0), u"255, 255, 255");
    EXPECT_EQ(programState_.pickedColour, qRgb(255, 255, 255));
    EXPECT_FALSE(palette.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Get("pageColourButton"));
    for (const char* name : {"entryKeywordBox", "checkView", "speakerKeywordBox(0)", "speakerKeywordBox(5)",
                             "speakerKeywordBox(9)"}) {
        EXPECT_EQ(Colour(name, QPalette::Base), QColor(Qt::white)) << name;
    }
}

// The palette once kept the page colour it was opened on: a load reset the page to white behind it, and the
// palette, active again, still sat on the old colour.
TEST_F(PaletteWindowTest, EveryActivationTakesThePageColourOfThatMoment) {
    int red = 0;
    while (parlowen::PaletteTable()[red] != parlowen::PaletteColor{255, 0, 0}) {
        ++red;
    }
    Choose(OpenFor("pageColourButton"), red, true);
    PaletteWindow& palette = OpenFor("speakerColourButton(0)");
    ASSERT_EQ(palette.palette().color(QPalette::Window), QColor(Qt::red));
    Load();
    ASSERT_EQ(Colour("entryKeywordBox", QPalette::Base), QColor(Qt::white));
    // The main window active, then the palette again, as a click on it does. The offscreen platform leaves
    // this second request of the palette's unanswered, so the palette is told as Qt tells an activated
    // window.
    window_->windowHandle()->requestActivate();
    ASSERT_TRUE(Active(window_.get()));
    QEvent activation(QEvent::WindowActivate);
    QApplication::sendEvent(&palette, &activation);
    EXPECT_EQ(palette.palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(PaletteWindowTest, ChoicesGoToTheSlotOfTheirButton) {
    struct Case {
        const char* button;
        int cell;
        std::size_t slot;
        std::u16string stored;
        const char* preview;
        QPalette::ColorRole role;
    };
    const Case cases[] = {
        {"speakerColourButton(9)", 215, 11, u"00,00,00", "speakerKeywordBox(9)", QPalette::Text},
        {"entryColourButton", 61, 1, u"255,00,00", "entryKeywordBox", QPalette::Text},
        {"entryColourButton", 81, 1, u"00,00, 255", "entryKeywordBox", QPalette::Text},
        {"speakerColourButton(3)", 159, 5, u"51, 204, 153", "speakerKeywordBox(3)", QPalette::Text},
    };
    for (const Case& c : cases) {
        ColorTable before = programState_.colourTable;
        Choose(OpenFor(c.button), c.cell, true);
        EXPECT_EQ(Slot(c.slot), c.stored) << c.button;
        const parlowen::PaletteColor& colour = parlowen::PaletteTable()[c.cell];
        EXPECT_EQ(Colour(c.preview, c.role), QColor(colour.red, colour.green, colour.blue)) << c.button;
        for (std::size_t slot = 0; slot < ColorTable::SlotCount; ++slot) {
            if (slot != c.slot) {
                EXPECT_EQ(Slot(slot), before.Get(slot)) << c.button << " changed slot " << slot;
            }
        }
    }
    // Focus on a colour button that did not open the palette shows nothing new.
    Get("entryColourButton")->setFocus();
    EXPECT_EQ(Colour("entryKeywordBox", QPalette::Text), QColor(0, 0, 255));
}

TEST_F(PaletteWindowTest, CancelAndCloseStoreNothingAndKeepThePreviews) {
    PaletteWindow& palette = OpenFor("speakerColourButton(1)");
    Choose(palette, 61, true);
    ASSERT_EQ(Colour("speakerKeywordBox(1)", QPalette::Text), QColor(255, 0, 0));

    OpenFor("speakerColourButton(1)");
    Choose(palette, 81, false);
    EXPECT_TRUE(palette.isVisible()) << "Cancel keeps the palette open";
    EXPECT_EQ(programState_.pickedColour, std::nullopt);
    EXPECT_EQ(Slot(3), u"255,00,00");

    ASSERT_TRUE(Active(&palette)); // keys go to the active window
    QTest::keyClick(palette.Cell(81), Qt::Key_F12);
    EXPECT_TRUE(Active(window_.get()));
    EXPECT_FALSE(palette.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Get("speakerColourButton(1)"));
    EXPECT_EQ(Slot(3), u"255,00,00");
    EXPECT_EQ(Colour("speakerKeywordBox(1)", QPalette::Text), QColor(255, 0, 0))
        << "a close without a choice paints nothing";

    OpenFor("speakerColourButton(1)");
    QTest::mouseClick(palette.findChild<QPushButton*>("closeButton"), Qt::LeftButton);
    EXPECT_FALSE(palette.isVisible());
    EXPECT_EQ(Colour("speakerKeywordBox(1)", QPalette::Text), QColor(255, 0, 0));

    // Closed through its frame, the palette is gone; the next button builds it anew.
    OpenFor("speakerColourButton(1)").close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_->Palette(), nullptr);
    EXPECT_EQ(Slot(3), u"255,00,00");
    Choose(OpenFor("speakerColourButton(1)"), 0, true);
    EXPECT_EQ(Slot(3), u"255, 255, 255");
}

TEST_F(PaletteWindowTest, AnotherButtonWhileOpenMovesTheTarget) {
    PaletteWindow& palette = OpenFor("speakerColourButton(0)");
    OpenFor("entryColourButton");
    Choose(palette, 61, true);
    EXPECT_EQ(Slot(1), u"255,00,00");
    EXPECT_EQ(Slot(2), u"0,0,0");
    EXPECT_EQ(QApplication::focusWidget(), Get("entryColourButton"));
}

TEST_F(PaletteWindowTest, KeysMoveBetweenCellsWithWrapAround) {
    PaletteWindow& palette = OpenFor("pageColourButton");
    struct Case {
        int from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int to;
    };
    const Case cases[] = {
        {215, Qt::Key_Return, Qt::NoModifier, 0},     {0, Qt::Key_Return, Qt::ShiftModifier, 215},
        {0, Qt::Key_Backtab, Qt::ShiftModifier, 215}, {14, Qt::Key_Tab, Qt::NoModifier, 15},
        {7, Qt::Key_Return, Qt::ControlModifier, 7},  {7, Qt::Key_Return, Qt::AltModifier, 7},
    };
    for (const Case& c : cases) {
        palette.Cell(c.from)->setFocus();
        QTest::keyClick(palette.Cell(c.from), c.key, c.modifiers);
        EXPECT_EQ(palette.focusWidget(), palette.Cell(c.to)) << c.from << " -> " << c.to;
        EXPECT_EQ(palette.Cell(c.from)->text(),
                  QString::fromStdU16String(parlowen::CellText(parlowen::PaletteTable()[c.from])));
    }
}

TEST_F(PaletteWindowTest, EnterPressesTheCloseButton) {
    PaletteWindow& palette = OpenFor("entryColourButton");
    palette.findChild<QPushButton*>("closeButton")->setFocus();
    QTest::keyClick(palette.findChild<QPushButton*>("closeButton"), Qt::Key_Return);
    EXPECT_FALSE(palette.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Get("entryColourButton"));
}

// Escape is the palette's one key beyond its own: it closes as the button does, from a cell or the button,
// storing nothing; the arrow keys still do nothing.
TEST_F(PaletteWindowTest, EscapeClosesThePaletteAsItsButtonDoes) {
    for (const int cell : {0, 215, -1}) { // two cells and the close button
        PaletteWindow& palette = OpenFor("entryColourButton");
        ASSERT_TRUE(Active(&palette)); // keys go to the active window
        QWidget* focused = cell < 0 ? static_cast<QWidget*>(palette.findChild<QPushButton*>("closeButton"))
                                    : palette.Cell(cell);
        focused->setFocus();
        if (cell >= 0) {
            QTest::keyClick(focused, Qt::Key_Right);
            QTest::keyClick(focused, Qt::Key_Down);
        }
        EXPECT_TRUE(palette.isVisible()) << cell;
        EXPECT_EQ(palette.focusWidget(), focused) << cell;
        QTest::keyClick(focused, Qt::Key_Escape);
        EXPECT_FALSE(palette.isVisible()) << cell;
        EXPECT_TRUE(window_->isVisible());
        EXPECT_TRUE(Active(window_.get()));
        EXPECT_EQ(QApplication::focusWidget(), Get("entryColourButton")) << cell;
        EXPECT_EQ(Slot(ColorTable::EntrySlot), ColorTable::EntryDefault);
    }
}

// Owned by the main window and transient for it, so the window manager keeps it above the main window.
TEST_F(PaletteWindowTest, ThePaletteIsTransientForTheMainWindow) {
    PaletteWindow& palette = OpenFor("pageColourButton");
    EXPECT_TRUE(palette.isWindow());
    EXPECT_EQ(palette.windowType(), Qt::Dialog)
        << "X11 window managers get no WM_TRANSIENT_FOR for a plain window";
    EXPECT_FALSE(palette.isModal());
    EXPECT_EQ(palette.parentWidget(), window_.get());
    ASSERT_NE(palette.windowHandle(), nullptr);
    EXPECT_EQ(palette.windowHandle()->transientParent(), window_->windowHandle());
}

TEST_F(PaletteWindowTest, TheOuterWindowIsCentredAndLifted) {
    PaletteWindow& palette = OpenFor("pageColourButton");
    const QRect screen = palette.screen()->geometry();
    const QRect outer = palette.frameGeometry();
    ASSERT_GT(outer.width(), palette.width())
        << "the platform gives windows no frame to tell the sizes apart";
    EXPECT_NEAR(outer.x(), (screen.width() - outer.width()) / 2, 1);
    EXPECT_NEAR(outer.y(), (screen.height() - outer.height()) / 2 - 13, 1);
}

// The cells show their colour alone, so the keyboard's place needs a mark of its own that shows on white,
// black and everything between.
TEST_F(PaletteWindowTest, TheFocusedCellCarriesAMarkThatStandsOutFromItsColour) {
    PaletteWindow& palette = OpenFor("pageColourButton");
    ASSERT_TRUE(Active(&palette));
    auto contrasting = [&](int cell) {
        const parlowen::PaletteColor& colour = parlowen::PaletteTable()[cell];
        const int grey = qGray(colour.red, colour.green, colour.blue);
        const QImage image = palette.Cell(cell)->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += std::abs(qGray(image.pixel(x, y)) - grey) >= 128 ? 1 : 0;
            }
        }
        return count;
    };
    for (const int cell : {0, 61, 140, 215}) {
        palette.Cell(cell)->setFocus();
        ASSERT_TRUE(palette.Cell(cell)->hasFocus()) << cell;
        EXPECT_GE(contrasting(cell), palette.Cell(cell)->width()) << cell;
        palette.Cell(cell + (cell == 215 ? -1 : 1))->setFocus();
        EXPECT_EQ(contrasting(cell), 0) << cell << " keeps its mark without the focus";
    }
}

TEST_F(PaletteWindowTest, ALoadResetsEverySlotAndTheExportUsesTheChoices) {
    Choose(OpenFor("speakerColourButton(0)"), 61, true);
    Choose(OpenFor("speakerColourButton(1)"), 81, true);
    Choose(OpenFor("pageColourButton"), 8, true);
    Get<QLineEdit>("speakerKeywordBox(0)")->setText("Taro");
    Get<QLineEdit>("speakerKeywordBox(1)")->setText("Hanako");
    QTest::mouseClick(Get<QPushButton>("exportButton"), Qt::LeftButton);
    boxes_.Take();
    const std::string page = ReadBytes(folder_.filePath("sample.html"));
    EXPECT_NE(page.find("<body bgcolor=\"#FFCC99\">"), std::string::npos) << page;
    EXPECT_NE(page.find("<font color=\"#0000FF\">Hanako> hello</font><br>\r\n"
                        "<font color=\"#FF0000\">Taro> hi</font><br>\r\n"),
              std::string::npos)
        << page;

    Load();
    EXPECT_EQ(Slot(0), u"255,255,255");
    EXPECT_EQ(Slot(1), u"00,00,00");
    for (std::size_t slot = 2; slot < ColorTable::SlotCount; ++slot) {
        EXPECT_EQ(Slot(slot), u"0,0,0");
    }
}

// Which slot each colour button writes is checked through the window above, by what the page shows.
TEST(ColorChoice, KeysMoveAroundTheCellsAndSpaceChooses) {
    using parlowen::PaletteKeyAction;
    using Kind = PaletteKeyAction::Kind;
    const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    const std::tuple<int, QKeyCombination, PaletteKeyAction> cases[] = {
        {0, none | Qt::Key_Return, {Kind::MoveTo, 1}},
        {0, none | Qt::Key_Tab, {Kind::MoveTo, 1}},
        {215, Qt::KeypadModifier | Qt::Key_Enter, {Kind::MoveTo, 0}},
        {0, shift | Qt::Key_Return, {Kind::MoveTo, 215}},
        {7, none | Qt::Key_Backtab, {Kind::MoveTo, 6}},
        {7, ctrl | Qt::Key_Return, {}},
        {7, (ctrl | shift) | Qt::Key_Tab, {}},
        {7, none | Qt::Key_Space, {Kind::Choose, 7}},
        {7, none | Qt::Key_Down, {}},
    };
    for (const auto& [cell, key, action] : cases) {
        EXPECT_EQ(parlowen::PaletteKeyRule(cell, key), action)
            << cell << " key 0x" << std::hex << key.toCombined();
    }
}

} // namespace
