#pragma once

#include "WindowOperations.h"

#include <deque>
#include <string>
#include <vector>

namespace parlowen {

// Answers questions from a script and records every window operation as one readable line, so a test can
// compare the whole sequence of an operation at once.
class ScriptedWindow : public WindowOperations {
  public:
    std::deque<bool> answers;
    std::vector<std::u16string> calls;
    std::u16string checkText;
    std::u16string counter;
    std::size_t counterUpdates = 0;
    int busyDepth = 0;

    bool AskOkCancel(std::u16string_view title, std::u16string_view text) override;
    void ShowNotice(std::u16string_view title, std::u16string_view text) override;
    void Beep() override;
    void SetBusy(bool on) override;
    void SetStateLabel(std::u16string_view text, Rgb colour) override;
    void SetLineCounter(const LineCount& lineCount) override;
    void SetCheckText(std::u16string text) override;
    void MoveFocus(FocusTarget target) override;
};

// A temporary folder that is removed with everything in it at the end of the test.
class TemporaryFolder {
  public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::string Path(const std::string& name) const { return path_ + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    std::vector<std::string> Names() const;

  private:
    std::string path_;
};

std::string Sjis(std::u16string_view text);
std::string Narrow(std::u16string_view text); // for readable failure messages

} // namespace parlowen
