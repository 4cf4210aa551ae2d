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

void TextBox::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(event->button(), event->globalPosition().toPoint());
    if (!IsSelectionPaste(*event)) {
        QLineEdit::mousePressEvent(event);
    }
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    if (IsSelectionPaste(*event)) {
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit Clicked();
    }
}

} // namespace parlowen
