#pragma once

#include "MainWindowLayout.h"

#include <QObject>
#include <QPoint>

class QAction;
class QMenu;

namespace parlowen {

// The main window's copy and paste: the copy menu that a right click opens on the check view, the paste menu
// of the speaker keyword boxes, and the usual copy and paste keys anywhere in the window. Menu and key act
// alike on whichever control has the focus.
class CopyPasteMenus : public QObject {
    Q_OBJECT

  public:
    CopyPasteMenus(QWidget& mainWindow, const MainWindowControls& controls);

  private:
    void onCheckViewMousePressed(Qt::MouseButton button, QPoint position);
    void onSpeakerKeywordMousePressed(Qt::MouseButton button, QPoint position);
    void onCopyTriggered();
    void onPasteTriggered();

    QWidget& mainWindow_;
    QMenu* copyMenu_ = nullptr;
    QMenu* pasteMenu_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
};

} // namespace parlowen
