#pragma once

#include <QKeyCombination>
#include <QKeySequence>
#include <QList>

#include <cstdint>

namespace parlowen {

// The one vocabulary of keys in the program: the key codes and shift bits every key handler and rule works
// with (Enter 13, Tab 9, Space 32, F12 123; Shift 1, Ctrl 2, Alt 4).
namespace KeyCode {
inline constexpr std::int16_t Tab = 9;
inline constexpr std::int16_t Return = 13;
inline constexpr std::int16_t Space = 32;
inline constexpr std::int16_t PageUp = 33;
inline constexpr std::int16_t PageDown = 34;
inline constexpr std::int16_t End = 35;
inline constexpr std::int16_t Home = 36;
inline constexpr std::int16_t Up = 38;
inline constexpr std::int16_t Down = 40;
inline constexpr std::int16_t F12 = 123;
// What a key handler receives for a key the input method takes, and for a key that has no code of its own:
// every key press is a key, none arrives as 0.
inline constexpr std::int16_t InputMethod = 229;
inline constexpr std::int16_t Unassigned = 255;
} // namespace KeyCode

namespace ShiftBits {
inline constexpr std::int16_t None = 0;
inline constexpr std::int16_t Shift = 1;
inline constexpr std::int16_t Ctrl = 2;
inline constexpr std::int16_t Alt = 4;
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
