#pragma once

#include "WindowOperations.h"

#include <deque>
#include <functional>
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

// Points XDG_STATE_HOME at a temporary folder while it lives, so that the journals of rewrites go there.
class PrivateStateFolder {
  public:
    PrivateStateFolder();
    ~PrivateStateFolder();
    std::string Path() const { return folder_.Path("parlowen"); }
    // The journals in it, complete or not.
    std::vector<std::string> Names() const;

  private:
    TemporaryFolder folder_;
    std::string before_;
    bool wasSet_ = false;
};

// Runs body in a child process and gives its exit code, or -1 when it did not exit by itself.
int InChild(const std::function<int()>& body);
// Root writes anywhere, so a refusal by the system needs a process that has given up root for good.
bool BecomeNobody();

std::string Sjis(std::u16string_view text);
std::string Narrow(std::u16string_view text); // for readable failure messages

} // namespace parlowen
