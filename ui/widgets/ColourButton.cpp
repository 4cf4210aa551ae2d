#include "ColourButton.h"

namespace parlowen {

ColourButton::ColourButton(const QString& caption, std::size_t slot, QWidget* parent)
    : QPushButton(caption, parent), slot_(slot) {
    setAutoDefault(false);
}

void ColourButton::focusInEvent(QFocusEvent* event) {
    QPushButton::focusInEvent(event);
    emit FocusEntered();
}

} // namespace parlowen
