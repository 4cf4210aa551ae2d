#include "KeyCodes.h"

#include <QSet>

#include <gtest/gtest.h>

using parlowen::ToKeyPress;

TEST(KeyCodesTest, QtKeysBecomeKeyCodesAndShiftBits) {
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
    const std::tuple<QKeyCombination, int, int> cases[] = {
        {Qt::Key_Return, 13, 0},
        {Qt::KeypadModifier | Qt::Key_Enter, 13, 0},
        {Qt::Key_Tab, 9, 0},
        {shift | Qt::Key_Backtab, 9, 1},
        {Qt::Key_Backtab, 9, 1}, // Shift+Tab is a key of its own in Qt, sometimes without the modifier
        {shift | Qt::Key_Return, 13, 1},
        {ctrl | Qt::Key_Return, 13, 2},
        {(ctrl | shift) | Qt::Key_Return, 13, 3},
        {alt | Qt::Key_Return, 13, 4},
        {(alt | ctrl | shift) | Qt::Key_F12, 123, 7},
        {Qt::MetaModifier | Qt::Key_F12, 123, 0},
        {Qt::Key_F1, 112, 0},
        {Qt::Key_Left, 37, 0},
        {Qt::Key_Down, 40, 0},
        {Qt::Key_Home, 36, 0},
        {Qt::Key_Space, 32, 0},
        {Qt::Key_Escape, 27, 0},
        {Qt::Key_Delete, 46, 0},
        {shift | Qt::Key_Z, 90, 1},
        {Qt::Key_0, 48, 0},
        {Qt::KeypadModifier | Qt::Key_5, 101, 0},
        {Qt::Key_Minus, 189, 0},
        {Qt::KeypadModifier | Qt::Key_Minus, 109, 0},
        {Qt::Key_Zenkaku_Hankaku, 25, 0},
    };
    for (const auto& [key, code, bits] : cases) {
        EXPECT_EQ(ToKeyPress(key),
                  (parlowen::KeyPress{static_cast<std::int16_t>(code), static_cast<std::int16_t>(bits)}))
            << "Qt key 0x" << std::hex << key.toCombined();
    }
}

// A key reported as 0 looked like no key at all to the file list, whose next selection change then loaded.
TEST(KeyCodesTest, EveryKeyHasACode) {
    for (const QKeyCombination key :
         {QKeyCombination(Qt::Key_Underscore), QKeyCombination(Qt::Key_At), QKeyCombination(Qt::Key_Colon),
          QKeyCombination(Qt::Key_AsciiCircum), QKeyCombination(Qt::ShiftModifier, Qt::Key_Exclam),
          QKeyCombination(Qt::Key_yen), QKeyCombination(Qt::Key_MediaPlay),
          QKeyCombination(Qt::Key_unknown)}) {
        EXPECT_NE(ToKeyPress(key).keyCode, 0) << "Qt key 0x" << std::hex << key.toCombined();
    }
}

TEST(KeyCodesTest, F12LeavesWhateverElseIsHeld) {
    const QList<QKeySequence> keys = parlowen::F12WithAnyModifiers();
    EXPECT_EQ(QSet<QKeySequence>(keys.begin(), keys.end()).size(), 8);
    for (const QKeySequence& key : keys) {
        EXPECT_EQ(parlowen::ToKeyPress(key[0]).keyCode, parlowen::KeyCode::F12)
            << key.toString().toStdString();
    }
}
