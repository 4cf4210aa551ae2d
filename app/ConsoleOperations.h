#pragma once

#include "WindowOperations.h"

#include <QElapsedTimer>
#include <QString>

#include <ostream>

namespace parlowen {

// The window operations for a command run in a terminal or a script: the command line already gave every
// answer, failures are written to standard error with the notice's title and text, and the line counter
// becomes a progress line on a terminal. Nothing else of the window has a place here.
class ConsoleOperations final : public WindowOperations {
  public:
    // A log done in less than this shows no progress line at all.
    static constexpr qint64 ProgressDelayMilliseconds = 300;
    static constexpr qint64 ProgressRepaintMilliseconds = 100;

    // errors: standard error or a test's stream; showProgress only when it is a terminal; log names the
    // progress line.
    ConsoleOperations(std::ostream& errors, bool showProgress, QString log);
    ~ConsoleOperations() override;
    ConsoleOperations(const ConsoleOperations&) = delete;
    ConsoleOperations& operator=(const ConsoleOperations&) = delete;

    bool AskOkCancel(std::u16string_view title, std::u16string_view text) override;
    void ShowNotice(std::u16string_view title, std::u16string_view text) override;
    void Beep() override {}
    void SetBusy(bool on) override;
    void SetStateLabel(std::u16string_view, Rgb) override {}
    void SetLineCounter(const LineCount& lineCount) override;
    void SetCheckText(std::u16string) override {}
    bool ShowsCheckText() const override { return false; }
    void MoveFocus(FocusTarget) override {}

    bool ShowedFailure() const { return showedFailure_; }

  private:
    void ClearProgress();

    std::ostream& errors_;
    bool showProgress_;
    QString log_;
    QElapsedTimer sinceStart_;
    QElapsedTimer sinceProgress_;
    bool progressShown_ = false;
    bool showedFailure_ = false;
};

} // namespace parlowen
