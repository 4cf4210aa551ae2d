#include "PaletteHandOff.h"

#include "CheckView.h"
#include "ColorChoice.h"
#include "ColourButton.h"
#include "FocusMark.h"
#include "PaletteTable.h"
#include "PaletteWindow.h"
#include "TextBox.h"

#include <QWindow>

namespace parlowen {

PaletteHandOff::PaletteHandOff(ProgramState& programState, MessageBoxes& messageBoxes, QWidget& mainWindow,
                               const MainWindowControls& controls)
    : programState_(programState), messageBoxes_(messageBoxes), mainWindow_(mainWindow), controls_(controls) {
}

PaletteWindow* PaletteHandOff::Palette() const {
    return palette_;
}

void PaletteHandOff::Open(ColourButton* target) {
    programState_.colourTarget = target;
    programState_.pickedColour.reset();
    if (!palette_) {
        palette_ = new PaletteWindow(messageBoxes_, &mainWindow_);
        connect(palette_, &PaletteWindow::ColourChosen, this, &PaletteHandOff::Chosen);
        connect(palette_, &PaletteWindow::ClosedWithoutChoice, this, &PaletteHandOff::BackToTarget);
    }
    palette_->Open([this] { return PagePreviewColour(); });
    // activateWindow() asks nothing while the main window is active, as a transient window counts as active
    // with its parent; the palette is to take the keys.
    palette_->windowHandle()->requestActivate();
}

void PaletteHandOff::Chosen(int cell) {
    const PaletteColor& colour = PaletteTable()[static_cast<std::size_t>(cell)];
    programState_.pickedColour = qRgb(colour.red, colour.green, colour.blue);
    if (programState_.colourTarget) {
        programState_.colourTable.Set(programState_.colourTarget->Slot(),
                                      QString::fromStdU16String(CellText(colour)).trimmed().toStdU16String());
    }
    BackToTarget();
}

void PaletteHandOff::BackToTarget() {
    mainWindow_.show();
    mainWindow_.raise();
    // Asked of the window system even where Qt counts the main window active through its palette.
    mainWindow_.windowHandle()->requestActivate();
    if (programState_.colourTarget) {
        programState_.colourTarget->setFocus(ProgramFocusReason);
        // Whether the window system reports the focus coming back differs between platforms, so the
        // preview is shown here as well.
        ShowPreview(programState_.colourTarget);
    }
}

QColor PaletteHandOff::PagePreviewColour() const {
    return controls_.entryKeywordBox->palette().color(QPalette::Base);
}

void PaletteHandOff::ShowPreview(ColourButton* button) {
    // Only the button that opened the palette shows what was picked there; and a palette closed without
    // a choice leaves the previews as they were rather than painting a colour nobody chose.
    if (programState_.colourTarget != button || mainWindow_.focusWidget() != button ||
        !programState_.pickedColour) {
        return;
    }
    const QRgb colour = *programState_.pickedColour;
    const std::size_t slot = button->Slot();
    if (slot == ColorTable::EntrySlot) {
        MainWindowLayout::SetRoleColour(*controls_.entryKeywordBox, QPalette::Text, colour);
    } else if (slot == ColorTable::PageSlot) {
        MainWindowLayout::SetRoleColour(*controls_.entryKeywordBox, QPalette::Base, colour);
        MainWindowLayout::SetRoleColour(*controls_.checkView, QPalette::Base, colour);
        for (TextBox* box : controls_.speakerKeywordBox) {
            MainWindowLayout::SetRoleColour(*box, QPalette::Base, colour);
        }
    } else {
        MainWindowLayout::SetRoleColour(*controls_.speakerKeywordBox.at(slot - ColorTable::SpeakerSlot(0)),
                                        QPalette::Text, colour);
    }
}

} // namespace parlowen
