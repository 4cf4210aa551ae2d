#include "ClipboardText.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace parlowen;

TEST(ClipboardTextTest, KeywordCutKeepsTheFirstTenCharactersAsTheyAre) {
    EXPECT_EQ(KeywordCut(u"たろう> こんにちは、みなさん"_qs), u"たろう> こんにちは"_qs);
    EXPECT_EQ(KeywordCut(" a\r\nb"), " a\r\nb");
    EXPECT_EQ(KeywordCut(""), "");
}

// Copy and paste belong to the window's actions; cut, typing and the other buttons stay with the control.
TEST(ClipboardTextTest, TextControlsLeaveCopyAndPasteToTheWindowAndDropTheMiddleButton) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        TextControlEvent route;
    };
    const Case keys[] = {
        {Qt::Key_C, Qt::ControlModifier, TextControlEvent::LeaveToWindow},
        {Qt::Key_V, Qt::ControlModifier, TextControlEvent::LeaveToWindow},
        {Qt::Key_Insert, Qt::ShiftModifier, TextControlEvent::LeaveToWindow},
        {Qt::Key_X, Qt::ControlModifier, TextControlEvent::Handle},
        {Qt::Key_A, Qt::ControlModifier, TextControlEvent::Handle},
        {Qt::Key_V, Qt::NoModifier, TextControlEvent::Handle},
    };
    for (const Case& test : keys) {
        const QKeyEvent override(QEvent::ShortcutOverride, test.key, test.modifiers);
        EXPECT_EQ(RouteTextControlEvent(override), test.route) << test.key;
    }
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            const QMouseEvent mouse(type, QPointF(1, 1), QPointF(1, 1), button, button, Qt::NoModifier);
            EXPECT_EQ(RouteTextControlEvent(mouse),
                      button == Qt::MiddleButton ? TextControlEvent::Drop : TextControlEvent::Handle);
        }
    }
}
