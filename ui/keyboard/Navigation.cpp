#include "Navigation.h"

#include "KeyCodes.h"

namespace parlowen {
namespace {

using Kind = NavigationAction::Kind;

NavigationAction Press(ControlId id, int index = 0) {
    return {Kind::Press, {id, index}};
}

NavigationAction Focus(ControlId id, int index = 0) {
    return {Kind::Focus, {id, index}};
}

// The box holds text: the next stop is its colour button; otherwise the next box, or Text1 after the last.
NavigationAction ForwardFromKeyword(int index, const NavigationState& state) {
    if (state.keywordHoldsText[index]) {
        return Focus(ControlId::Command5, index);
    }
    return index == SpeakerRows - 1 ? Focus(ControlId::Text1) : Focus(ControlId::Text4, index + 1);
}

NavigationAction BackwardFromKeyword(int index, const NavigationState& state) {
    if (index == 0) {
        return Focus(ControlId::Command6);
    }
    return state.keywordHoldsText[index - 1] ? Focus(ControlId::Command5, index - 1)
                                             : Focus(ControlId::Text4, index - 1);
}

// Controls where Enter and Tab are the same key.
bool EnterEqualsTab(ControlId id) {
    return id == ControlId::File1 || id == ControlId::Check1 || id == ControlId::Text3 ||
           id == ControlId::Text4 || id == ControlId::Text1;
}

NavigationAction Forward(const ControlRef& from, bool enter, const NavigationState& state) {
    switch (from.id) {
    case ControlId::File1:
        return Press(ControlId::File1);
    case ControlId::Check1:
        return Focus(ControlId::Text3);
    case ControlId::Text3:
        return Focus(ControlId::Command7);
    case ControlId::Command7:
        return enter ? Press(ControlId::Command7) : Focus(ControlId::Command6);
    case ControlId::Command6:
        return enter ? Press(ControlId::Command6) : Focus(ControlId::Text4, 0);
    case ControlId::Text4:
        return ForwardFromKeyword(from.index, state);
    case ControlId::Command5:
        if (enter) {
            return Press(ControlId::Command5, from.index);
        }
        return from.index == SpeakerRows - 1 ? Focus(ControlId::Text1)
                                             : Focus(ControlId::Text4, from.index + 1);
    case ControlId::Text1:
        return Focus(ControlId::Command1);
    case ControlId::Command1:
        return enter ? Press(ControlId::Command1) : Focus(ControlId::Command3);
    case ControlId::Command3:
        return enter ? Press(ControlId::Command3) : Focus(ControlId::Command2);
    case ControlId::Command2:
        return enter ? Press(ControlId::Command2) : Focus(ControlId::Command2);
    case ControlId::Command4:
        return enter ? Press(ControlId::Command4) : NavigationAction{Kind::NextInTabOrder, {}};
    case ControlId::Text2:
        return {Kind::NextInTabOrder, {}};
    default: // the labels and the frame take no focus
        break;
    }
    return {};
}

NavigationAction Backward(const ControlRef& from, bool enter, const NavigationState& state) {
    switch (from.id) {
    case ControlId::File1:
        return Focus(ControlId::Command4);
    case ControlId::Check1:
        return Focus(ControlId::File1);
    case ControlId::Text3:
        return Focus(ControlId::Check1);
    case ControlId::Command7:
        return Focus(ControlId::Text3);
    case ControlId::Command6:
        return Focus(ControlId::Command7);
    case ControlId::Text4:
        return BackwardFromKeyword(from.index, state);
    case ControlId::Command5:
        return Focus(ControlId::Text4, from.index);
    case ControlId::Text1:
        return Focus(ControlId::Command5, SpeakerRows - 1);
    case ControlId::Command1:
        return Focus(ControlId::Text1);
    case ControlId::Command3:
        return Focus(ControlId::Command1);
    case ControlId::Command2:
        // Shift+Enter and Shift+Tab part ways here.
        return enter ? Focus(ControlId::Command3) : Focus(ControlId::Command1);
    case ControlId::Command4:
    case ControlId::Text2:
        return {Kind::PreviousInTabOrder, {}};
    default:
        break;
    }
    return {};
}

} // namespace

bool NavigationState::Enabled(const ControlRef& control) const {
    switch (control.id) {
    case ControlId::Command1:
        return command1Enabled;
    case ControlId::Command3:
        return command3Enabled;
    case ControlId::Command6:
        return command6Enabled;
    case ControlId::Command7:
        return command7Enabled;
    case ControlId::Command5:
        return command5Enabled[control.index];
    default:
        return true;
    }
}

NavigationAction Navigate(const ControlRef& from, int keyCode, int shift, const NavigationState& state) {
    if (keyCode == KeyCode::F12) {
        return Press(ControlId::Command2);
    }
    if ((keyCode != KeyCode::Return && keyCode != KeyCode::Tab) ||
        (shift != ShiftBits::None && shift != ShiftBits::Shift)) {
        return {};
    }
    const bool enter = keyCode == KeyCode::Return && !EnterEqualsTab(from.id);
    NavigationAction action =
        shift == ShiftBits::None ? Forward(from, enter, state) : Backward(from, enter, state);
    if (action.kind == Kind::Focus && !state.Enabled(action.target)) {
        return Focus(ControlId::File1);
    }
    return action;
}

} // namespace parlowen
