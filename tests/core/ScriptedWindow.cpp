#include "ScriptedWindow.h"

#include "Cp932Codec.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace parlowen {
namespace {

// The journals of the rewrites the tests make never go to the user's own state folder, also when a test
// program is run by hand rather than by ctest, which sets a folder of its own.
const bool stateFolderChosen = [] {
    const std::string folder = (std::filesystem::temp_directory_path() / "parlowen-test-state").string();
    return ::setenv("XDG_STATE_HOME", folder.c_str(), 0) == 0;
}();

} // namespace

bool ScriptedWindow::AskOkCancel(std::u16string_view title, std::u16string_view text) {
    if (answers.empty()) {
        throw std::logic_error("a question that the test did not expect");
    }
    const bool answer = answers.front();
    answers.pop_front();
    calls.push_back(u"ask " + std::u16string(title) + u": " + std::u16string(text) +
                    (answer ? u" -> OK" : u" -> Cancel"));
    return answer;
}

void ScriptedWindow::ShowNotice(std::u16string_view title, std::u16string_view text) {
    calls.push_back(u"notice " + std::u16string(title) + u": " + std::u16string(text));
}

void ScriptedWindow::Beep() {
    calls.push_back(u"beep");
}

void ScriptedWindow::SetBusy(bool on) {
    busyDepth += on ? 1 : -1;
    calls.push_back(on ? u"busy on" : u"busy off");
}

void ScriptedWindow::SetStateLabel(std::u16string_view text, Rgb colour) {
    calls.push_back(u"state " + std::u16string(text) +
                    (colour == BeforeColour  ? u" red"
                     : colour == AfterColour ? u" blue"
                                             : u" ?"));
}

void ScriptedWindow::SetLineCounter(const LineCount& lineCount) {
    counter = CounterText(lineCount);
    ++counterUpdates;
}

void ScriptedWindow::SetCheckText(std::u16string text) {
    checkText = std::move(text);
    calls.push_back(checkText.empty() ? u"text cleared" : u"text set");
}

void ScriptedWindow::MoveFocus(FocusTarget target) {
    calls.push_back(target == FocusTarget::LogList ? u"focus logList" : u"focus emphasisBox");
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "parlowen-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void TemporaryFolder::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary | std::ios::trunc) << bytes;
}

std::string TemporaryFolder::Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> TemporaryFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

PrivateStateFolder::PrivateStateFolder() {
    if (const char* before = std::getenv("XDG_STATE_HOME")) {
        before_ = before;
        wasSet_ = true;
    }
    ::setenv("XDG_STATE_HOME", folder_.Path("").c_str(), 1);
}

PrivateStateFolder::~PrivateStateFolder() {
    if (wasSet_) {
        ::setenv("XDG_STATE_HOME", before_.c_str(), 1);
    } else {
        ::unsetenv("XDG_STATE_HOME");
    }
}

std::vector<std::string> PrivateStateFolder::Names() const {
    std::vector<std::string> names;
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(Path(), missing)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

int InChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(120); // a child that hangs must not hang the test
        ::_exit(body());
    }
    int wait = 0;
    if (child < 0 || ::waitpid(child, &wait, 0) != child || !WIFEXITED(wait)) {
        return -1;
    }
    return WEXITSTATUS(wait);
}

bool BecomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

std::string Sjis(std::u16string_view text) {
    EncodeResult result = Cp932Codec::Encode(text);
    if (!result.Ok()) {
        throw std::invalid_argument("test text that Shift-JIS cannot hold");
    }
    return result.bytes;
}

std::string Narrow(std::u16string_view text) {
    std::string narrow;
    for (char32_t unit : text) {
        if (unit < 0x80) {
            narrow += static_cast<char>(unit);
        } else if (unit < 0x800) {
            narrow += static_cast<char>(0xC0 | unit >> 6);
            narrow += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            narrow += static_cast<char>(0xE0 | unit >> 12);
            narrow += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
            narrow += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return narrow;
}

} // namespace parlowen
