#include "PaletteCell.h"

#include <QPainter>

namespace parlowen {

PaletteCell::PaletteCell(QWidget* parent) : QLineEdit(parent) {
    // A cell's text is what a confirmation stores, so the user cannot change it.
    setReadOnly(true);
    setFrame(false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void PaletteCell::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::white);
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(2, 2, -3, -3));
}

} // namespace parlowen
