#pragma once

#include <QLineEdit>

namespace parlowen {

// A colour cell of the palette: a read-only swatch whose text is the colour it stores. The cell shows
// nothing but its colour, so the one that has the keyboard focus carries a frame of black and white that
// stands out on any colour.
class PaletteCell : public QLineEdit {
    Q_OBJECT

  public:
    explicit PaletteCell(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace parlowen
