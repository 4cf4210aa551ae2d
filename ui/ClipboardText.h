#pragma once

#include <QString>

class QKeyEvent;
class QMouseEvent;

namespace parlowen {

// Keywords are at most ten characters, and so is every text the copy and paste commands move.
inline constexpr int KeywordLength = 10;

// The first ten characters of a text, exactly as they are.
QString KeywordCut(const QString& text);

// True for the copy and paste keys. The text controls leave them to the window's copy and paste commands,
// which move ten characters at most, rather than moving whole texts themselves.
bool IsCopyOrPaste(const QKeyEvent& event);

// The middle button, whose X11 selection paste would go past the ten-character cut: the text controls
// never see it.
bool IsSelectionPaste(const QMouseEvent& event);

} // namespace parlowen
