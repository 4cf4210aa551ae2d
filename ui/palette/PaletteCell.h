#pragma once

#include "Keys.h"

#include <QLineEdit>

namespace parlowen {

// A colour cell of the palette: a read-only swatch whose text is the colour it stores. The cell shows
// nothing but its colour, so the one that has the keyboard focus carries a frame of black and white that
// stands out on any colour. Its keys, focus and clicks are reported to the palette; Tab, Enter and Space
// never reach its text.
class PaletteCell : public QLineEdit {
    Q_OBJECT

  public:
    explicit PaletteCell(QWidget* parent = nullptr);

  signals:
    void KeyDown(QKeyCombination key); // as NormalisedKey gives it
    void FocusEntered();
    void Clicked(); // released with the left button

  protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace parlowen
