#pragma once

#include "MessageBoxes.h"

namespace parlowen {

// The real boxes: QMessageBox without icon, over the active window.
class QtMessageBoxes final : public MessageBoxes {
  public:
    bool AskOkCancel(const QString& title, const QString& text) override;
    void ShowNotice(const QString& title, const QString& text) override;
    void Beep() override;
};

} // namespace parlowen
