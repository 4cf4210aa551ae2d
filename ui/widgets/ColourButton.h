#pragma once

#include <QPushButton>

#include <cstddef>

namespace parlowen {

// A colour button of the main window (speakerColourButton, pageColourButton, entryColourButton): it opens the
// palette for its slot of the colour table.
class ColourButton : public QPushButton {
    Q_OBJECT

  public:
    ColourButton(const QString& caption, std::size_t slot, QWidget* parent = nullptr);

    std::size_t Slot() const { return slot_; }

  signals:
    void FocusEntered();

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    std::size_t slot_;
};

} // namespace parlowen
