#include "Navigation.h"

#include "Keys.h"

#include <gtest/gtest.h>

namespace parlowen {
namespace {

using Kind = NavigationAction::Kind;
using Id = ControlId;

constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers Alt = Qt::AltModifier;

NavigationState Loaded() {
    NavigationState state;
    state.convertEnabled = state.exportEnabled = state.pageColourEnabled = state.entryColourEnabled = true;
    state.speakerColourEnabled.fill(true);
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
        {{Id::LogList},
         Press(Id::LogList),
         Press(Id::LogList),
         Focus(Id::ProductInfoButton),
         Focus(Id::ProductInfoButton)},
        {{Id::EmphasisBox},
         Focus(Id::EntryKeywordBox),
         Focus(Id::EntryKeywordBox),
         Focus(Id::LogList),
         Focus(Id::LogList)},
        {{Id::EntryKeywordBox},
         Focus(Id::EntryColourButton),
         Focus(Id::EntryColourButton),
         Focus(Id::EmphasisBox),
         Focus(Id::EmphasisBox)},
        {{Id::EntryColourButton},
         Press(Id::EntryColourButton),
         Focus(Id::PageColourButton),
         Focus(Id::EntryKeywordBox),
         Focus(Id::EntryKeywordBox)},
        {{Id::PageColourButton},
         Press(Id::PageColourButton),
         Focus(Id::SpeakerKeywordBox, 0),
         Focus(Id::EntryColourButton),
         Focus(Id::EntryColourButton)},
        {{Id::SpeakerKeywordBox, 0},
         Focus(Id::SpeakerKeywordBox, 1),
         Focus(Id::SpeakerKeywordBox, 1),
         Focus(Id::PageColourButton),
         Focus(Id::PageColourButton)},
        {{Id::SpeakerKeywordBox, 4},
         Focus(Id::SpeakerColourButton, 4),
         Focus(Id::SpeakerColourButton, 4),
         Focus(Id::SpeakerKeywordBox, 3),
         Focus(Id::SpeakerKeywordBox, 3)},
        {{Id::SpeakerKeywordBox, 5},
         Focus(Id::SpeakerKeywordBox, 6),
         Focus(Id::SpeakerKeywordBox, 6),
         Focus(Id::SpeakerColourButton, 4),
         Focus(Id::SpeakerColourButton, 4)},
        {{Id::SpeakerKeywordBox, 9},
         Focus(Id::CheckView),
         Focus(Id::CheckView),
         Focus(Id::SpeakerKeywordBox, 8),
         Focus(Id::SpeakerKeywordBox, 8)},
        {{Id::SpeakerColourButton, 4},
         Press(Id::SpeakerColourButton, 4),
         Focus(Id::SpeakerKeywordBox, 5),
         Focus(Id::SpeakerKeywordBox, 4),
         Focus(Id::SpeakerKeywordBox, 4)},
        {{Id::SpeakerColourButton, 9},
         Press(Id::SpeakerColourButton, 9),
         Focus(Id::CheckView),
         Focus(Id::SpeakerKeywordBox, 9),
         Focus(Id::SpeakerKeywordBox, 9)},
        {{Id::CheckView},
         Focus(Id::ConvertButton),
         Focus(Id::ConvertButton),
         Focus(Id::SpeakerColourButton, 9),
         Focus(Id::SpeakerColourButton, 9)},
        {{Id::ConvertButton},
         Press(Id::ConvertButton),
         Focus(Id::ExportButton),
         Focus(Id::CheckView),
         Focus(Id::CheckView)},
        {{Id::ExportButton},
         Press(Id::ExportButton),
         Focus(Id::ExitButton),
         Focus(Id::ConvertButton),
         Focus(Id::ConvertButton)},
        {{Id::ExitButton},
         Press(Id::ExitButton),
         Focus(Id::ExitButton),
         Focus(Id::ExportButton),
         Focus(Id::ConvertButton)},
        // No rule of their own: Enter presses the button, the rest follows the window's tab order.
        {{Id::ProductInfoButton}, Press(Id::ProductInfoButton), Next, Previous, Previous},
        {{Id::LogNameBox}, Next, Next, Previous, Previous},
    };
    for (const Row& row : rows) {
        const auto name = static_cast<int>(row.from.id) * 100 + row.from.index;
        EXPECT_EQ(Navigate(row.from, None | Qt::Key_Return, state), row.enter) << name;
        EXPECT_EQ(Navigate(row.from, None | Qt::Key_Tab, state), row.tab) << name;
        EXPECT_EQ(Navigate(row.from, Shift | Qt::Key_Return, state), row.shiftEnter) << name;
        EXPECT_EQ(Navigate(row.from, Shift | Qt::Key_Tab, state), row.shiftTab) << name;
    }
}

TEST(Navigate, EmptyBoxesWalkToCheckView) {
    const NavigationState state = Loaded();
    ControlRef at{Id::SpeakerKeywordBox, 0};
    std::vector<ControlRef> visited;
    while (at.id == Id::SpeakerKeywordBox) {
        at = Navigate(at, None | Qt::Key_Return, state).target;
        visited.push_back(at);
    }
    ASSERT_EQ(visited.size(), 10u);
    EXPECT_EQ(visited[8], (ControlRef{Id::SpeakerKeywordBox, 9}));
    EXPECT_EQ(visited.back(), (ControlRef{Id::CheckView}));
}

TEST(Navigate, CtrlAndAltMatchNothingButF12AlwaysLeaves) {
    const NavigationState state = Loaded();
    for (Qt::KeyboardModifiers shift : {Ctrl, Ctrl | Shift, Alt, Alt | Shift, Ctrl | Alt}) {
        for (Id id : {Id::LogList, Id::CheckView, Id::ExitButton, Id::SpeakerKeywordBox}) {
            EXPECT_EQ(Navigate({id}, shift | Qt::Key_Return, state), NavigationAction{}) << shift.toInt();
            EXPECT_EQ(Navigate({id}, shift | Qt::Key_Tab, state), NavigationAction{}) << shift.toInt();
        }
        EXPECT_EQ(Navigate({Id::SpeakerKeywordBox, 3}, shift | Qt::Key_F12, state), Press(Id::ExitButton));
    }
    EXPECT_EQ(Navigate({Id::ProductInfoButton}, None | Qt::Key_F12, state), Press(Id::ExitButton));
    // Space, arrows and letters keep their ordinary meaning.
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Left, Qt::Key_Down, Qt::Key_A}) {
        EXPECT_EQ(Navigate({Id::ConvertButton}, None | key, state), NavigationAction{}) << key;
    }
}

