#pragma once

#include "WindowOperations.h"

#include <QElapsedTimer>

#include <mutex>

class QObject;

namespace parlowen {

// The window operations of a dialogue that runs on a worker thread: each call is carried out by the
// window's own operations on the GUI thread, and the worker waits for it, so that the dialogue sees the same
// answers in the same order as when it ran on the GUI thread. The line counter alone is not waited for:
// it comes once per line, so only its latest value travels, a few times a second, and every other call
// shows it first.
class ForwardedOperations final : public WindowOperations {
  public:
    // How often at most the worker sends the counter on; the window repaints it less often still.
    static constexpr qint64 CounterSendMilliseconds = 15;

    // guiObject lives on the GUI thread; the calls are carried out in its context.
    ForwardedOperations(WindowOperations& window, QObject& guiObject);
    // On the GUI thread, once the dialogue has ended: a count still on its way is shown first.
    ~ForwardedOperations() override;
    ForwardedOperations(const ForwardedOperations&) = delete;
    ForwardedOperations& operator=(const ForwardedOperations&) = delete;

    bool AskOkCancel(std::u16string_view title, std::u16string_view text) override;
    void ShowNotice(std::u16string_view title, std::u16string_view text) override;
    void Beep() override;
    void SetBusy(bool on) override;
    void SetStateLabel(std::u16string_view text, Rgb colour) override;
    void SetLineCounter(const LineCount& lineCount) override;
    void SetCheckText(std::u16string text) override;
    void SetCheckFile(CheckFile file) override;
    void SetCheckLines(CheckLines lines) override;
    bool ShowsCheckText() const override;
    void MoveFocus(FocusTarget target) override;

    // On the worker thread: makes the last count the one the window will show next.
    void publishCount();
    // On the GUI thread: shows the published count if the window has not had it yet.
    void deliverCount();

  private:
    // Runs call on the GUI thread after the count it has not yet seen, and waits for it.
    template <typename Call> void forward(Call&& call) const;

    WindowOperations& window_;
    QObject& guiObject_;

    // The worker's own: touched on every line, so without a lock.
    LineCount workerCount_;
    bool workerCountNew_ = false;
    // Reading the clock for every line of a large log would cost more than the line itself; the first line
    // reads it.
    static constexpr unsigned LinesPerClockReading = 256;
    unsigned linesSinceClock_ = LinesPerClockReading - 1;
    QElapsedTimer sinceSent_;

    mutable std::mutex countMutex_;
    LineCount sharedCount_;       // guarded by countMutex_
    bool sharedCountNew_ = false; // guarded by countMutex_
    bool deliveryQueued_ = false; // guarded by countMutex_
};

} // namespace parlowen
