#pragma once

#include <QKeyCombination>
#include <QKeySequence>
#include <QList>

#include <cstdint>

namespace parlowen {

// The one vocabulary of keys in the program: the key codes and shift bits every key handler and rule works
// with (Enter 13, Tab 9, Space 32, F12 123; Shift 1, Ctrl 2, Alt 4).
namespace KeyCode {
// InputMethod is what a key handler receives for a key the input method takes, Unassigned for a key that has
// no code of its own: every key press is a key, none arrives as 0.
// clang-format off
enum : std::int16_t {
    Tab = 9, Return = 13, Space = 32, PageUp = 33, PageDown = 34, End = 35, Home = 36, Up = 38, Down = 40,
    F12 = 123, InputMethod = 229, Unassigned = 255,
};
// clang-format on
} // namespace KeyCode

namespace ShiftBits {
enum : std::int16_t { None = 0, Shift = 1, Ctrl = 2, Alt = 4 };
} // namespace ShiftBits

struct KeyPress {
    std::int16_t keyCode = 0;
    std::int16_t shift = 0;
    friend bool operator==(const KeyPress&, const KeyPress&) = default;
};

KeyPress ToKeyPress(QKeyCombination key);

// F12 alone and with every combination of Shift, Ctrl and Alt: F12 leaves whatever else is held.
QList<QKeySequence> F12WithAnyModifiers();

} // namespace parlowen
