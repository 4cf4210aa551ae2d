#include "PaletteHandOff.h"

#include "CheckView.h"
#include "ColorChoice.h"
#include "ColourButton.h"
#include "FocusMark.h"
#include "PaletteWindow.h"
#include "PaletteTable.h"
#include "TextBox.h"

#include <QWindow>

namespace parlowen {

PaletteHandOff::PaletteHandOff(Module1& module, MessageBoxes& messageBoxes, QWidget& mainWindow,
                               const Form1Controls& controls)
    : module_(module), messageBoxes_(messageBoxes), mainWindow_(mainWindow), controls_(controls) {}

PaletteHandOff::~PaletteHandOff() {
    delete palette_;
}

Form2* PaletteHandOff::Palette() const {
    return palette_;
}

void PaletteHandOff::Open(ColourButton* target) {
    module_.ColorTarget = target;
    module_.PickedColor.clear();
    if (!palette_) {
        palette_ = new Form2(messageBoxes_, &mainWindow_);
        connect(palette_, &Form2::ColourChosen, this, &PaletteHandOff::Chosen);
        connect(palette_, &Form2::ClosedWithoutChoice, this, &PaletteHandOff::BackToTarget);
    }
    palette_->Open([this] { return PagePreviewColour(); });
    // activateWindow() asks nothing while the main window is active, as a transient window counts as active
    // with its parent; the palette is to take the keys.
    palette_->windowHandle()->requestActivate();
}

void PaletteHandOff::Chosen(int cell) {
    const PaletteColor& colour = PaletteTable()[static_cast<std::size_t>(cell)];
    module_.PickedColor = QLatin1Char(' ') + QString::number(PackedColor(colour));
    if (module_.ColorTarget) {
        module_.ColorTable.Set(module_.ColorTarget->Slot(),
                               QString::fromStdU16String(CellText(colour)).trimmed().toStdU16String());
    }
    BackToTarget();
}

void PaletteHandOff::BackToTarget() {
    mainWindow_.show();
    mainWindow_.raise();
    // Asked of the window system even where Qt counts the main window active through its palette.
    mainWindow_.windowHandle()->requestActivate();
    if (module_.ColorTarget) {
        module_.ColorTarget->setFocus(ProgramFocusReason);
        // Whether the window system reports the focus coming back differs between platforms, so the
        // preview is shown here as well.
        ShowPreview(module_.ColorTarget);
    }
}

QColor PaletteHandOff::PagePreviewColour() const {
    return controls_.Text3->palette().color(QPalette::Base);
}

void PaletteHandOff::ShowPreview(ColourButton* button) {
    // Only the button that opened the palette shows what was picked there; and a palette closed without
    // a choice leaves the previews as they were rather than painting a colour nobody chose.
    if (module_.ColorTarget != button || mainWindow_.focusWidget() != button ||
        module_.PickedColor.isEmpty()) {
        return;
    }
    const int packed = PickedColorValue(module_.PickedColor);
    const QRgb colour = qRgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
    const std::size_t slot = button->Slot();
    if (slot == ColorTable::EntrySlot) {
        Form1Layout::SetRoleColour(*controls_.Text3, QPalette::Text, colour);
    } else if (slot == ColorTable::PageSlot) {
        Form1Layout::SetRoleColour(*controls_.Text3, QPalette::Base, colour);
        Form1Layout::SetRoleColour(*controls_.Text1, QPalette::Base, colour);
        for (TextBox* box : controls_.Text4) {
            Form1Layout::SetRoleColour(*box, QPalette::Base, colour);
        }
    } else {
        Form1Layout::SetRoleColour(*controls_.Text4.at(slot - ColorTable::SpeakerSlot(0)), QPalette::Text,
                                   colour);
    }
}

} // namespace parlowen
