#pragma once

#include "MainWindowLayout.h"
#include "KeyCodes.h"

#include <QObject>

namespace parlowen {

// Tab and Enter on the main window's controls, along the order of the work: the rules of Navigation applied
// to what the controls hold at the moment of the key. Installed on every control but the file list, which
// reports its own keys.
class KeyboardNavigation : public QObject {
    Q_OBJECT

  public:
    explicit KeyboardNavigation(const Form1Controls& controls, QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Navigate(const ControlRef& from, const KeyPress& key);

    const Form1Controls& controls_;
};

} // namespace parlowen
