#pragma once

#include "Keys.h"
#include "MainWindowLayout.h"

#include <QObject>

namespace parlowen {

// Tab and Enter on the main window's controls, along the order of the work: the rules of Navigation applied
// to what the controls hold at the moment of the key. Installed on every control but the log list, which
// reports its own keys.
class KeyboardNavigation : public QObject {
    Q_OBJECT

  public:
    explicit KeyboardNavigation(const MainWindowControls& controls, QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Navigate(const ControlRef& from, QKeyCombination key);

    const MainWindowControls& controls_;
};

} // namespace parlowen
