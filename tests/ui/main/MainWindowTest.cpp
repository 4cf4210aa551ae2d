#include "MainWindow.h"
#include "CheckView.h"
#include "ClickableLabel.h"
#include "ColourButton.h"
#include "DesktopIdentity.h"
#include "InformationMessages.h"
#include "LogFiles.h"
#include "LogList.h"
#include "PaletteWindow.h"
#include "TextBox.h"
#include "ui/ScriptedMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFocusEvent>
#include <QFontInfo>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace {

using Calls = std::vector<ScriptedMessageBoxes::Call>;
using parlowen::MainWindow;
const Calls LoadQuestions{Question("Ask:Null Delete", u"空白行を除去しますか？"_qs),
                          Question("Ask:Line Delete", u"区切り線「----」行を除去しますか？"_qs)};
const QString ConvertTitle = "Message:Log Change & Save";
const auto ConvertQuestion = Question(
    ConvertTitle,
    u"変換すると、元のテキストファイルは失われ、変換後のファイルに置き換えられます。\r\nよろしいですか？"_qs);

// The test folder's logs, listed in this order although a case-sensitive sort would put LOG.TXT first.
const QStringList Logs{"chat.txt", "LOG.TXT", "party.txt"};
const QStringList ChatLines{u"  たろう> こんにちは"_qs, "", "----", u"【入室】はなこ"_qs,
                            u" はなこ> やあ"_qs};
const QStringList PartyLines{u"【入室】じろう"_qs, u"  たろう：乾杯"_qs, "----", "", u"じろう：どうも"_qs};

class MainWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InstallProgramLocale(); }

    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        WriteBytes(Path("chat.txt"), ToShiftJis(CrLfLines(ChatLines)));
        WriteBytes(Path("party.txt"), ToShiftJis(CrLfLines(PartyLines)));
        WriteBytes(Path("LOG.TXT"), {});
        WriteBytes(Path("notes.md"), "not a log");
        WriteBytes(Path("chat.txt.bak"), "not a log");
        ASSERT_TRUE(QDir(folder_.path()).mkdir("folder.txt"));
    }

    void TearDown() override {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy pointer was left on";
        EXPECT_TRUE(boxes_.AllAnswersUsed());
        window_.reset();
    }

    QString Path(const QString& name) const { return folder_.filePath(name); }

    MainWindow& Open() {
        window_ = std::make_unique<MainWindow>(programState_, boxes_, folder_.path());
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
    QListWidget* logList() const { return Get<QListWidget>("logList"); }
    QString Box(const QString& name) const { return Get<QLineEdit>(name)->text(); }
    QString Caption(const QString& name) const { return Get<QLabel>(name)->text(); }
    QString CheckText() const {
        return Get<parlowen::CheckView>("checkView")->toPlainText();
    }
    QColor Colour(const QString& name, QPalette::ColorRole role) const {
        return Get(name)->palette().color(role);
    }
    bool HasFocus(const QString& name) const { return QApplication::focusWidget() == Get(name); }
    void Click(const QString& name, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Get(name), button);
    }

    // Moves the selection with the arrow keys, as a user does before pressing Enter.
    void SelectWithKeys(const QString& fileName) {
        const int row = Logs.indexOf(fileName);
        logList()->setFocus();
        QTest::keyClick(logList(), Qt::Key_Down);
        while (logList()->currentRow() != row) {
            QTest::keyClick(logList(), logList()->currentRow() < row ? Qt::Key_Down : Qt::Key_Up);
        }
        ASSERT_TRUE(logList()->currentItem()->isSelected());
    }

    void ClickFile(const QString& fileName, Qt::MouseButton button = Qt::LeftButton,
                   Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(logList()->viewport(), button, modifiers,
                          logList()->visualItemRect(logList()->item(Logs.indexOf(fileName))).center());
    }

    // What a screen reader reads out for a control.
    QString Spoken(const QString& name, QAccessible::Text text = QAccessible::Name) const {
        return QAccessible::queryAccessibleInterface(Get(name))->text(text);
    }

    void SelectNothing() {
        const QSignalBlocker quiet(logList());
        logList()->clearSelection();
        logList()->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }

    void LoadWithEnter(const QString& fileName, bool removeBlank, bool removeSeparator) {
        SelectWithKeys(fileName);
        boxes_.Answer({removeBlank, removeSeparator});
        QTest::keyClick(logList(), Qt::Key_Return);
        ASSERT_EQ(boxes_.Take(), LoadQuestions);
    }

    QTemporaryDir folder_;
    parlowen::ProgramState programState_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<MainWindow> window_;
};

