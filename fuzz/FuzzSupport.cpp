#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace parlowen::fuzz {
namespace {

// One folder per fuzzing process, removed when it ends normally.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "parlowen-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            Fail("cannot create the scratch folder");
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

} // namespace

void Fail(const char* what) {
    std::fprintf(stderr, "\nproperty broken: %s\n", what);
    std::abort();
}

std::string WriteScratchLog(std::string_view bytes) {
    static const ScratchFolder folder;
    const std::string path = folder.Path() + "/log.txt";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr, "cannot open the scratch log");
    Require(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(), "cannot write the scratch log");
    Require(std::fclose(file) == 0, "cannot close the scratch log");
    return path;
}

std::vector<std::string> ReferenceLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    // A log with no CR at all ends its lines at LF.
    const char lineEnd = bytes.find('\r') == std::string_view::npos ? '\n' : '\r';
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        if (bytes[index] == lineEnd) {
            lines.push_back(line);
            line.clear();
            open = false;
            if (lineEnd == '\r' && index + 1 < bytes.size() && bytes[index + 1] == '\n') {
                ++index;
            }
        } else {
            line += bytes[index];
            open = true;
        }
    }
    if (open) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<ReferenceLine> ReferenceCleanLines(std::string_view bytes, const LoadAnswers& answers) {
    std::vector<ReferenceLine> result;
    for (const std::string& line : ReferenceLines(bytes)) {
        std::size_t spaces = 0;
        while (spaces < line.size() && line[spaces] == ' ') {
            ++spaces;
        }
        std::string cleaned = line.substr(spaces);
        bool hyphensOnly = !cleaned.empty();
        for (const char character : cleaned) {
            hyphensOnly = hyphensOnly && character == '-';
        }
        if (hyphensOnly && answers.removeSeparatorLines) {
            cleaned.clear();
        }
        const bool kept = !(cleaned.empty() && answers.removeBlankLines);
        result.push_back({cleaned, kept});
    }
    return result;
}

} // namespace parlowen::fuzz
