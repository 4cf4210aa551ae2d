#include "Keys.h"

#include <QSet>

#include <gtest/gtest.h>

using parlowen::NormalisedKey;

TEST(KeysTest, EnterBacktabAndStrayModifiersAreNormalised) {
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
    const std::pair<QKeyCombination, QKeyCombination> cases[] = {
        {Qt::Key_Return, Qt::Key_Return},
        {Qt::KeypadModifier | Qt::Key_Enter, Qt::Key_Return},
        {Qt::Key_Tab, Qt::Key_Tab},
        {shift | Qt::Key_Backtab, shift | Qt::Key_Tab},
        {Qt::Key_Backtab,
         shift | Qt::Key_Tab}, // Shift+Tab is a key of its own in Qt, sometimes without Shift
        {shift | Qt::Key_Return, shift | Qt::Key_Return},
        {(ctrl | shift) | Qt::Key_Return, (ctrl | shift) | Qt::Key_Return},
        {alt | Qt::Key_Return, alt | Qt::Key_Return},
        {(alt | ctrl | shift) | Qt::Key_F12, (alt | ctrl | shift) | Qt::Key_F12},
        {Qt::MetaModifier | Qt::Key_F12, Qt::Key_F12},
        {Qt::KeypadModifier | Qt::Key_PageUp, Qt::Key_PageUp},
        {Qt::Key_Space, Qt::Key_Space},
        {Qt::Key_unknown, Qt::Key_unknown},
    };
    for (const auto& [key, normalised] : cases) {
        EXPECT_EQ(NormalisedKey(key), normalised) << "Qt key 0x" << std::hex << key.toCombined();
    }
}

TEST(KeysTest, F12LeavesWhateverElseIsHeld) {
    const QList<QKeySequence> keys = parlowen::F12WithAnyModifiers();
    EXPECT_EQ(QSet<QKeySequence>(keys.begin(), keys.end()).size(), 8);
    for (const QKeySequence& key : keys) {
        EXPECT_EQ(key[0].key(), Qt::Key_F12) << key.toString().toStdString();
        EXPECT_EQ(key[0].keyboardModifiers() & ~(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier),
                  Qt::NoModifier);
    }
}
