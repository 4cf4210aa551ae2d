#pragma once

#include "MessageBoxes.h"
#include "PaletteCell.h"
#include "PaletteTable.h"

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace parlowen {

// The caption users have always seen on the palette's frame.
inline constexpr char PaletteWindowTitle[] = "Form2";

// The palette window: 216 colour cells, each a swatch of one colour of the palette table. A confirmed
// choice is handed back as the cell's index; the main window stores it.
class PaletteWindow : public QWidget {
    Q_OBJECT

  public:
    // A window of its own, transient for the main window: it stays above it and closes with it.
    explicit PaletteWindow(MessageBoxes& messageBoxes, QWidget* mainWindow = nullptr);

    // Shows the palette, or brings it forward when it is open already, with freshly filled cells. Every
    // activation asks pageBackground again, so that the palette sits on the page colour previewed at that
    // moment, also after a load has reset it while the palette stayed open.
    void Open(std::function<QColor()> pageBackground);

    PaletteCell* Cell(int index) const { return cells_[static_cast<std::size_t>(index)]; }

  signals:
    // The user confirmed the colour of this cell; the palette is hidden.
    void ColourChosen(int cell);
    // The palette was closed with its button or F12, storing nothing.
    void ClosedWithoutChoice();

  protected:
    bool event(QEvent* event) override;

  private:
    void CreateControls();
    void placeOnScreen();
    void refillCells();
    void onCloseClicked();
    void onCellClicked(int index);
    void onCellFocused(int index);
    void onCellKey(int index, QKeyCombination key);

    MessageBoxes& messageBoxes_;
    std::function<QColor()> pageBackground_;
    double dotsPerInch_ = 96;

    std::array<QLabel*, 2> instructionLabels_{};
    std::array<PaletteCell*, PaletteSize> cells_{};
    QPushButton* closeButton_ = nullptr;
};

} // namespace parlowen
