#pragma once

#include "ColorTable.h"
#include "ColourButton.h"

#include <QPointer>
#include <QString>

namespace parlowen {

// The program-wide state shared by the main window and the palette window. One instance lives for the
// whole run; main() owns it and hands it to the windows.
class Module1 {
  public:
    ::parlowen::ColorTable ColorTable;
    double LoadedLineCount = 0;         // the lines the last load kept: the total of the save counters
    QPointer<ColourButton> ColorTarget; // the colour button that opened the palette most recently, or none
    QString PickedColor;                // the last confirmed colour as a packed value in decimal, or empty
};

} // namespace parlowen