QStringList Row(const QString& name) {
    QStringList names;
    for (int i = 0; i < 10; ++i) {
        names << QStringLiteral("%1(%2)").arg(name).arg(i);
    }
    return names;
}

TEST_F(MainWindowTest, StartsWithEverythingEmptyAndOnlyTheListUsable) {
    MainWindow& window = Open();
    EXPECT_EQ(window.windowTitle(), u"チャットログ編集ツールParlowen"_qs);
    EXPECT_EQ(window.State().logFolder, folder_.path() + "/");
    for (const QString& name :
         QStringList{"convertButton", "exportButton", "pageColourButton", "entryColourButton"} +
             Row("speakerColourButton")) {
        EXPECT_FALSE(Get(name)->isEnabled()) << name.toStdString();
    }
    for (const QString& name : QStringList{"logNameBox", "entryKeywordBox"} + Row("speakerKeywordBox")) {
        EXPECT_EQ(Box(name), "") << name.toStdString();
    }
    EXPECT_EQ(CheckText() + Caption("beforeAfterLabel") + Caption("lineCounter"), "");
    EXPECT_FALSE(Get<QCheckBox>("emphasisBox")->isChecked());
    EXPECT_TRUE(HasFocus("logList"));
    QStringList listed;
    for (int row = 0; row < logList()->count(); ++row) {
        listed << logList()->item(row)->text();
    }
    EXPECT_EQ(listed, Logs);
}

TEST_F(MainWindowTest, IsLaidOutInTwipsWithItsColoursFontsNamesAndTabOrder) {
    MainWindow& window = Open();
    ASSERT_EQ(window.screen()->logicalDotsPerInchX(), 96) << "the pixels below are at 15 twips per pixel";
    EXPECT_EQ(window.size(), QSize(906, 581));
    EXPECT_EQ(Get("logList")->geometry(), QRect(20, 28, 207, 90));
    EXPECT_EQ(Get("checkView")->geometry(), QRect(14, 230, 863, 285));
    EXPECT_EQ(Get("speakerKeywordBox(7)")->parentWidget(), Get("htmlOptionsFrame"));
    EXPECT_EQ(Get("speakerKeywordBox(7)")->geometry(), QRect(440, 78, 137, 21)); // relative to the frame
    EXPECT_EQ(Get("speakerColourButton(0)")->width() - Get("speakerColourButton(1)")->width(), 2);
    // The outer size, frame included, is centred and lifted 200 twips (13 pixels) where it fits, and kept on
    // the screen where it does not: this 800 x 600 screen is narrower than the window, so its left edge is
    // at the screen's. Read before it is shown, as the window system may move a shown window.
    const MainWindow unshown(programState_, boxes_, folder_.path());
    const QRect screen = unshown.screen()->availableGeometry();
    const QRect outer = unshown.frameGeometry();
    ASSERT_GT(outer.width(), unshown.width()) << "the placement did not take the frame into account";
    ASSERT_GT(outer.width(), screen.width());
    EXPECT_EQ(outer.x(), screen.x());
    EXPECT_NEAR(
        outer.y(),
        std::max(0, std::min((screen.height() - outer.height()) / 2 - 13, screen.height() - outer.height())),
        1);

    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(192, 192, 255));
    EXPECT_EQ(Colour("logNameBox", QPalette::Base), QColor(255, 255, 192));
    // Inside the frame nothing takes on its title's bold blue.
    EXPECT_EQ(Colour("emphasisBox", QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(Colour("emphasisBox", Get("emphasisBox")->backgroundRole()), QColor(192, 192, 255));
    EXPECT_FALSE(Get("emphasisBox")->font().bold());
    // By the name this locale gives them ("IPAゴシック" in ja_JP.UTF-8).
    EXPECT_EQ(QFontInfo(Get("speakerKeywordBox(0)")->font()).family(),
              QFontInfo(QFont("IPAGothic")).family());
    EXPECT_EQ(QFontInfo(Get("speakerHeading")->font()).family(), QFontInfo(QFont("IPAPGothic")).family());

    QStringList order{"logList",         "logNameBox",        "emphasisBox",
                      "entryKeywordBox", "entryColourButton", "pageColourButton"};
    for (int i = 0; i < 10; ++i) {
        order << Row("speakerKeywordBox")[i] << Row("speakerColourButton")[i];
    }
    order += QStringList{"convertButton", "exportButton", "exitButton", "productInfoButton", "checkView"};
    QStringList chain;
    for (QWidget* widget = Get("logList"); chain.size() < order.size(); widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() != Qt::NoFocus && !widget->objectName().startsWith("qt_")) {
            chain << widget->objectName();
        }
    }
    EXPECT_EQ(chain, order);
}

