#include "ListKeyRules.h"

#include <gtest/gtest.h>

using namespace parlowen;

TEST(ListKeyRulesTest, EnterIsTabWhichLoadsOrWithShiftStepsBack) {
    const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier,
                                alt = Qt::AltModifier;
    const std::pair<QKeyCombination, ListKeyAction> cases[] = {
        {none | Qt::Key_Return, ListKeyAction::Load},
        {Qt::KeypadModifier | Qt::Key_Enter, ListKeyAction::Load},
        {none | Qt::Key_Tab, ListKeyAction::Load},
        {shift | Qt::Key_Return, ListKeyAction::FocusProductInfoButton},
        {shift | Qt::Key_Tab, ListKeyAction::FocusProductInfoButton},
        {none | Qt::Key_Backtab, ListKeyAction::FocusProductInfoButton},
        {ctrl | Qt::Key_Return, ListKeyAction::None},
        {(ctrl | shift) | Qt::Key_Return, ListKeyAction::None},
        {alt | Qt::Key_Tab, ListKeyAction::None},
        {none | Qt::Key_Down, ListKeyAction::None},
        {shift | Qt::Key_Up, ListKeyAction::None},
    };
    for (const auto& [key, action] : cases) {
        EXPECT_EQ(LogListKeyRule(key), action) << "Qt key 0x" << std::hex << key.toCombined();
    }
}

TEST(ListKeyRulesTest, TheSelectionChangeAKeyCausedDoesNotLoad) {
    bool keyPending = true; // Down moved the selection
    EXPECT_FALSE(LogListClickLoads(keyPending));
    EXPECT_FALSE(keyPending);
    EXPECT_TRUE(LogListClickLoads(keyPending)); // the next click is the user's choice
    EXPECT_FALSE(keyPending);
}

// With the focus on a row but nothing selected, the first arrow key selects that row instead of moving on
// from it, so a single log can be chosen from the keyboard.
TEST(ListKeyRulesTest, AMovingKeyWithNothingSelectedSelectsTheFocusedRow) {
    struct Case {
        Qt::Key key;
        bool anySelected, selects;
    };
    const Case cases[] = {
        {Qt::Key_Down, false, true},  {Qt::Key_Up, false, true},       {Qt::Key_Home, false, true},
        {Qt::Key_End, false, true},   {Qt::Key_PageUp, false, true},   {Qt::Key_PageDown, false, true},
        {Qt::Key_Down, true, false},  {Qt::Key_Home, true, false},     {Qt::Key_Return, false, false},
        {Qt::Key_Tab, false, false},  {Qt::Key_Space, false, false},   {Qt::Key_A, false, false},
        {Qt::Key_Left, false, false}, {Qt::Key_unknown, false, false},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(MovingKeySelectsFocusedRow(test.key, test.anySelected), test.selects)
            << test.key << " selected " << test.anySelected;
    }
}
