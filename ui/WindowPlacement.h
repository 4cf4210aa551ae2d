#pragma once

class QWidget;

namespace parlowen {

// Moves a window's outer frame to the middle of its screen, lifted by 200 twips, the way both windows place
// themselves.
void PlaceCentredWithLift(QWidget& window, double dotsPerInch);

} // namespace parlowen