struct LoadCase {
    bool removeBlank, removeSeparator;
    QString shown; // LF for each CR LF
};
const LoadCase LoadCases[] = {
    {true, true, u"\nたろう> こんにちは\n【入室】はなこ\nはなこ> やあ"_qs},
    {false, false, u"\nたろう> こんにちは\n\n----\n【入室】はなこ\nはなこ> やあ"_qs},
    {true, false, u"\nたろう> こんにちは\n----\n【入室】はなこ\nはなこ> やあ"_qs},
    {false, true, u"\nたろう> こんにちは\n\n\n【入室】はなこ\nはなこ> やあ"_qs},
};

TEST_F(MainWindowTest, EnterAndEachMouseClickLoadWithTheAnswersGiven) {
    // One window throughout: every load starts afresh, and after one the next click on the list loads again.
    MainWindow& window = Open();
    for (const bool byMouse : {false, true}) {
        for (const LoadCase& load : LoadCases) {
            SCOPED_TRACE(testing::Message() << "mouse " << byMouse << " blank " << load.removeBlank);
            if (byMouse) {
                boxes_.Answer({load.removeBlank, load.removeSeparator});
                ClickFile("chat.txt");
            } else {
                SelectWithKeys("chat.txt");
                EXPECT_EQ(boxes_.Take(), Calls{}) << "the arrow keys loaded a file";
                boxes_.Answer({load.removeBlank, load.removeSeparator});
                QTest::keyClick(logList(), Qt::Key_Return);
            }
            EXPECT_EQ(boxes_.Take(), LoadQuestions);
            EXPECT_EQ(Box("logNameBox"), "chat.txt");
            EXPECT_EQ(CheckText(), load.shown);
            EXPECT_EQ(Caption("lineCounter"), QString::number(load.shown.count('\n')) + u"行"_qs);
            EXPECT_EQ(Caption("beforeAfterLabel"), "Before");
            EXPECT_EQ(window.State().removeBlankLines, load.removeBlank);
            EXPECT_EQ(window.State().removeSeparatorLines, load.removeSeparator);
            EXPECT_TRUE(Get("convertButton")->isEnabled() && Get("exportButton")->isEnabled());
            EXPECT_TRUE(HasFocus("emphasisBox"));
        }
    }
    // The right button chooses nothing.
    ClickFile("party.txt", Qt::RightButton);
    EXPECT_EQ(boxes_.Take(), Calls{});
}

// A Ctrl+click, or a click below the last log, once emptied the selection, and the click then loaded with
// nothing selected.
TEST_F(MainWindowTest, ClicksThatWouldEmptyTheListKeepTheChosenLog) {
    Open();
    boxes_.Answer({false, false});
    ClickFile("party.txt");
    ASSERT_EQ(boxes_.Take(), LoadQuestions);
    const QPoint belowTheLogs(10, logList()->visualItemRect(logList()->item(Logs.size() - 1)).bottom() + 8);
    ASSERT_TRUE(logList()->viewport()->rect().contains(belowTheLogs));
    QTest::mouseClick(logList()->viewport(), Qt::LeftButton, {}, belowTheLogs);
    EXPECT_EQ(boxes_.Take(), Calls{});
    EXPECT_TRUE(logList()->item(Logs.indexOf("party.txt"))->isSelected());

    boxes_.Answer({true, true});
    ClickFile("party.txt", Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(boxes_.Take(), LoadQuestions);
    EXPECT_EQ(Box("logNameBox"), "party.txt");
    EXPECT_TRUE(logList()->item(Logs.indexOf("party.txt"))->isSelected());
    EXPECT_EQ(Caption("lineCounter"), u"3行"_qs);
}

// Without an icon the window manager shows a generic one.
TEST(DesktopIdentity, TheWindowIconIsTheThemesElseTheProgramsOwn) {
    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    QTemporaryDir themes;
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName("hicolor");
    const QImage builtIn = parlowen::DesktopIdentity::WindowIcon().pixmap(48).toImage();
    EXPECT_EQ(builtIn.pixelColor(24, 6), QColor(192, 192, 255)) << "the program's own icon";

    ASSERT_TRUE(QDir(themes.path()).mkpath("hicolor/48x48/apps"));
    WriteBytes(themes.filePath("hicolor/index.theme"),
               "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n[48x48/apps]\nSize=48\nType=Fixed\n");
    QImage installed(48, 48, QImage::Format_ARGB32);
    installed.fill(Qt::red);
    ASSERT_TRUE(installed.save(themes.filePath("hicolor/48x48/apps/org.parlowen.Parlowen.png")));
    QIcon::setThemeSearchPaths({themes.path()}); // forgets what was looked up before
    EXPECT_EQ(parlowen::DesktopIdentity::WindowIcon().pixmap(48).toImage().pixelColor(24, 6),
              QColor(Qt::red));
    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(themeName);
}

TEST_F(MainWindowTest, ShiftEnterAndShiftTabStepBackWithoutLoading) {
    Open();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Backtab}) {
        SelectWithKeys("chat.txt");
        QTest::keyClick(logList(), key, Qt::ShiftModifier);
        EXPECT_TRUE(HasFocus("productInfoButton"));
    }
    SelectWithKeys("chat.txt");
    QTest::keyClick(logList(), Qt::Key_Return, Qt::ControlModifier); // no rule for Ctrl
    EXPECT_TRUE(HasFocus("logList"));
    EXPECT_EQ(boxes_.Take(), Calls{});
    EXPECT_EQ(Box("logNameBox"), "");
}

