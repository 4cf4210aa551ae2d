#pragma once

#include "MessageBoxes.h"

#include <QPointer>
#include <QWidget>

namespace parlowen {

// The real boxes: QMessageBox without icon, over the active window, else over the owner.
class QtMessageBoxes final : public MessageBoxes {
  public:
    // The main window, for the boxes that come while no window is active yet (the start-up notices).
    void SetOwner(QWidget* window);

    bool AskOkCancel(const QString& title, const QString& text) override;
    void ShowNotice(const QString& title, const QString& text) override;
    void Beep() override;

  private:
    QPointer<QWidget> owner_;
};

} // namespace parlowen
