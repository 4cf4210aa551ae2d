#include "MainWindowOperations.h"

#include "CheckViewText.h"
#include "FocusMark.h"
#include "QtText.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>

namespace parlowen {

Form1Operations::Form1Operations(MessageBoxes& messageBoxes, const Controls& controls)
    : messageBoxes_(messageBoxes), controls_(controls) {}

Form1Operations::~Form1Operations() {
    SetBusy(false);
}

bool Form1Operations::AskOkCancel(std::u16string_view title, std::u16string_view text) {
    FlushLineCounter();
    return messageBoxes_.AskOkCancel(ToQString(title), ToQString(text));
}

void Form1Operations::ShowNotice(std::u16string_view title, std::u16string_view text) {
    FlushLineCounter();
    messageBoxes_.ShowNotice(ToQString(title), ToQString(text));
}

void Form1Operations::Beep() {
    messageBoxes_.Beep();
}

void Form1Operations::SetBusy(bool on) {
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

void Form1Operations::SetStateLabel(std::u16string_view text, Rgb colour) {
    FlushLineCounter();
    QPalette palette = controls_.stateLabel->palette();
    palette.setColor(QPalette::WindowText, QColor(colour.red, colour.green, colour.blue));
    controls_.stateLabel->setPalette(palette);
    controls_.stateLabel->setText(ToQString(text));
    controls_.stateLabel->repaint();
}

void Form1Operations::SetLineCounter(const LineCount& lineCount) {
    pendingCount_ = lineCount;
    counterPending_ = true;
    if (!sinceCounterRepaint_.isValid() || sinceCounterRepaint_.elapsed() >= CounterRepaintMilliseconds) {
        FlushLineCounter();
    }
}

void Form1Operations::SetCheckText(std::u16string text) {
    FlushLineCounter();
    QString shown = ToCheckWindow(text);
    // A large log is otherwise held once more while the view takes it. Assigning an empty string would keep
    // the buffer; a swap gives it back.
    std::u16string().swap(text);
    controls_.checkWindow->setPlainText(shown);
}

void Form1Operations::MoveFocus(FocusTarget target) {
    FlushLineCounter();
    QWidget* widget = target == FocusTarget::Check1 ? controls_.emphasisBox : controls_.fileList;
    widget->setFocus(ProgramFocusReason);
}

void Form1Operations::FlushLineCounter() {
    if (!counterPending_) {
        return;
    }
    counterPending_ = false;
    controls_.lineCounter->setText(QString::fromStdU16String(CounterText(pendingCount_)));
    // The operation does not return to the event loop until it ends, so the label is painted here.
    controls_.lineCounter->repaint();
    sinceCounterRepaint_.start();
}

} // namespace parlowen
