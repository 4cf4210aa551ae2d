#include "PaletteWindow.h"

#include "ColorChoice.h"
#include "KeyCodes.h"
#include "PaletteCell.h"
#include "Twips.h"
#include "WindowPlacement.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include <utility>

namespace parlowen {
namespace {

constexpr int ClientWidth = 5160;
constexpr int ClientHeight = 5505;
constexpr int Columns = 15;
constexpr int CellStep = 300;
constexpr int CellSize = 255;

struct LabelSpec {
    const char16_t* text;
    double pointSize;
    int left, top, width, height;
};

constexpr LabelSpec Labels[] = {
    {u"カラーボックスからひとつをクリックしてください。", 12, 150, 60, 4875, 345},
    {u"Ｅｎｔｅｒキーで次移動、Ｅｎｔｅｒ+Ｓｈｉｆｔキーで前移動します。Spaceキーでクリック同様選択します。",
     9.75, 150, 360, 4875, 465},
};

QColor ToQColor(const PaletteColor& color) {
    return QColor(color.red, color.green, color.blue);
}

} // namespace

Form2::Form2(MessageBoxes& messageBoxes, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Dialog), messageBoxes_(messageBoxes) {
    // A dialog's type, not modal: on X11 Qt marks only such windows transient for their parent, which
    // keeps them above it.
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    // Closing through the window frame destroys the palette; the next colour button builds a new one.
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    dotsPerInch_ = screen()->logicalDotsPerInchX();
    setFixedSize(TwipsToPixels(ClientWidth, dotsPerInch_), TwipsToPixels(ClientHeight, dotsPerInch_));
    CreateControls();
    auto* close = new QShortcut(this); // F12 closes the palette whatever else is held
    close->setKeys(F12WithAnyModifiers());
    connect(close, &QShortcut::activated, this, &Form2::Command1_Click);
    // Escape too, as in any other small window of the desktop; the cells leave it unused.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &Form2::Command1_Click);
    Form_Load();
}

void Form2::CreateControls() {
    auto place = [this](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(TwipsToPixels(left, dotsPerInch_), TwipsToPixels(top, dotsPerInch_),
                            TwipsToPixels(width, dotsPerInch_), TwipsToPixels(height, dotsPerInch_));
    };
    for (std::size_t i = 0; i < Label4.size(); ++i) {
        const LabelSpec& label = Labels[i];
        Label4[i] = new QLabel(QString::fromUtf16(label.text), this);
        Label4[i]->setObjectName(QStringLiteral("Label4(%1)").arg(i));
        Label4[i]->setWordWrap(true);
        Label4[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
        font.setPointSizeF(label.pointSize);
        Label4[i]->setFont(font);
        place(Label4[i], label.left, label.top, label.width, label.height);
    }
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < PaletteSize; ++i) {
        auto* cell = new PaletteCell(this);
        cell->setObjectName(QStringLiteral("Text2(%1)").arg(i));
        cell->setAccessibleName(QString::fromStdU16String(CellText(PaletteTable()[i])));
        const int index = static_cast<int>(i);
        place(cell, 300 + CellStep * (index % Columns), 810 + CellStep * (index / Columns), CellSize,
              CellSize);
        connect(cell, &PaletteCell::KeyDown, this,
                [this, index](KeyPress key) { Text2_KeyDown(index, key.keyCode, key.shift); });
        connect(cell, &PaletteCell::FocusEntered, this, [this, index] { Text2_GotFocus(index); });
        connect(cell, &PaletteCell::Clicked, this, [this, index] { Text2_Click(index); });
        if (previous) {
            setTabOrder(previous, cell);
        }
        previous = cell;
        Text2[i] = cell;
    }
    Command1 = new QPushButton(QStringLiteral("閉じる(F12)"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(true); // Enter presses the focused button
    place(Command1, 3600, 5040, 1185, 375);
    setTabOrder(previous, Command1);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
}

void Form2::Form_Load() {
    PlaceCentredWithLift(*this, dotsPerInch_);
}

void Form2::Open(std::function<QColor()> pageBackground) {
    pageBackground_ = std::move(pageBackground);
    show();
    raise();
    activateWindow();
    // Also refilled here: a window manager may keep the palette from becoming active.
    Form_Activate();
}

void Form2::Form_Activate() {
    for (std::size_t i = 0; i < PaletteSize; ++i) {
        const PaletteColor& color = PaletteTable()[i];
        QPalette palette = Text2[i]->palette();
        for (QPalette::ColorRole role :
             {QPalette::Base, QPalette::Text, QPalette::Highlight, QPalette::HighlightedText}) {
            palette.setColor(role, ToQColor(color));
        }
        Text2[i]->setPalette(palette);
        Text2[i]->setText(QString::fromStdU16String(CellText(color)));
    }
    if (pageBackground_) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, pageBackground_());
        setPalette(palette);
    }
}

void Form2::Command1_Click() {
    hide();
    emit ClosedWithoutChoice();
}

void Form2::Text2_Click(int index) {
    PaletteCell* cell = Cell(index);
    cell->setCursorPosition(0);
    cell->deselect();
    if (!messageBoxes_.AskOkCancel(QStringLiteral("Message:COLOR option"),
                                   QStringLiteral("この色で良いですか？"))) {
        return;
    }
    hide();
    emit ColourChosen(index);
}

void Form2::Text2_GotFocus(int index) {
    Cell(index)->setCursorPosition(0);
}

void Form2::Text2_KeyDown(int index, int keyCode, int shift) {
    const PaletteKeyAction action = PaletteKeyRule(index, keyCode, shift);
    switch (action.kind) {
    case PaletteKeyAction::Kind::MoveTo:
        Cell(action.cell)->setFocus(Qt::TabFocusReason);
        break;
    case PaletteKeyAction::Kind::Choose:
        Text2_Click(index);
        break;
    case PaletteKeyAction::Kind::None:
        break;
    }
}

bool Form2::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QWidget::event(event);
}

} // namespace parlowen
