#pragma once

#include <QString>

class QKeyEvent;
class QMenu;
class QMouseEvent;

namespace parlowen {

// Keywords are at most ten characters, and so is every text the copy and paste commands move.
inline constexpr int KeywordLength = 10;

// The first ten characters of a text, exactly as they are.
QString KeywordCut(const QString& text);

// True for the copy and paste keys. The text controls leave them to the window's copy and paste commands,
// which move ten characters at most, rather than moving whole texts themselves.
bool IsCopyOrPaste(const QKeyEvent& event);

// A mouse press on a text control that the control must not see: the right button shows the control's popup
// menu when it has one, and the middle button would paste the X11 selection past the ten-character cut.
bool TakeMousePress(const QMouseEvent& event, QMenu* popupMenu);

} // namespace parlowen
