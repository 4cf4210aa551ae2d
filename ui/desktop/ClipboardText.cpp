#include "ClipboardText.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace parlowen {

QString KeywordCut(const QString& text) {
    return text.left(KeywordLength);
}

TextControlEvent RouteTextControlEvent(const QEvent& event) {
    switch (event.type()) {
    case QEvent::ShortcutOverride: {
        const auto& key = static_cast<const QKeyEvent&>(event);
        const bool copyOrPaste = key.matches(QKeySequence::Copy) || key.matches(QKeySequence::Paste);
        return copyOrPaste ? TextControlEvent::LeaveToWindow : TextControlEvent::Handle;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        return static_cast<const QMouseEvent&>(event).button() == Qt::MiddleButton ? TextControlEvent::Drop
                                                                                   : TextControlEvent::Handle;
    default:
        return TextControlEvent::Handle;
    }
}

} // namespace parlowen
