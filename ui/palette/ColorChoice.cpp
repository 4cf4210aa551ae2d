#include "ColorChoice.h"

#include "Keys.h"
#include "PaletteTable.h"

namespace parlowen {

PaletteKeyAction PaletteKeyRule(int cell, QKeyCombination key) {
    constexpr int cells = static_cast<int>(PaletteSize);
    const QKeyCombination normalised = NormalisedKey(key);
    if (normalised.key() == Qt::Key_Tab || normalised.key() == Qt::Key_Return) {
        if (normalised.keyboardModifiers() == Qt::NoModifier) {
            return {PaletteKeyAction::Kind::MoveTo, (cell + 1) % cells};
        }
        if (normalised.keyboardModifiers() == Qt::ShiftModifier) {
            return {PaletteKeyAction::Kind::MoveTo, (cell + cells - 1) % cells};
        }
        return {};
    }
    if (normalised.key() == Qt::Key_Space) {
        return {PaletteKeyAction::Kind::Choose, cell};
    }
    return {};
}

} // namespace parlowen
