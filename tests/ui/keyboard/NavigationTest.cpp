#include "Navigation.h"

#include "KeyCodes.h"

#include <gtest/gtest.h>

namespace parlowen {
namespace {

using Kind = NavigationAction::Kind;
using Id = ControlId;

constexpr int Ctrl = ShiftBits::Ctrl;
constexpr int Alt = ShiftBits::Alt;

NavigationState Loaded() {
    NavigationState state;
    state.command1Enabled = state.command3Enabled = state.command6Enabled = state.command7Enabled = true;
    state.command5Enabled.fill(true);
    return state;
}

NavigationAction Focus(Id id, int index = 0) {
    return {Kind::Focus, {id, index}};
}
NavigationAction Press(Id id, int index = 0) {
    return {Kind::Press, {id, index}};
}

const NavigationAction Next{Kind::NextInTabOrder, {}};
const NavigationAction Previous{Kind::PreviousInTabOrder, {}};

struct Row {
    ControlRef from;
    NavigationAction enter;
    NavigationAction tab;
    NavigationAction shiftEnter;
    NavigationAction shiftTab;
};

TEST(Navigate, EveryRowAfterALoad) {
    NavigationState state = Loaded();
    state.keywordHoldsText[4] = true;
    const Row rows[] = {
        {{Id::File1}, Press(Id::File1), Press(Id::File1), Focus(Id::Command4), Focus(Id::Command4)},
        {{Id::Check1}, Focus(Id::Text3), Focus(Id::Text3), Focus(Id::File1), Focus(Id::File1)},
        {{Id::Text3}, Focus(Id::Command7), Focus(Id::Command7), Focus(Id::Check1), Focus(Id::Check1)},
        {{Id::Command7}, Press(Id::Command7), Focus(Id::Command6), Focus(Id::Text3), Focus(Id::Text3)},
        {{Id::Command6}, Press(Id::Command6), Focus(Id::Text4, 0), Focus(Id::Command7), Focus(Id::Command7)},
        {{Id::Text4, 0}, Focus(Id::Text4, 1), Focus(Id::Text4, 1), Focus(Id::Command6), Focus(Id::Command6)},
        {{Id::Text4, 4},
         Focus(Id::Command5, 4),
         Focus(Id::Command5, 4),
         Focus(Id::Text4, 3),
         Focus(Id::Text4, 3)},
        {{Id::Text4, 5},
         Focus(Id::Text4, 6),
         Focus(Id::Text4, 6),
         Focus(Id::Command5, 4),
         Focus(Id::Command5, 4)},
        {{Id::Text4, 9}, Focus(Id::Text1), Focus(Id::Text1), Focus(Id::Text4, 8), Focus(Id::Text4, 8)},
        {{Id::Command5, 4},
         Press(Id::Command5, 4),
         Focus(Id::Text4, 5),
         Focus(Id::Text4, 4),
         Focus(Id::Text4, 4)},
        {{Id::Command5, 9},
         Press(Id::Command5, 9),
         Focus(Id::Text1),
         Focus(Id::Text4, 9),
         Focus(Id::Text4, 9)},
        {{Id::Text1},
         Focus(Id::Command1),
         Focus(Id::Command1),
         Focus(Id::Command5, 9),
         Focus(Id::Command5, 9)},
        {{Id::Command1}, Press(Id::Command1), Focus(Id::Command3), Focus(Id::Text1), Focus(Id::Text1)},
        {{Id::Command3}, Press(Id::Command3), Focus(Id::Command2), Focus(Id::Command1), Focus(Id::Command1)},
        {{Id::Command2}, Press(Id::Command2), Focus(Id::Command2), Focus(Id::Command3), Focus(Id::Command1)},
        // No rule of their own: Enter presses the button, the rest follows the window's tab order.
        {{Id::Command4}, Press(Id::Command4), Next, Previous, Previous},
        {{Id::Text2}, Next, Next, Previous, Previous},
    };
    for (const Row& row : rows) {
        const auto name = static_cast<int>(row.from.id) * 100 + row.from.index;
        EXPECT_EQ(Navigate(row.from, KeyCode::Return, 0, state), row.enter) << name;
        EXPECT_EQ(Navigate(row.from, KeyCode::Tab, 0, state), row.tab) << name;
        EXPECT_EQ(Navigate(row.from, KeyCode::Return, ShiftBits::Shift, state), row.shiftEnter) << name;
        EXPECT_EQ(Navigate(row.from, KeyCode::Tab, ShiftBits::Shift, state), row.shiftTab) << name;
    }
}

TEST(Navigate, EmptyBoxesWalkToText1) {
    const NavigationState state = Loaded();
    ControlRef at{Id::Text4, 0};
    std::vector<ControlRef> visited;
    while (at.id == Id::Text4) {
        at = Navigate(at, KeyCode::Return, 0, state).target;
        visited.push_back(at);
    }
    ASSERT_EQ(visited.size(), 10u);
    EXPECT_EQ(visited[8], (ControlRef{Id::Text4, 9}));
    EXPECT_EQ(visited.back(), (ControlRef{Id::Text1}));
}

TEST(Navigate, CtrlAndAltMatchNothingButF12AlwaysLeaves) {
    const NavigationState state = Loaded();
    for (int shift : {Ctrl, Ctrl | ShiftBits::Shift, Alt, Alt | ShiftBits::Shift, Ctrl | Alt}) {
        for (Id id : {Id::File1, Id::Text1, Id::Command2, Id::Text4}) {
            EXPECT_EQ(Navigate({id}, KeyCode::Return, shift, state), NavigationAction{}) << shift;
            EXPECT_EQ(Navigate({id}, KeyCode::Tab, shift, state), NavigationAction{}) << shift;
        }
        EXPECT_EQ(Navigate({Id::Text4, 3}, KeyCode::F12, shift, state), Press(Id::Command2));
    }
    EXPECT_EQ(Navigate({Id::Command4}, KeyCode::F12, 0, state), Press(Id::Command2));
    // Space, arrows and letters keep their ordinary meaning.
    for (int key : {32, 37, 40, 65}) {
        EXPECT_EQ(Navigate({Id::Command1}, key, 0, state), NavigationAction{}) << key;
    }
}

TEST(Navigate, DisabledTargetsLandOnTheFileList) {
    const NavigationState start; // before the first load
    EXPECT_EQ(Navigate({Id::Text3}, KeyCode::Return, 0, start), Focus(Id::File1));
    EXPECT_EQ(Navigate({Id::Text1}, KeyCode::Return, 0, start), Focus(Id::File1));
    EXPECT_EQ(Navigate({Id::Text1}, KeyCode::Return, ShiftBits::Shift, start), Focus(Id::File1));
    EXPECT_EQ(Navigate({Id::Command2}, KeyCode::Return, ShiftBits::Shift, start), Focus(Id::File1));
    EXPECT_EQ(Navigate({Id::Command2}, KeyCode::Tab, ShiftBits::Shift, start), Focus(Id::File1));
    EXPECT_EQ(Navigate({Id::Text4, 0}, KeyCode::Return, ShiftBits::Shift, start), Focus(Id::File1));
    // Boxes and the check box are never disabled.
    EXPECT_EQ(Navigate({Id::Text4, 2}, KeyCode::Return, 0, start), Focus(Id::Text4, 3));
    EXPECT_EQ(Navigate({Id::Check1}, KeyCode::Return, 0, start), Focus(Id::Text3));
}

} // namespace
} // namespace parlowen