TEST_F(MainWindowTest, EnterWithNothingSelectedResetsTheOptionsBeforeSayingSo) {
    Open();
    Get<QCheckBox>("emphasisBox")->setChecked(true);
    Get<QLineEdit>("entryKeywordBox")->setText("x");
    Get<QLineEdit>("speakerKeywordBox(2)")->setText("y");
    for (const char* name : {"entryKeywordBox", "speakerKeywordBox(2)"}) {
        QPalette palette;
        palette.setColor(QPalette::Text, Qt::red);
        palette.setColor(QPalette::Base, Qt::green);
        Get(name)->setPalette(palette);
    }
    Get<parlowen::CheckView>("checkView")->setText(u"old");
    Get<QLabel>("beforeAfterLabel")->setText("After");
    programState_.colourTable.Set(5, u"255,00,00");

    logList()->setFocus();
    QTest::keyClick(logList(), Qt::Key_Return);

    EXPECT_EQ(boxes_.Take(), Calls{Notice("Err:File select", u"ファイルが選択されていません！"_qs)});
    EXPECT_TRUE(HasFocus("logList"));
    EXPECT_FALSE(Get<QCheckBox>("emphasisBox")->isChecked());
    EXPECT_EQ(CheckText() + Box("entryKeywordBox") + Caption("beforeAfterLabel"), "");
    EXPECT_EQ(Colour("entryKeywordBox", QPalette::Base), QColor(Qt::white));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Box(Row("speakerKeywordBox")[i]), "") << i;
        EXPECT_EQ(Colour(Row("speakerKeywordBox")[i], QPalette::Base), QColor(Qt::white)) << i;
        EXPECT_EQ(Colour(Row("speakerKeywordBox")[i], QPalette::Text), QColor(Qt::black)) << i;
        EXPECT_TRUE(Get(Row("speakerColourButton")[i])->isEnabled()) << i;
        EXPECT_EQ(programState_.colourTable.Get(2 + i), u"0,0,0") << i;
    }
    EXPECT_EQ(programState_.colourTable.Get(0), u"255,255,255");
    EXPECT_TRUE(Get("pageColourButton")->isEnabled() && Get("entryColourButton")->isEnabled());
    EXPECT_FALSE(Get("convertButton")->isEnabled() || Get("exportButton")->isEnabled());
}

