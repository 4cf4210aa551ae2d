#include "ForwardedOperations.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <utility>

namespace parlowen {

ForwardedOperations::ForwardedOperations(WindowOperations& window, QObject& guiObject)
    : window_(window), guiObject_(guiObject) {}

ForwardedOperations::~ForwardedOperations() {
    QCoreApplication::sendPostedEvents(&guiObject_, QEvent::MetaCall);
    deliverCount();
}

template <typename Call> void ForwardedOperations::forward(Call&& call) const {
    auto* self = const_cast<ForwardedOperations*>(this);
    self->publishCount();
    QMetaObject::invokeMethod(
        &guiObject_,
        [self, &call] {
            self->deliverCount();
            call();
        },
        Qt::BlockingQueuedConnection);
}

bool ForwardedOperations::AskOkCancel(std::u16string_view title, std::u16string_view text) {
    bool answer = false;
    forward([&] { answer = window_.AskOkCancel(title, text); });
    return answer;
}

void ForwardedOperations::ShowNotice(std::u16string_view title, std::u16string_view text) {
    forward([&] { window_.ShowNotice(title, text); });
}

void ForwardedOperations::Beep() {
    forward([&] { window_.Beep(); });
}

void ForwardedOperations::SetBusy(bool on) {
    forward([&] { window_.SetBusy(on); });
}

void ForwardedOperations::SetStateLabel(std::u16string_view text, Rgb colour) {
    forward([&] { window_.SetStateLabel(text, colour); });
}

void ForwardedOperations::SetCheckText(std::u16string text) {
    forward([&] { window_.SetCheckText(std::move(text)); });
}

void ForwardedOperations::SetCheckFile(CheckFile file) {
    forward([&] { window_.SetCheckFile(std::move(file)); });
}

void ForwardedOperations::SetCheckLines(CheckLines lines) {
    forward([&] { window_.SetCheckLines(std::move(lines)); });
}

bool ForwardedOperations::ShowsCheckText() const {
    bool shows = false;
    forward([&] { shows = window_.ShowsCheckText(); });
    return shows;
}

void ForwardedOperations::MoveFocus(FocusTarget target) {
    forward([&] { window_.MoveFocus(target); });
}

void ForwardedOperations::SetLineCounter(const LineCount& lineCount) {
    workerCount_ = lineCount;
    workerCountNew_ = true;
    if (++linesSinceClock_ < LinesPerClockReading) {
        return;
    }
    linesSinceClock_ = 0;
    if (sinceSent_.isValid() && sinceSent_.elapsed() < CounterSendMilliseconds) {
        return;
    }
    sinceSent_.start();
    publishCount();
    const std::lock_guard lock(countMutex_);
    // One delivery on its way at a time: it takes whatever count is latest when it arrives.
    if (!deliveryQueued_) {
        deliveryQueued_ = true;
        QMetaObject::invokeMethod(
            &guiObject_,
            [this] {
                {
                    const std::lock_guard delivering(countMutex_);
                    deliveryQueued_ = false;
                }
                deliverCount();
            },
            Qt::QueuedConnection);
    }
}

void ForwardedOperations::publishCount() {
    if (!workerCountNew_) {
        return;
    }
    workerCountNew_ = false;
    const std::lock_guard lock(countMutex_);
    sharedCount_ = workerCount_;
    sharedCountNew_ = true;
}

void ForwardedOperations::deliverCount() {
    LineCount count;
    {
        const std::lock_guard lock(countMutex_);
        if (!sharedCountNew_) {
            return;
        }
        sharedCountNew_ = false;
        count = sharedCount_;
    }
    window_.SetLineCounter(count);
}

} // namespace parlowen
