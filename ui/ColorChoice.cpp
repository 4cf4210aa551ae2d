#include "ColorChoice.h"

#include "KeyCodes.h"
#include "PaletteTable.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace parlowen {

std::optional<std::size_t> ColorSlotOf(const QString& objectName) {
    if (objectName == QLatin1String("Command6")) {
        return 0;
    }
    if (objectName == QLatin1String("Command7")) {
        return 1;
    }
    static const QRegularExpression speakerButton(QStringLiteral("^Command5\\(([0-9])\\)$"));
    const QRegularExpressionMatch match = speakerButton.match(objectName);
    if (match.hasMatch()) {
        return 2 + static_cast<std::size_t>(match.captured(1).toInt());
    }
    return std::nullopt;
}

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
