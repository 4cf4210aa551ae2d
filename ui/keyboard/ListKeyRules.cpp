#include "ListKeyRules.h"

#include "KeyCodes.h"

namespace parlowen {

ListKeyAction LogListKeyRule(std::int16_t& keyCode, std::int16_t shift) {
    if (keyCode == KeyCode::Return) {
        keyCode = KeyCode::Tab;
    }
    if (keyCode != KeyCode::Tab) {
        return ListKeyAction::None;
    }
    if (shift == ShiftBits::None) {
        return ListKeyAction::Load;
    }
    if (shift == ShiftBits::Shift) {
        return ListKeyAction::FocusProductInfoButton;
    }
    return ListKeyAction::None;
}

bool LogListClickLoads(std::int16_t& lastListKey) {
    if (lastListKey != 0) {
        lastListKey = 0;
        return false;
    }
    return true;
}

bool MovingKeySelectsFocusedRow(std::int16_t keyCode, bool anySelected) {
    return !anySelected && ((keyCode >= KeyCode::PageUp && keyCode <= KeyCode::Home) ||
                            keyCode == KeyCode::Up || keyCode == KeyCode::Down);
}

} // namespace parlowen
