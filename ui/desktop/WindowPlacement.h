#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace parlowen {

// Where a window's outer frame goes in the screen's available area (the screen without its panels): the
// middle, lifted by 200 twips, then moved back so that the whole frame is on it, or, for a frame larger
// than the area, so that its top left corner (the title bar) is.
QPoint PlacementOnScreen(const QRect& availableArea, const QSize& outerSize, double dotsPerInch);

// Moves a window there on its own screen, the way both windows place themselves.
void PlaceCentredWithLift(QWidget& window, double dotsPerInch);

} // namespace parlowen
