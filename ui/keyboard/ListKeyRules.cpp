#include "ListKeyRules.h"

#include "Keys.h"

namespace parlowen {

ListKeyAction LogListKeyRule(QKeyCombination key) {
    const QKeyCombination normalised = NormalisedKey(key);
    if (normalised.key() != Qt::Key_Return && normalised.key() != Qt::Key_Tab) {
        return ListKeyAction::None;
    }
    if (normalised.keyboardModifiers() == Qt::NoModifier) {
        return ListKeyAction::Load;
    }
    if (normalised.keyboardModifiers() == Qt::ShiftModifier) {
        return ListKeyAction::FocusProductInfoButton;
    }
    return ListKeyAction::None;
}

bool LogListClickLoads(bool& keyPending) {
    if (keyPending) {
        keyPending = false;
        return false;
    }
    return true;
}

bool MovingKeySelectsFocusedRow(Qt::Key key, bool anySelected) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return !anySelected;
    default:
        return false;
    }
}

} // namespace parlowen
