#include "CheckView.h"

#include "CheckViewText.h"
#include "ClipboardText.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace parlowen {

CheckView::CheckView(QWidget* parent) : QPlainTextEdit(parent) {
    setUndoRedoEnabled(false); // an undo history would hold a second copy of a large log
    setTabChangesFocus(true);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

QString CheckView::SelectedText() const {
    return KeywordCut(FromCheckWindow(textCursor().selectedText().left(KeywordLength)));
}

void CheckView::PasteText(const QString& text) {
    insertPlainText(KeywordCut(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

bool CheckView::event(QEvent* event) {
    // A copy or paste key not taken here runs the window's command.
    return RouteTextControlEvent(*event) != TextControlEvent::LeaveToWindow && QPlainTextEdit::event(event);
}

bool CheckView::viewportEvent(QEvent* event) {
    if (RouteTextControlEvent(*event) == TextControlEvent::Drop) {
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        emit MouseDown(mouse.button(), mouse.globalPosition().toPoint());
    }
    return QPlainTextEdit::viewportEvent(event);
}

} // namespace parlowen
