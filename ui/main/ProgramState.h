#pragma once

#include "ColorTable.h"
#include "ColourButton.h"

#include <QPointer>
#include <QString>

namespace parlowen {

// The program-wide state shared by the main window and the palette window. One instance lives for the
// whole run; main() owns it and hands it to the windows.
class ProgramState {
  public:
    ::parlowen::ColorTable colourTable;
    double loadedLineCount = 0;          // the lines the last load kept: the total of the save counters
    QPointer<ColourButton> colourTarget; // the colour button that opened the palette most recently, or none
    QString pickedColour;                // the last confirmed colour as a packed value in decimal, or empty
};

} // namespace parlowen
