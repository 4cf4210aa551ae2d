#pragma once

#include "MainWindowLayout.h"
#include "MessageBoxes.h"
#include "ProgramState.h"

#include <QObject>
#include <QPointer>

namespace parlowen {

class ColourButton;
class PaletteWindow;

// The way from a colour button to the palette and back: the button becomes colourTarget and the palette
// opens on the page colour previewed so far; a confirmed cell is written to the button's slot of the colour
// table and to pickedColour, and the focus returns to the button, which shows the preview.
class PaletteHandOff : public QObject {
    Q_OBJECT

  public:
    PaletteHandOff(ProgramState& programState, MessageBoxes& messageBoxes, QWidget& mainWindow,
                   const MainWindowControls& controls);

    void Open(ColourButton* target);
    // Paints the colour picked for this button on its boxes, when it is the target that just got one.
    void ShowPreview(ColourButton* button);
    // The background of entryKeywordBox: the page colour as previewed so far.
    QColor PagePreviewColour() const;
    // The palette window while it exists (built on first use, destroyed when closed through its frame).
    PaletteWindow* Palette() const;

  private:
    void Chosen(int cell);
    void BackToTarget();

    ProgramState& programState_;
    MessageBoxes& messageBoxes_;
    QWidget& mainWindow_;
    const MainWindowControls& controls_;
    QPointer<PaletteWindow> palette_;
};

} // namespace parlowen
