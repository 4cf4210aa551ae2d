#pragma once

#include <QKeyCombination>
#include <QKeySequence>
#include <QList>

namespace parlowen {

// A key as the rules read it: Enter on the number pad is Enter, Shift+Tab (which Qt may report as Backtab
// without Shift) is Tab with Shift, and only Shift, Ctrl and Alt count as modifiers.
QKeyCombination NormalisedKey(QKeyCombination key);

// F12 alone and with every combination of Shift, Ctrl and Alt: F12 leaves whatever else is held.
QList<QKeySequence> F12WithAnyModifiers();

} // namespace parlowen
