#include "LogOperationRunner.h"

#include "ForwardedOperations.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <exception>
#include <memory>

namespace parlowen {

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

LogOperationRunner::LogOperationRunner(QWidget& window, WindowOperations& operations)
    : window_(window), operations_(operations) {}

LogOperationRunner::~LogOperationRunner() = default;

bool LogOperationRunner::runInBackground(const std::function<void(WindowOperations&)>& dialogue) {
    if (running_) {
        return false;
    }
    running_ = true;
    std::exception_ptr failure;
    {
        ForwardedOperations forwarded(operations_, *this);
        std::unique_ptr<QThread> worker(QThread::create([&] {
            try {
                dialogue(forwarded);
            } catch (...) {
                failure = std::current_exception();
            }
            forwarded.publishCount();
        }));
        // Input sent to the window directly is refused. Disabling the window instead would take the focus
        // from its control and disable the boxes it owns.
        qApp->installEventFilter(this);
        QEventLoop loop;
        bool ended = false;
        connect(worker.get(), &QThread::finished, &loop, [&] {
            ended = true;
            loop.quit();
        });
        worker->start();
        // The desktop's keys and clicks wait in its queue, so that what the user types ahead reaches the
        // window after the dialogue, as it would if the dialogue held the GUI thread.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        // A loop started after the application was told to quit returns at once; the dialogue may still
        // need the GUI thread for its last questions.
        while (!ended) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                            QEventLoop::ExcludeUserInputEvents);
        }
        worker->wait();
        qApp->removeEventFilter(this);
    }
    running_ = false;
    if (failure) {
        std::rethrow_exception(failure);
    }
    if (closeRequested_) {
        closeRequested_ = false;
        // Once the handler that ran the dialogue has finished with the window.
        QMetaObject::invokeMethod(&window_, &QWidget::close, Qt::QueuedConnection);
    }
    return true;
}

bool LogOperationRunner::eventFilter(QObject* receiver, QEvent* event) {
    if (event->type() == QEvent::Close && receiver == &window_) {
        closeRequested_ = true;
        event->ignore();
        return true;
    }
    return IsUserInput(event->type()) && blocksInput(receiver);
}

// Only the box the dialogue shows takes input; the window, its menus and its other windows wait.
bool LogOperationRunner::blocksInput(QObject* receiver) const {
    const QWidget* modal = QApplication::activeModalWidget();
    // The desktop's input comes to a native window first; stopped there, a click does not even move the
    // focus, which Qt gives before any filter of the widget is asked.
    if (receiver->isWindowType()) {
        return !modal || modal->windowHandle() != static_cast<QWindow*>(receiver);
    }
    QObject* object = receiver;
    while (object && !object->isWidgetType()) {
        object = object->parent();
    }
    if (!object) {
        return false;
    }
    const auto* widget = static_cast<QWidget*>(object);
    return !modal || widget->window() != modal;
}

} // namespace parlowen
