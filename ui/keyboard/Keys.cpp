#include "Keys.h"

namespace parlowen {

QKeyCombination NormalisedKey(QKeyCombination key) {
    Qt::KeyboardModifiers modifiers =
        key.keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    Qt::Key code = key.key();
    if (code == Qt::Key_Enter) {
        code = Qt::Key_Return;
    } else if (code == Qt::Key_Backtab) {
        code = Qt::Key_Tab;
        modifiers |= Qt::ShiftModifier;
    }
    return QKeyCombination(modifiers, code);
}

QList<QKeySequence> F12WithAnyModifiers() {
    QList<QKeySequence> keys;
    for (int bits = 0; bits < 8; ++bits) {
        Qt::KeyboardModifiers modifiers;
        modifiers.setFlag(Qt::ShiftModifier, (bits & 1) != 0);
        modifiers.setFlag(Qt::ControlModifier, (bits & 2) != 0);
        modifiers.setFlag(Qt::AltModifier, (bits & 4) != 0);
        keys.append(QKeySequence(QKeyCombination(modifiers, Qt::Key_F12)));
    }
    return keys;
}

} // namespace parlowen
