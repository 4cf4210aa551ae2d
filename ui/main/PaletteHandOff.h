#pragma once

#include "MainWindowLayout.h"
#include "MessageBoxes.h"
#include "ProgramState.h"

#include <QObject>
#include <QPointer>

namespace parlowen {

class ColourButton;
class Form2;

// The way from a colour button to the palette and back: the button becomes ColorTarget and the palette
// opens on the page colour previewed so far; a confirmed cell is written to the button's slot of the colour
// table and to PickedColor, and the focus returns to the button, which shows the preview.
class PaletteHandOff : public QObject {
    Q_OBJECT

  public:
    PaletteHandOff(Module1& module, MessageBoxes& messageBoxes, QWidget& mainWindow,
                   const Form1Controls& controls);
    ~PaletteHandOff() override;

    void Open(ColourButton* target);
    // Paints the colour picked for this button on its boxes, when it is the target that just got one.
    void ShowPreview(ColourButton* button);
    // The background of Text3: the page colour as previewed so far.
    QColor PagePreviewColour() const;
    // The palette window while it exists (built on first use, destroyed when closed through its frame).
    Form2* Palette() const;

  private:
    void Chosen(int cell);
    void BackToTarget();

    Module1& module_;
    MessageBoxes& messageBoxes_;
    QWidget& mainWindow_;
    const Form1Controls& controls_;
    QPointer<Form2> palette_;
};

} // namespace parlowen
