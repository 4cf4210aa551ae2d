#include "KeyCodes.h"

#include <utility>

namespace parlowen {

namespace {

// Keys whose codes are not simply their ASCII value (letters and digits are).
constexpr std::pair<int, std::int16_t> KeyCodes[] = {
    {Qt::Key_Backspace, 8},   {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},     {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},     {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},      {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},        {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},   {Qt::Key_Zenkaku_Hankaku, 25},
    {Qt::Key_Escape, 27},     {Qt::Key_Henkan, 28},
    {Qt::Key_Muhenkan, 29},   {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},     {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},        {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},       {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},      {Qt::Key_Down, 40},
    {Qt::Key_Select, 41},     {Qt::Key_Print, 42},
    {Qt::Key_Execute, 43},    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},     {Qt::Key_Help, 47},
    {Qt::Key_Meta, 91},       {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},   {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186}, {Qt::Key_Equal, 187},
    {Qt::Key_Comma, 188},     {Qt::Key_Minus, 189},
    {Qt::Key_Period, 190},    {Qt::Key_Slash, 191},
    {Qt::Key_QuoteLeft, 192}, {Qt::Key_BracketLeft, 219},
    {Qt::Key_Backslash, 220}, {Qt::Key_BracketRight, 221},
};

// The number pad sends its own codes: digits 96-105 and the operators 106-111.
std::int16_t KeypadCode(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return static_cast<std::int16_t>(96 + (key - Qt::Key_0));
    }
    switch (key) {
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return 107;
    case Qt::Key_Minus:
        return 109;
    case Qt::Key_Period:
        return 110;
    case Qt::Key_Slash:
        return 111;
    default:
        return 0;
    }
}

std::int16_t CodeOf(int key, bool keypad) {
    if (keypad) {
        if (std::int16_t code = KeypadCode(key); code != 0) {
            return code;
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return static_cast<std::int16_t>(key);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return static_cast<std::int16_t>(112 + (key - Qt::Key_F1));
    }
    if (key == Qt::Key_Apostrophe || key == Qt::Key_QuoteDbl) {
        return 222;
    }
    for (const auto& [qtKey, code] : KeyCodes) {
        if (qtKey == key) {
            return code;
        }
    }
    return KeyCode::Unassigned;
}

} // namespace

KeyPress ToKeyPress(QKeyCombination key) {
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    std::int16_t shift = ShiftBits::None;
    // Shift+Tab arrives as its own key, sometimes without the Shift modifier.
    if (modifiers.testFlag(Qt::ShiftModifier) || key.key() == Qt::Key_Backtab) {
        shift |= ShiftBits::Shift;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        shift |= ShiftBits::Ctrl;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        shift |= ShiftBits::Alt;
    }
    return {CodeOf(key.key(), modifiers.testFlag(Qt::KeypadModifier)), shift};
}

QList<QKeySequence> F12WithAnyModifiers() {
    QList<QKeySequence> keys;
    for (int bits = 0; bits < 8; ++bits) {
        Qt::KeyboardModifiers modifiers;
        modifiers.setFlag(Qt::ShiftModifier, (bits & ShiftBits::Shift) != 0);
        modifiers.setFlag(Qt::ControlModifier, (bits & ShiftBits::Ctrl) != 0);
        modifiers.setFlag(Qt::AltModifier, (bits & ShiftBits::Alt) != 0);
        keys.append(QKeySequence(QKeyCombination(modifiers, Qt::Key_F12)));
    }
    return keys;
}

} // namespace parlowen
