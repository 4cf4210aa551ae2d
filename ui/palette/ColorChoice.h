#pragma once

#include <QKeyCombination>

namespace parlowen {

// What a key in a palette cell does: move to another cell, choose this one, or nothing.
struct PaletteKeyAction {
    enum class Kind { None, MoveTo, Choose };
    Kind kind = Kind::None;
    int cell = 0;
    friend bool operator==(const PaletteKeyAction&, const PaletteKeyAction&) = default;
};

// Enter or Tab moves to the next cell and Shift with either to the previous one, wrapping at both ends;
// any other modifier does nothing; Space chooses.
PaletteKeyAction PaletteKeyRule(int cell, QKeyCombination key);

} // namespace parlowen