// Every typed member holds the control of its own name, and the rules' names lead to the same controls.
TEST(MainWindowLayout, EachRowBindsItsControlToItsMemberAndItsIdentity) {
    QWidget window;
    const parlowen::MainWindowControls controls = parlowen::MainWindowLayout::CreateControls(window, 96);
    const std::pair<QWidget*, const char*> members[] = {
        {controls.pasteHint, "pasteHint"},
        {controls.entryOptionsHeading, "entryOptionsHeading"},
        {controls.speakerHeading, "speakerHeading"},
        {controls.lineCounter, "lineCounter"},
        {controls.htmlOptionsFrame, "htmlOptionsFrame"},
        {controls.logList, "logList"},
        {controls.checkView, "checkView"},
        {controls.logNameBox, "logNameBox"},
        {controls.entryKeywordBox, "entryKeywordBox"},
        {controls.emphasisBox, "emphasisBox"},
        {controls.convertButton, "convertButton"},
        {controls.exitButton, "exitButton"},
        {controls.exportButton, "exportButton"},
        {controls.productInfoButton, "productInfoButton"},
        {controls.pageColourButton, "pageColourButton"},
        {controls.entryColourButton, "entryColourButton"},
        {controls.speakerKeywordBox[0], "speakerKeywordBox(0)"},
        {controls.speakerKeywordBox[9], "speakerKeywordBox(9)"},
        {controls.speakerColourButton[0], "speakerColourButton(0)"},
        {controls.speakerColourButton[9], "speakerColourButton(9)"},
    };
    for (const auto& [member, name] : members) {
        ASSERT_NE(member, nullptr) << name;
        EXPECT_EQ(member->objectName(), name);
    }
    for (const parlowen::ControlDefinition& row : parlowen::MainWindowLayout::Controls()) {
        QWidget* widget = controls.Widget(row.ref);
        EXPECT_EQ(widget->objectName(), parlowen::MainWindowLayout::ObjectName(row));
        EXPECT_EQ(controls.RefOf(widget), row.ref);
    }
}

// Labels are read by their caption or live text, with the tooltip as description; the keyword rows are told
// apart by number.
TEST_F(MainWindowTest, ScreenReadersHearCaptionsLiveTextAndNumberedRows) {
    Open();
    LoadWithEnter("chat.txt", true, true);
    EXPECT_EQ(Spoken("lineCounter"), u"3行"_qs);
    EXPECT_EQ(Spoken("lineCounter", QAccessible::Description), u"ここに現在処理中の行数を表示します。"_qs);
    EXPECT_EQ(Spoken("speakerKeywordBox(0)"), u"話者1のキーワード"_qs);
    EXPECT_EQ(Spoken("speakerColourButton(9)"), u"話者10の色設定"_qs);
    EXPECT_EQ(Spoken("speakerKeywordBox(3)", QAccessible::Description),
              u"普通は発言者の名前をペーストするところ。"_qs);
    QStringList spoken;
    for (const parlowen::ControlDefinition& control : parlowen::MainWindowLayout::Controls()) {
        const QString name = Spoken(parlowen::MainWindowLayout::ObjectName(control));
        EXPECT_NE(name, "") << control.tabIndex;
        if (control.kind != parlowen::ControlKind::Label) { // a heading may share its control's name
            EXPECT_FALSE(spoken.contains(name)) << name.toStdString() << " names two controls";
            spoken << name;
        }
    }
}

TEST_F(MainWindowTest, TheFirstMovingKeySelectsTheFocusedLogAndLoadsNothing) {
    Open();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End, Qt::Key_PageDown}) {
        SCOPED_TRACE(key);
        SelectNothing();
        logList()->setFocus();
        QTest::keyClick(logList(), key);
        EXPECT_EQ(boxes_.Take(), Calls{});
        boxes_.Answer({true, true});
        QTest::keyClick(logList(), Qt::Key_Return);
        EXPECT_EQ(boxes_.Take(), LoadQuestions);
        EXPECT_EQ(Box("logNameBox"), "chat.txt");
    }
}

// Keys that the window reports without a code, and text from the input method, move the selection by the
// list's own search; that is a key, not a mouse choice, so nothing loads.
TEST_F(MainWindowTest, KeysWithoutACodeAndInputMethodTextLoadNothing) {
    for (const char* name : {"_memo.txt", "@note.txt", ":plan.txt", "^up.txt", "!alert.txt"}) {
        WriteBytes(folder_.path() + '/' + name, "x\r\n"); // ":" would make Path() a resource path
    }
    WriteBytes(Path(u"かいわ.txt"_qs), "x\r\n");
    for (const char typed : {'_', '@', ':', '^', '!', '\0'}) {
        SCOPED_TRACE(typed);
        Open(); // a fresh list: its search would otherwise join the characters typed before
        SelectNothing();
        logList()->setFocus();
        if (typed == '\0') {
            QInputMethodEvent input;
            input.setCommitString(u"か"_qs);
            QApplication::sendEvent(logList(), &input);
        } else {
            QTest::keyClick(logList(), typed);
        }
        ASSERT_EQ(logList()->selectedItems().size(), 1) << "the search selected nothing";
        EXPECT_EQ(boxes_.Take(), Calls{});
    }
}

