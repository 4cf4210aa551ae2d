#include "MainWindow.h"
#include "MainWindowLayout.h"
#include "PaletteWindow.h"
#include "UserTexts.h"
#include "WindowOperations.h"
#include "ui/ScriptedMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

using parlowen::ControlKind;

// Where a caption is drawn, in its window's coordinates, and what it needs against what it has.
struct Caption {
    QString name;
    QRect extent;
    int needed = 0;
    int room = 0;
};

// A word-wrapped label must hold every line of its text in its height; a single line must fit its width.
Caption Measure(const QString& name, QWidget& widget, const QString& text) {
    const QFontMetrics metrics(widget.font());
    const QPoint origin = widget.mapTo(widget.window(), QPoint(0, 0));
    QStyle& style = *widget.style();
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        const QString kept = label->text();
        label->setText(text);
        Caption caption{name, {}, 0, 0};
        if (label->wordWrap()) {
            caption.needed = label->heightForWidth(label->width());
            caption.room = label->height();
            caption.extent = QRect(origin, QSize(label->width(), std::min(caption.needed, caption.room)));
        } else {
            caption.needed = metrics.horizontalAdvance(text);
            caption.room = label->contentsRect().width();
            caption.extent = QRect(origin, QSize(std::min(caption.needed, caption.room), label->height()));
        }
        label->setText(kept);
        return caption;
    }
    if (auto* box = qobject_cast<QGroupBox*>(&widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = text;
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect title = style.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        return {name, title.translated(origin), title.left() + metrics.horizontalAdvance(text), box->width()};
    }
    QStyleOptionButton option;
    option.initFrom(&widget);
    option.text = text;
    const bool checkBox = qobject_cast<QCheckBox*>(&widget) != nullptr;
    const QRect contents = style.subElementRect(
        checkBox ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, &widget);
    const int needed = metrics.horizontalAdvance(text);
    // A check box's caption is one line centred in its height; a button is all caption.
    const QRect extent = checkBox ? QRect(contents.left(), contents.center().y() - metrics.height() / 2,
                                          std::min(needed, contents.width()), metrics.height())
                                  : widget.rect();
    return {name, extent.translated(origin), needed, contents.width()};
}

// The status labels have no caption of their own; they are measured with the widest they show.
QStringList ShownTexts(const parlowen::ControlDefinition& control) {
    if (control.ref.id == parlowen::ControlId::BeforeAfterLabel) {
        return {QString::fromStdU16String(std::u16string(parlowen::UserTexts::Before)),
                QString::fromStdU16String(std::u16string(parlowen::UserTexts::After))};
    }
    if (control.ref.id == parlowen::ControlId::LineCounter) {
        return {QString::fromStdU16String(parlowen::CounterText({9'999'999, 9'999'999}))};
    }
    return {QString::fromStdU16String(std::u16string(control.caption))};
}

void ExpectAllFitApart(const std::vector<Caption>& captions) {
    for (const Caption& caption : captions) {
        EXPECT_LE(caption.needed, caption.room) << caption.name.toStdString() << " is cut";
    }
    for (std::size_t i = 0; i < captions.size(); ++i) {
        for (std::size_t j = i + 1; j < captions.size(); ++j) {
            EXPECT_FALSE(captions[i].extent.intersects(captions[j].extent))
                << captions[i].name.toStdString() << " and " << captions[j].name.toStdString() << " overlap";
        }
    }
}

class CaptionFitTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InstallProgramLocale(); }

    QTemporaryDir folder_;
    parlowen::ProgramState programState_;
    ScriptedMessageBoxes boxes_;
};

// The test is registered once for ja_JP.UTF-8 and once for C.UTF-8; a locale that is missing would make it
// pass in C twice.
TEST_F(CaptionFitTest, RunsInTheLocaleItIsRegisteredFor) {
    const char* wanted = std::getenv("LC_ALL");
    ASSERT_NE(wanted, nullptr);
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), wanted) << "generate it with scripts/setup";
}

// Regression: under ja_JP.UTF-8 the captions took a wider fallback font; the check box lost its last
// character, the check view's heading wrapped out of sight, and the heading overlapped beforeAfterLabel by
// 3 px.
TEST_F(CaptionFitTest, EveryCaptionOfTheMainWindowFitsItsControlAndNoneOverlap) {
    ASSERT_TRUE(folder_.isValid());
    parlowen::MainWindow window(programState_, boxes_, folder_.path());
    window.show();
    std::vector<Caption> captions;
    for (const parlowen::ControlDefinition& control : parlowen::MainWindowLayout::Controls()) {
        if (control.kind != ControlKind::Label && control.kind != ControlKind::CheckBox &&
            control.kind != ControlKind::Button && control.kind != ControlKind::Frame) {
            continue;
        }
        const QString name = parlowen::MainWindowLayout::ObjectName(control);
        auto* widget = window.findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << name.toStdString();
        Caption widest{name, {}, 0, 0};
        for (const QString& text : ShownTexts(control)) {
            const Caption caption = Measure(name, *widget, text);
            if (caption.needed - caption.room >= widest.needed - widest.room || widest.extent.isNull()) {
                widest = caption;
            }
        }
        captions.push_back(widest);
    }
    ExpectAllFitApart(captions);
    boxes_.Take();
}

TEST_F(CaptionFitTest, EveryCaptionOfThePaletteFitsItsControlAndNoneOverlap) {
    parlowen::PaletteWindow palette(boxes_);
    palette.show();
    std::vector<Caption> captions;
    for (QLabel* label : palette.findChildren<QLabel*>()) {
        captions.push_back(Measure(label->objectName(), *label, label->text()));
    }
    for (QPushButton* button : palette.findChildren<QPushButton*>()) {
        captions.push_back(Measure(button->objectName(), *button, button->text()));
    }
    ASSERT_EQ(captions.size(), 3u);
    // The help line must also end above the first row of colour cells.
    for (const Caption& caption : captions) {
        if (caption.name.startsWith("entryOptionsHeading")) {
            EXPECT_LT(caption.extent.bottom(), palette.Cell(0)->y()) << caption.name.toStdString();
        }
    }
    ExpectAllFitApart(captions);
}

} // namespace
