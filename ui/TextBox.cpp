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
    if (event->type() == QEvent::ShortcutOverride && IsCopyOrPaste(static_cast<const QKeyEvent&>(*event))) {
        return false; // not taken: the window's shortcut runs the command
    }
    return QLineEdit::event(event);
}

void TextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit FocusEntered();
}

void TextBox::mousePressEvent(QMouseEvent* event) {
    if (!TakeMousePress(*event, popupMenu_)) {
        QLineEdit::mousePressEvent(event);
    }
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit Clicked();
    }
}

} // namespace parlowen