// After a load with nothing selected the save buttons stay enabled, but there is no file to write.
TEST_F(MainWindowTest, SavingWithNoFileNamedSaysSoBeforeAnyQuestion) {
    Open();
    LoadWithEnter("chat.txt", true, true);
    SelectNothing();
    logList()->setFocus();
    QTest::keyClick(logList(), Qt::Key_Return);
    const Calls noFile{Notice("Err:File select", u"ファイルが選択されていません！"_qs)};
    ASSERT_EQ(boxes_.Take(), noFile);
    for (const char* button : {"convertButton", "exportButton"}) {
        ASSERT_TRUE(Get(button)->isEnabled()) << button;
        Click(button);
        EXPECT_EQ(boxes_.Take(), noFile) << button;
        EXPECT_TRUE(HasFocus("logList")) << button;
    }
    EXPECT_EQ(ReadBytes(Path("chat.txt")), ToShiftJis(CrLfLines(ChatLines)));
}

TEST_F(MainWindowTest, ClickingTheFileNameMovesTheFocusOn) {
    Open();
    Click("logNameBox");
    EXPECT_TRUE(HasFocus("logList"));
    Get<QLineEdit>("logNameBox")
        ->setText("chat.txt"); // a name whose load failed: convertButton is still disabled
    Click("logNameBox");
    EXPECT_TRUE(HasFocus("logList"));
    LoadWithEnter("chat.txt", true, true);
    Click("logNameBox");
    EXPECT_TRUE(HasFocus("convertButton"));
    QTest::keyClick(Get("logNameBox"), Qt::Key_A);
    EXPECT_EQ(Box("logNameBox"), "chat.txt") << "the log name box took typing";
}

// The contrast ratio of two colours as WCAG 2 defines it, from their relative luminance.
double Contrast(const QColor& one, const QColor& other) {
    auto luminance = [](const QColor& colour) {
        auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const double a = luminance(one), b = luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// Records the reason of every focus a control receives.
class FocusReasons : public QObject {
  public:
    std::vector<Qt::FocusReason> reasons;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            reasons.push_back(static_cast<QFocusEvent*>(event)->reason());
        }
        return false;
    }
};

// Regression: after a load the focus sat on emphasisBox with nothing to show it (the program moved it with a
// reason the style draws no cue for), and a focused button differed by a 1.6:1 border.
TEST_F(MainWindowTest, TheFocusIsShownAsATabShowsItAndMarkedOnEveryControl) {
    Open();
    FocusReasons emphasisBox;
    Get("emphasisBox")->installEventFilter(&emphasisBox);
    LoadWithEnter("chat.txt", true, true);
    ASSERT_TRUE(HasFocus("emphasisBox"));
    ASSERT_FALSE(emphasisBox.reasons.empty());
    EXPECT_TRUE(emphasisBox.reasons.back() == Qt::TabFocusReason ||
                emphasisBox.reasons.back() == Qt::BacktabFocusReason ||
                emphasisBox.reasons.back() == Qt::ShortcutFocusReason)
        << emphasisBox.reasons.back();
    for (const QString name : {"emphasisBox", "logList", "logNameBox", "entryKeywordBox",
                               "speakerKeywordBox(0)", "convertButton", "pageColourButton", "checkView"}) {
        // Beside the control, on the window's background, where a two pixel frame lies when it has the focus.
        const QPoint beside = Get(name)->mapTo(window_.get(), QPoint(-1, Get(name)->height() / 2));
        Get(name)->setFocus();
        const QColor focused = window_->grab().toImage().pixelColor(beside);
        Get("exitButton")->setFocus();
        const QColor unfocused = window_->grab().toImage().pixelColor(beside);
        EXPECT_GE(Contrast(focused, unfocused), 3.0)
            << name.toStdString() << ": " << focused.name().toStdString() << " against "
            << unfocused.name().toStdString();
    }
}

