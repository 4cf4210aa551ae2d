#include "ClipboardText.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace parlowen {

QString KeywordCut(const QString& text) {
    return text.left(KeywordLength);
}

bool IsCopyOrPaste(const QKeyEvent& event) {
    return event.matches(QKeySequence::Copy) || event.matches(QKeySequence::Paste);
}

bool TakeMousePress(const QMouseEvent& event, QMenu* popupMenu) {
    if (event.button() == Qt::RightButton && popupMenu) {
        popupMenu->popup(event.globalPosition().toPoint());
        return true;
    }
    return event.button() == Qt::MiddleButton;
}

} // namespace parlowen
