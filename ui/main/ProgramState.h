#pragma once

#include "ColorTable.h"
#include "ColourButton.h"

#include <QPointer>
#include <QRgb>
#include <QtGlobal>

#include <optional>

namespace parlowen {

// The program-wide state shared by the main window and the palette window. One instance lives for the
// whole run; main() owns it and hands it to the windows.
class ProgramState {
  public:
    ::parlowen::ColorTable colourTable;
    qint64 loadedLineCount = 0;          // the lines the last load kept: the line counter's total
    QPointer<ColourButton> colourTarget; // the colour button that opened the palette most recently, or none
    std::optional<QRgb> pickedColour;    // the last confirmed colour, none since the palette last opened
};

} // namespace parlowen
