#include "ClipboardText.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace parlowen {

QString KeywordCut(const QString& text) {
    return text.left(KeywordLength);
}

bool IsCopyOrPaste(const QKeyEvent& event) {
    return event.matches(QKeySequence::Copy) || event.matches(QKeySequence::Paste);
}

bool IsSelectionPaste(const QMouseEvent& event) {
    return event.button() == Qt::MiddleButton;
}

} // namespace parlowen
