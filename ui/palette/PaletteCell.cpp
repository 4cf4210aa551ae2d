#include "PaletteCell.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace parlowen {

PaletteCell::PaletteCell(QWidget* parent) : QLineEdit(parent) {
    // A cell's text is what a confirmation stores, so the user cannot change it.
    setReadOnly(true);
    setFrame(false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

bool PaletteCell::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) { // here rather than in keyPressEvent, which never sees Tab
        const QKeyCombination key = NormalisedKey(static_cast<const QKeyEvent&>(*event).keyCombination());
        emit KeyDown(key);
        if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Return || key.key() == Qt::Key_Space) {
            return true;
        }
    }
    return QLineEdit::event(event);
}

void PaletteCell::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit FocusEntered();
}

void PaletteCell::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit Clicked();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
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
