#pragma once

#include "WindowOperations.h"

#include <QObject>

#include <functional>

class QWidget;

namespace parlowen {

// Runs the window's long dialogues (load, convert, export) on a worker thread while the event loop goes on,
// so that the window repaints and answers the desktop however large the log. The caller still waits for the
// dialogue to end, so the user meets the same questions, notices, labels and focus moves in the
// same order. Meanwhile the window takes no input (the boxes of the dialogue do), and a request to close it
// is held until the dialogue has ended, so that a log is never left half written.
class LogOperationRunner : public QObject {
    Q_OBJECT

  public:
    // operations are the window's own, used on the GUI thread; window is the one to keep still.
    LogOperationRunner(QWidget& window, WindowOperations& operations);
    ~LogOperationRunner() override;

    bool isRunning() const { return running_; }

    // Runs dialogue with operations that forward to the window's, and returns once it has ended. Returns
    // false and runs nothing while another dialogue runs.
    bool runInBackground(const std::function<void(WindowOperations&)>& dialogue);

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

  private:
    bool blocksInput(QObject* receiver) const;

    QWidget& window_;
    WindowOperations& operations_;
    bool running_ = false;
    bool closeRequested_ = false;
};

} // namespace parlowen
