#pragma once

#include "MessageBoxes.h"
#include "WindowOperations.h"

#include <QElapsedTimer>

class QLabel;
class QWidget;

namespace parlowen {

class CheckView;

// The window operations of the log work, carried out on the main window's controls.
class MainWindowOperations final : public WindowOperations {
  public:
    struct Controls {
        QLabel* beforeAfterLabel = nullptr;
        QLabel* lineCounter = nullptr;
        CheckView* checkView = nullptr;
        QWidget* logList = nullptr;
        QWidget* emphasisBox = nullptr;
    };

    // A 100 MB log reports every one of its lines; more repaints than the eye can follow would only slow
    // the work down.
    static constexpr qint64 CounterRepaintMilliseconds = 33;

    MainWindowOperations(MessageBoxes& messageBoxes, const Controls& controls);
    ~MainWindowOperations() override;
    MainWindowOperations(const MainWindowOperations&) = delete;
    MainWindowOperations& operator=(const MainWindowOperations&) = delete;

    bool AskOkCancel(std::u16string_view title, std::u16string_view text) override;
    void ShowNotice(std::u16string_view title, std::u16string_view text) override;
    void Beep() override;
    void SetBusy(bool on) override;
    void SetStateLabel(std::u16string_view text, Rgb colour) override;
    void SetLineCounter(const LineCount& lineCount) override;
    void SetCheckText(std::u16string text) override;
    void SetCheckFile(CheckFile file) override;
    void SetCheckLines(CheckLines lines) override;
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