TEST_F(MainWindowTest, ConvertRewritesTheLogInReverseOrder) {
    Open();
    LoadWithEnter("chat.txt", true, false);
    boxes_.Answer({true});
    Click("convertButton");

    EXPECT_EQ(boxes_.Take(), (Calls{ConvertQuestion, Notice("Complete Massage", "Text change complete!")}));
    const QStringList reversed{u"はなこ> やあ"_qs, u"【入室】はなこ"_qs, "----", u"たろう> こんにちは"_qs,
                               ""};
    EXPECT_EQ(ReadBytes(Path("chat.txt")), ToShiftJis(CrLfLines(reversed)));
    EXPECT_EQ(CheckText(), reversed.join('\n'));
    EXPECT_EQ(Caption("lineCounter"), u"5/4行"_qs); // every line read over the lines the load kept
    EXPECT_EQ(Caption("beforeAfterLabel"), "After");
    EXPECT_EQ(Colour("beforeAfterLabel", QPalette::WindowText), QColor(Qt::blue));
    EXPECT_TRUE(HasFocus("logList"));
}

TEST_F(MainWindowTest, CancellingTheConversionLeavesTheLogUntouched) {
    Open();
    LoadWithEnter("chat.txt", true, true);
    const QString shown = CheckText();
    boxes_.Answer({false});
    Click("convertButton");

    EXPECT_EQ(boxes_.Take(),
              (Calls{ConvertQuestion, BeepCall(), Notice(ConvertTitle, u"処理は中断されました。"_qs)}));
    EXPECT_EQ(ReadBytes(Path("chat.txt")), ToShiftJis(CrLfLines(ChatLines)));
    EXPECT_EQ(CheckText(), shown);
    EXPECT_EQ(Caption("beforeAfterLabel"), "Before");
    EXPECT_TRUE(HasFocus("logList"));
}

TEST_F(MainWindowTest, ExportWritesThePageWithTheOptionsOfTheWindow) {
    Open();
    LoadWithEnter("party.txt", false, true);
    Get<QCheckBox>("emphasisBox")->setChecked(true);
    Get<QLineEdit>("entryKeywordBox")->setText(u" 【入室】 "_qs);
    Get<QLineEdit>("speakerKeywordBox(0)")->setText(u"たろう"_qs);
    Get<QLineEdit>("speakerKeywordBox(1)")->setText(u"じろう"_qs);
    programState_.colourTable.Set(2,
                                  u"255,00,00"); // as the palette stores a colour for speakerColourButton(0)
    Click("exportButton");

    EXPECT_EQ(
        boxes_.Take(),
        (Calls{Notice("Message:HTML Change & Save",
                      u"中間ファイル作成のため、テキストウィンドウに\r\nＨＴＭＬタグが表示されます。"_qs),
               Notice("Complete Massage", "HTML change complete!")}));
    const QStringList body{u"<font color=\"#000\">じろう：どうも</font><br>"_qs, "<br>", "<br>",
                           u"<font color=\"#FF0000\">たろう：乾杯</font><br>"_qs,
                           u"<font color=\"#000000\"><strong>【入室】じろう</strong></font><br>"_qs};
    const QStringList page{
        "<html>",
        "<head>",
        "<meta http-equiv=\"Content-Type\"content=\"text/html; charset=x-sjis\">",
        u"<meta name=\"GENERATOR\" content=\"プログラム名　チャットログ編集ツール Parlowen Pro\">"_qs,
        "<title>party.html</title>",
        "</head>",
        "<body bgcolor=\"#FFFFFF\">",
        CrLfLines(body),
        "</body></html>"};
    EXPECT_EQ(ReadBytes(Path("party.html")), ToShiftJis(CrLfLines(page)));
    EXPECT_EQ(ReadBytes(Path("party.txt")), ToShiftJis(CrLfLines(PartyLines)));
    EXPECT_EQ(CheckText(), body.join('\n') + '\n');
    EXPECT_EQ(Caption("lineCounter"), u"5/5行"_qs);
    EXPECT_EQ(Caption("beforeAfterLabel"), "After");

    // Partly checked is not checked.
    Get<QCheckBox>("emphasisBox")->setCheckState(Qt::PartiallyChecked);
    Click("exportButton");
    boxes_.Take();
    EXPECT_NE(ReadBytes(Path("party.html")).find(ToShiftJis(u"\r\n【入室】じろう<br>\r\n"_qs)),
              std::string::npos);
}

