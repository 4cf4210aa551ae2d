#include "ListKeyRules.h"

#include "VbKeys.h"

namespace parlowen {

ListKeyAction File1KeyRule(std::int16_t& keyCode, std::int16_t shift) {
    if (keyCode == VbKey::Return) {
        keyCode = VbKey::Tab;
    }
    if (keyCode != VbKey::Tab) {
        return ListKeyAction::None;
    }
    if (shift == VbShift::None) {
        return ListKeyAction::Load;
    }
    if (shift == VbShift::Shift) {
        return ListKeyAction::FocusCommand4;
    }
    return ListKeyAction::None;
}

bool File1ClickLoads(std::int16_t& lastListKey) {
    if (lastListKey != 0) {
        lastListKey = 0;
        return false;
    }
    return true;
}

bool MovingKeySelectsFocusedRow(std::int16_t keyCode, bool anySelected) {
    return !anySelected && ((keyCode >= VbKey::PageUp && keyCode <= VbKey::Home) || keyCode == VbKey::Up ||
                            keyCode == VbKey::Down);
}

} // namespace parlowen
