#include "ListKeyRules.h"

#include <gtest/gtest.h>

using namespace parlowen;

TEST(ListKeyRulesTest, EnterBecomesTabWhichLoadsOrWithShiftStepsBack) {
    struct Case {
        std::int16_t key, shift;
        ListKeyAction action;
        std::int16_t keyAfter;
    };
    const Case cases[] = {
        {13, 0, ListKeyAction::Load, 9},
        {9, 0, ListKeyAction::Load, 9},
        {13, 1, ListKeyAction::FocusProductInfoButton, 9},
        {9, 1, ListKeyAction::FocusProductInfoButton, 9},
        {13, 2, ListKeyAction::None, 9},
        {13, 3, ListKeyAction::None, 9},
        {9, 4, ListKeyAction::None, 9},
        {40, 0, ListKeyAction::None, 40},
        {38, 1, ListKeyAction::None, 38},
    };
    for (const Case& test : cases) {
        std::int16_t key = test.key;
        EXPECT_EQ(LogListKeyRule(key, test.shift), test.action) << test.key << " shift " << test.shift;
        EXPECT_EQ(key, test.keyAfter) << test.key << " shift " << test.shift;
    }
}

TEST(ListKeyRulesTest, TheSelectionChangeAKeyCausedDoesNotLoad) {
    std::int16_t lastListKey = 40; // Down moved the selection
    EXPECT_FALSE(LogListClickLoads(lastListKey));
    EXPECT_EQ(lastListKey, 0);
    EXPECT_TRUE(LogListClickLoads(lastListKey)); // the next click is the user's choice
    EXPECT_EQ(lastListKey, 0);
}

// With the focus on a row but nothing selected, the first arrow key selects that row instead of moving on
// from it, so a single log can be chosen from the keyboard.
TEST(ListKeyRulesTest, AMovingKeyWithNothingSelectedSelectsTheFocusedRow) {
    struct Case {
        std::int16_t key;
        bool anySelected, selects;
    };
    const Case cases[] = {
        {40, false, true},  {38, false, true},  {36, false, true}, {35, false, true},  {33, false, true},
        {34, false, true},  {40, true, false},  {36, true, false}, {13, false, false}, {9, false, false},
        {32, false, false}, {65, false, false}, {0, false, false},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(MovingKeySelectsFocusedRow(test.key, test.anySelected), test.selects)
            << test.key << " selected " << test.anySelected;
    }
}
