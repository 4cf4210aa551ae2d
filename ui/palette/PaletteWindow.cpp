#include "PaletteWindow.h"

#include "ColorChoice.h"
#include "Keys.h"
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

PaletteWindow::PaletteWindow(MessageBoxes& messageBoxes, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Dialog), messageBoxes_(messageBoxes) {
    // A dialog's type, not modal: on X11 Qt marks only such windows transient for their parent, which
    // keeps them above it.
    setObjectName(QStringLiteral("PaletteWindow"));
    setWindowTitle(QString::fromLatin1(PaletteWindowTitle));
    // Closing through the window frame destroys the palette; the next colour button builds a new one.
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    dotsPerInch_ = screen()->logicalDotsPerInchX();
    setFixedSize(TwipsToPixels(ClientWidth, dotsPerInch_), TwipsToPixels(ClientHeight, dotsPerInch_));
    CreateControls();
    auto* close = new QShortcut(this); // F12 closes the palette whatever else is held
    close->setKeys(F12WithAnyModifiers());
    connect(close, &QShortcut::activated, closeButton_, &QAbstractButton::click);
    // Escape too, as in any other small window of the desktop; the cells leave it unused.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, closeButton_,
            &QAbstractButton::click);
    placeOnScreen();
}

void PaletteWindow::CreateControls() {
    auto place = [this](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(TwipsToPixels(left, dotsPerInch_), TwipsToPixels(top, dotsPerInch_),
                            TwipsToPixels(width, dotsPerInch_), TwipsToPixels(height, dotsPerInch_));
    };
    for (std::size_t i = 0; i < instructionLabels_.size(); ++i) {
        const LabelSpec& label = Labels[i];
        instructionLabels_[i] = new QLabel(QString::fromUtf16(label.text), this);
        instructionLabels_[i]->setObjectName(QStringLiteral("instructionLabel(%1)").arg(i));
        instructionLabels_[i]->setWordWrap(true);
        instructionLabels_[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
        font.setPointSizeF(label.pointSize);
        instructionLabels_[i]->setFont(font);
        place(instructionLabels_[i], label.left, label.top, label.width, label.height);
    }
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < PaletteSize; ++i) {
        auto* cell = new PaletteCell(this);
        cell->setObjectName(QStringLiteral("paletteCell(%1)").arg(i));
        cell->setAccessibleName(QString::fromStdU16String(CellText(PaletteTable()[i])));
        const int index = static_cast<int>(i);
        place(cell, 300 + CellStep * (index % Columns), 810 + CellStep * (index / Columns), CellSize,
              CellSize);
        connect(cell, &PaletteCell::KeyDown, this,
                [this, index](QKeyCombination key) { onCellKey(index, key); });
        connect(cell, &PaletteCell::FocusEntered, this, [this, index] { onCellFocused(index); });
        connect(cell, &PaletteCell::Clicked, this, [this, index] { onCellClicked(index); });
        if (previous) {
            setTabOrder(previous, cell);
        }
        previous = cell;
        cells_[i] = cell;
    }
    closeButton_ = new QPushButton(QStringLiteral("閉じる(F12)"), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setAutoDefault(true); // Enter presses the focused button
    place(closeButton_, 3600, 5040, 1185, 375);
    setTabOrder(previous, closeButton_);
    connect(closeButton_, &QPushButton::clicked, this, &PaletteWindow::onCloseClicked);
}

void PaletteWindow::placeOnScreen() {
    PlaceCentredWithLift(*this, dotsPerInch_);
}

void PaletteWindow::Open(std::function<QColor()> pageBackground) {
    pageBackground_ = std::move(pageBackground);
    show();
    raise();
    activateWindow();
    // Also refilled here: a window manager may keep the palette from becoming active.
    refillCells();
}

void PaletteWindow::refillCells() {
    for (std::size_t i = 0; i < PaletteSize; ++i) {
        const PaletteColor& color = PaletteTable()[i];
        QPalette palette = cells_[i]->palette();
        for (QPalette::ColorRole role :
             {QPalette::Base, QPalette::Text, QPalette::Highlight, QPalette::HighlightedText}) {
            palette.setColor(role, ToQColor(color));
        }
        cells_[i]->setPalette(palette);
        cells_[i]->setText(QString::fromStdU16String(CellText(color)));
    }
    if (pageBackground_) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, pageBackground_());
        setPalette(palette);
    }
}

void PaletteWindow::onCloseClicked() {
    hide();
    emit ClosedWithoutChoice();
}

void PaletteWindow::onCellClicked(int index) {
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

void PaletteWindow::onCellFocused(int index) {
    Cell(index)->setCursorPosition(0);
}

void PaletteWindow::onCellKey(int index, QKeyCombination key) {
    const PaletteKeyAction action = PaletteKeyRule(index, key);
    switch (action.kind) {
    case PaletteKeyAction::Kind::MoveTo:
        Cell(action.cell)->setFocus(Qt::TabFocusReason);
        break;
    case PaletteKeyAction::Kind::Choose:
        onCellClicked(index);
        break;
    case PaletteKeyAction::Kind::None:
        break;
    }
}

bool PaletteWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        refillCells();
    }
    return QWidget::event(event);
}

} // namespace parlowen
