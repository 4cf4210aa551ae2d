#include "MainWindowOperations.h"

#include "CheckView.h"
#include "FocusMark.h"
#include "QtText.h"

#include <QApplication>
#include <QLabel>

namespace parlowen {

MainWindowOperations::MainWindowOperations(MessageBoxes& messageBoxes, const Controls& controls)
    : messageBoxes_(messageBoxes), controls_(controls) {}

MainWindowOperations::~MainWindowOperations() {
    SetBusy(false);
}

bool MainWindowOperations::AskOkCancel(std::u16string_view title, std::u16string_view text) {
    FlushLineCounter();
    return messageBoxes_.AskOkCancel(ToQString(title), ToQString(text));
}

void MainWindowOperations::ShowNotice(std::u16string_view title, std::u16string_view text) {
    FlushLineCounter();
    messageBoxes_.ShowNotice(ToQString(title), ToQString(text));
}

void MainWindowOperations::Beep() {
    messageBoxes_.Beep();
}

void MainWindowOperations::SetBusy(bool on) {
    if (!on) {
        FlushLineCounter();
    }
    // The override cursor is a stack; keep exactly one entry of ours on it whatever the calls.
    if (on == busy_) {
        return;
    }
    busy_ = on;
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindowOperations::SetStateLabel(std::u16string_view text, Rgb colour) {
    FlushLineCounter();
    QPalette palette = controls_.beforeAfterLabel->palette();
    palette.setColor(QPalette::WindowText, QColor(colour.red, colour.green, colour.blue));
    controls_.beforeAfterLabel->setPalette(palette);
    controls_.beforeAfterLabel->setText(ToQString(text));
    controls_.beforeAfterLabel->repaint();
}

void MainWindowOperations::SetLineCounter(const LineCount& lineCount) {
    pendingCount_ = lineCount;
    counterPending_ = true;
    if (!sinceCounterRepaint_.isValid() || sinceCounterRepaint_.elapsed() >= CounterRepaintMilliseconds) {
        FlushLineCounter();
    }
}

void MainWindowOperations::SetCheckText(std::u16string text) {
    FlushLineCounter();
    controls_.checkView->setText(std::move(text));
}

void MainWindowOperations::SetCheckFile(CheckFile file) {
    FlushLineCounter();
    controls_.checkView->setFile(std::move(file));
}

void MainWindowOperations::SetCheckLines(CheckLines lines) {
    FlushLineCounter();
    controls_.checkView->setLines(std::move(lines));
}

void MainWindowOperations::MoveFocus(FocusTarget target) {
    FlushLineCounter();
    QWidget* widget = target == FocusTarget::EmphasisBox ? controls_.emphasisBox : controls_.logList;
    widget->setFocus(ProgramFocusReason);
}

void MainWindowOperations::FlushLineCounter() {
    if (!counterPending_) {
        return;
    }
    counterPending_ = false;
    controls_.lineCounter->setText(QString::fromStdU16String(CounterText(pendingCount_)));
    // Painted at once rather than at the next idle moment, which a stream of queued counts may put off.
    controls_.lineCounter->repaint();
    sinceCounterRepaint_.start();
}

} // namespace parlowen
