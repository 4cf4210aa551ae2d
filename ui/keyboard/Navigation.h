#pragma once

#include "ControlId.h"

#include <QKeyCombination>

#include <array>

namespace parlowen {

// What the rules read at the moment of the key: which keyword boxes hold text and which buttons are enabled.
struct NavigationState {
    std::array<bool, SpeakerRows> keywordHoldsText{};
    std::array<bool, SpeakerRows> speakerColourEnabled{};
    bool convertEnabled = false;
    bool exportEnabled = false;
    bool pageColourEnabled = false;
    bool entryColourEnabled = false;

    bool Enabled(const ControlRef& control) const;
};

struct NavigationAction {
    // NextInTabOrder and PreviousInTabOrder leave the move to the window's own tab order.
    enum class Kind { None, Focus, Press, NextInTabOrder, PreviousInTabOrder };
    Kind kind = Kind::None;
    ControlRef target;
    friend bool operator==(const NavigationAction&, const NavigationAction&) = default;
};

// Enter moves forward and presses buttons, Shift+Enter moves back, Tab moves like Enter without pressing,
// F12 leaves from anywhere. Pressing logList means loading the selected log. A move onto a disabled control
// lands on logList instead. Controls without rules of their own (productInfoButton, logNameBox) follow the
// tab order, and Enter presses productInfoButton.
NavigationAction Navigate(const ControlRef& from, QKeyCombination key, const NavigationState& state);

} // namespace parlowen
