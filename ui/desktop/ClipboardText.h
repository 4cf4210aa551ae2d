#pragma once

#include <QString>

class QEvent;

namespace parlowen {

// Keywords are at most ten characters, and so is every text the copy and paste actions move.
inline constexpr int KeywordLength = 10;

// The first ten characters of a text, exactly as they are.
QString KeywordCut(const QString& text);

// Where an event meets a text control of the main window: the copy and paste keys are left to the window's
// copy and paste actions, which move ten characters at most, and the middle button, whose X11 selection paste
// would go past that cut, is dropped.
enum class TextControlEvent { Handle, LeaveToWindow, Drop };
TextControlEvent RouteTextControlEvent(const QEvent& event);

} // namespace parlowen
