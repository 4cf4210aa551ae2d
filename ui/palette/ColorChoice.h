#pragma once

#include <QString>

namespace parlowen {

// The packed colour a picked colour text stands for, read as a decimal number the way the windows read
// numbers typed as text: leading spaces skipped, digits up to the first other character, nothing gives 0.
int PickedColorValue(const QString& pickedColor);

// What a key in a palette cell does: move to another cell, choose this one, or nothing.
struct PaletteKeyAction {
    enum class Kind { None, MoveTo, Choose };
    Kind kind = Kind::None;
    int cell = 0;
    friend bool operator==(const PaletteKeyAction&, const PaletteKeyAction&) = default;
};

// Enter or Tab moves to the next cell and Shift with either to the previous one, wrapping at both ends;
// any other modifier does nothing; Space chooses.
PaletteKeyAction PaletteKeyRule(int cell, int keyCode, int shift);

} // namespace parlowen
