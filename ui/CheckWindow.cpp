#include "CheckWindow.h"

#include "CheckWindowText.h"
#include "ClipboardText.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace parlowen {

CheckWindow::CheckWindow(QWidget* parent) : QPlainTextEdit(parent) {
    setUndoRedoEnabled(false); // an undo history would hold a second copy of a large log
    setTabChangesFocus(true);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

QString CheckWindow::SelectedText() const {
    return KeywordCut(FromCheckWindow(textCursor().selectedText().left(KeywordLength)));
}

void CheckWindow::PasteText(const QString& text) {
    insertPlainText(KeywordCut(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

bool CheckWindow::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && IsCopyOrPaste(static_cast<const QKeyEvent&>(*event))) {
        return false; // not taken: the window's shortcut runs the command
    }
    return QPlainTextEdit::event(event);
}

void CheckWindow::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(event->button(), event->globalPosition().toPoint());
    if (!IsSelectionPaste(*event)) {
        QPlainTextEdit::mousePressEvent(event);
    }
}

void CheckWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (!IsSelectionPaste(*event)) {
        QPlainTextEdit::mouseReleaseEvent(event);
    }
}

} // namespace parlowen