TEST(Navigate, DisabledTargetsLandOnTheLogList) {
    const NavigationState start; // before the first load
    EXPECT_EQ(Navigate({Id::EntryKeywordBox}, None | Qt::Key_Return, start), Focus(Id::LogList));
    EXPECT_EQ(Navigate({Id::CheckView}, None | Qt::Key_Return, start), Focus(Id::LogList));
    EXPECT_EQ(Navigate({Id::CheckView}, Shift | Qt::Key_Return, start), Focus(Id::LogList));
    EXPECT_EQ(Navigate({Id::ExitButton}, Shift | Qt::Key_Return, start), Focus(Id::LogList));
    EXPECT_EQ(Navigate({Id::ExitButton}, Shift | Qt::Key_Tab, start), Focus(Id::LogList));
    EXPECT_EQ(Navigate({Id::SpeakerKeywordBox, 0}, Shift | Qt::Key_Return, start), Focus(Id::LogList));
    // Boxes and the check box are never disabled.
    EXPECT_EQ(Navigate({Id::SpeakerKeywordBox, 2}, None | Qt::Key_Return, start),
              Focus(Id::SpeakerKeywordBox, 3));
    EXPECT_EQ(Navigate({Id::EmphasisBox}, None | Qt::Key_Return, start), Focus(Id::EntryKeywordBox));
}

} // namespace
} // namespace parlowen