// A UTF-16 log was cut at the byte 0D of each CR, a UTF-8 mark travelled with the first line, and both showed
// and exported as Shift-JIS mojibake with no speaker coloured.
TEST_F(MainWindowTest, UnicodeLogsAreShownConvertedAndExportedInTheirOwnEncoding) {
    const auto utf16 = [](const QString& text, bool bigEndian) {
        std::string bytes;
        for (const QChar unit : text) {
            const char high = static_cast<char>(unit.unicode() >> 8);
            const char low = static_cast<char>(unit.unicode() & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    const auto utf8 = [](const QString& text, bool) { return text.toStdString(); };
    const struct {
        const char* name;
        std::string mark;
        std::function<std::string(const QString&, bool)> encode;
        bool bigEndian;
    } cases[] = {
        {"u16le.txt", "\xFF\xFE", utf16, false},
        {"u16be.txt", "\xFE\xFF", utf16, true},
        {"u8mark.txt", "\xEF\xBB\xBF", utf8, false},
        {"u8.txt", "", utf8, false},
    };
    const QStringList lines{u"たろう> こんにちは"_qs, u"はなこ> やあ"_qs, u"たろう> 元気？"_qs};
    for (const auto& c : cases) {
        WriteBytes(Path(c.name), c.mark + c.encode(CrLfLines(lines), c.bigEndian));
    }
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window_->SelectLog(c.name);
        boxes_.Answer({false, false});
        QTest::keyClick(logList(), Qt::Key_Return);
        ASSERT_EQ(boxes_.Take(), LoadQuestions);
        EXPECT_EQ(CheckText(), '\n' + lines.join('\n'));

        Get<QLineEdit>("speakerKeywordBox(0)")->setText(u"たろう"_qs);
        programState_.colourTable.Set(2, u"255,00,00");
        Click("exportButton");
        boxes_.Take();
        const QStringList page{
            "<html>",
            "<head>",
            "<meta http-equiv=\"Content-Type\"content=\"text/html; charset=UTF-8\">",
            u"<meta name=\"GENERATOR\" content=\"プログラム名　チャットログ編集ツール Parlowen Pro\">"_qs,
            "<title>" + parlowen::PageBaseName(c.name) + ".html</title>",
            "</head>",
            "<body bgcolor=\"#FFFFFF\">",
            u"<font color=\"#FF0000\">たろう> 元気？</font><br>"_qs,
            u"はなこ> やあ<br>"_qs,
            u"<font color=\"#FF0000\">たろう> こんにちは</font><br>"_qs,
            "",
            "</body></html>"};
        EXPECT_EQ(ReadBytes(Path(parlowen::PageBaseName(c.name) + ".html")), CrLfLines(page).toStdString());

        boxes_.Answer({true});
        Click("convertButton");
        EXPECT_EQ(boxes_.Take().back(), Notice("Complete Massage", "Text change complete!"));
        const QStringList reversed{lines[2], lines[1], lines[0], ""};
        EXPECT_EQ(ReadBytes(Path(c.name)), c.mark + c.encode(CrLfLines(reversed), c.bigEndian));
        EXPECT_EQ(CheckText(), reversed.join('\n'));
    }
}

TEST_F(MainWindowTest, InformationMessagesShowTheirTextsUnderTheirTitles) {
    Open();
    for (const char* name :
         {"productInfoButton", "entryOptionsHeading", "speakerHeading", "pasteHint", "listHeading",
          "checkViewHeading", "beforeAfterLabel", "keyboardHint", "lineCounter"}) {
        Click(name);
    }
    namespace Info = parlowen::InformationMessages;
    EXPECT_EQ(boxes_.Take(), (Calls{Notice("Product Information", Info::ProductInformationText()),
                                    Notice("Product Information", Info::CreditText()),
                                    Notice("Version Information", Info::VersionInformationText())}));
}

TEST_F(MainWindowTest, F12AnywhereAndTheExitButtonEndTheProgramEvenWithThePaletteOpen) {
    const std::pair<QString, Qt::KeyboardModifiers> presses[] = {
        {"speakerKeywordBox(3)", Qt::NoModifier},
        {"speakerKeywordBox(3)", Qt::ControlModifier},
        {"logList", Qt::ShiftModifier},
        {"exitButton", {}}};
    for (const auto& [control, modifiers] : presses) {
        SCOPED_TRACE(control.toStdString());
        MainWindow& window = Open();
        // Built as the colour buttons build it: a window of the main window's own.
        auto* palette = new parlowen::PaletteWindow(boxes_, &window);
        palette->show();
        Get(control)->setFocus();
        EXPECT_TRUE(EndsTheProgram([&, control = control, modifiers = modifiers] {
            if (control == "exitButton") {
                Click(control);
            } else {
                QTest::keyClick(Get(control), Qt::Key_F12, modifiers);
            }
        }));
        EXPECT_FALSE(window.isVisible());
    }
}

} // namespace
