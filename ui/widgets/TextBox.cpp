#include "TextBox.h"

#include "ClipboardText.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace parlowen {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

void TextBox::PasteText(const QString& text) {
    if (!isReadOnly()) {
        insert(KeywordCut(text));
    }
}

bool TextBox::event(QEvent* event) {
    switch (RouteTextControlEvent(*event)) {
    case TextControlEvent::LeaveToWindow:
        return false; // not taken: the window's copy or paste action takes it
    case TextControlEvent::Drop:
        return true;
    case TextControlEvent::Handle:
        break;
    }
    return QLineEdit::event(event);
}

void TextBox::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(event->button(), event->globalPosition().toPoint());
    QLineEdit::mousePressEvent(event);
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit Clicked();
    }
}

void TextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit FocusEntered();
}

} // namespace parlowen
