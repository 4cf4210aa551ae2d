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
        {13, 0, ListKeyAction::Load, 9},          {9, 0, ListKeyAction::Load, 9},
        {13, 1, ListKeyAction::FocusCommand4, 9}, {9, 1, ListKeyAction::FocusCommand4, 9},
        {13, 2, ListKeyAction::None, 9},          {13, 3, ListKeyAction::None, 9},
        {9, 4, ListKeyAction::None, 9},           {40, 0, ListKeyAction::None, 40},
        {38, 1, ListKeyAction::None, 38},
    };
    for (const Case& test : cases) {
        std::int16_t key = test.key;
        EXPECT_EQ(File1KeyRule(key, test.shift), test.action) << test.key << " shift " << test.shift;
        EXPECT_EQ(key, test.keyAfter) << test.key << " shift " << test.shift;
    }
}

TEST(ListKeyRulesTest, TheSelectionChangeAKeyCausedDoesNotLoad) {
    std::int16_t lastListKey = 40; // Down moved the selection
    EXPECT_FALSE(File1ClickLoads(lastListKey));
    EXPECT_EQ(lastListKey, 0);
    EXPECT_TRUE(File1ClickLoads(lastListKey)); // the next click is the user's choice
    EXPECT_EQ(lastListKey, 0);
}
