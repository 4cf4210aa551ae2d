#include "ColorChoice.h"

#include "KeyCodes.h"
#include "PaletteTable.h"

#include <cmath>
#include <limits>

namespace parlowen {

int PickedColorValue(const QString& pickedColor) {
    double value = 0;
    qsizetype position = 0;
    while (position < pickedColor.size() && pickedColor[position] == QLatin1Char(' ')) {
        ++position;
    }
    for (; position < pickedColor.size() && pickedColor[position].isDigit(); ++position) {
        value = value * 10 + pickedColor[position].digitValue();
    }
    value = std::min(std::round(value), static_cast<double>(std::numeric_limits<int>::max()));
    return static_cast<int>(value);
}

PaletteKeyAction PaletteKeyRule(int cell, int keyCode, int shift) {
    constexpr int cells = static_cast<int>(PaletteSize);
    if (keyCode == KeyCode::Tab || keyCode == KeyCode::Return) {
        if (shift == ShiftBits::None) {
            return {PaletteKeyAction::Kind::MoveTo, (cell + 1) % cells};
        }
        if (shift == ShiftBits::Shift) {
            return {PaletteKeyAction::Kind::MoveTo, (cell + cells - 1) % cells};
        }
        return {};
    }
    if (keyCode == KeyCode::Space) {
        return {PaletteKeyAction::Kind::Choose, cell};
    }
    return {};
}

} // namespace parlowen
