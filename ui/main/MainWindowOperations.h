#pragma once

#include "MessageBoxes.h"
#include "WindowOperations.h"

#include <QElapsedTimer>

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace parlowen {

// The window operations of the log work, carried out on the main window's controls.
class Form1Operations final : public WindowOperations {
  public:
    struct Controls {
        QLabel* stateLabel = nullptr;          // Label6
        QLabel* lineCounter = nullptr;         // Label8
        QPlainTextEdit* checkWindow = nullptr; // Text1
        QWidget* fileList = nullptr;           // File1
        QWidget* emphasisBox = nullptr;        // Check1
    };

    // A 100 MB log reports every one of its lines; more repaints than the eye can follow would only slow
    // the work down.
    static constexpr qint64 CounterRepaintMilliseconds = 33;

    Form1Operations(MessageBoxes& messageBoxes, const Controls& controls);
    ~Form1Operations() override;
    Form1Operations(const Form1Operations&) = delete;
    Form1Operations& operator=(const Form1Operations&) = delete;

    bool AskOkCancel(std::u16string_view title, std::u16string_view text) override;
    void ShowNotice(std::u16string_view title, std::u16string_view text) override;
    void Beep() override;
    void SetBusy(bool on) override;
    void SetStateLabel(std::u16string_view text, Rgb colour) override;
    void SetLineCounter(const LineCount& lineCount) override;
    void SetCheckText(std::u16string text) override;
    void MoveFocus(FocusTarget target) override;

  private:
    // Shows the last count at once: called whenever the operation reaches a step the user will look at.
    void FlushLineCounter();

    MessageBoxes& messageBoxes_;
    Controls controls_;
    bool busy_ = false;
    bool counterPending_ = false;
    LineCount pendingCount_;
    QElapsedTimer sinceCounterRepaint_;
};

} // namespace parlowen
