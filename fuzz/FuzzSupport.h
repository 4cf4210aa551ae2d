#pragma once

#include "LogLoader.h"

#include <string>
#include <string_view>
#include <vector>

// What the fuzz targets share: a failure that libFuzzer reports together with the input that caused it, a
// scratch file for the operations that read the log from disk, and a reference reading of a log written
// character by character, independently of the core's own line walker.
namespace parlowen::fuzz {

[[noreturn]] void Fail(const char* what);

inline void Require(bool condition, const char* what) {
    if (!condition) {
        Fail(what);
    }
}

// Writes the bytes to this process's scratch log and returns its path.
std::string WriteScratchLog(std::string_view bytes);

// The lines of a log: each ends at CR or CR LF, an LF alone stays in its line, a last line without a
// terminator still counts and a final terminator starts no empty line.
std::vector<std::string> ReferenceLines(std::string_view bytes);

struct ReferenceLine {
    std::string cleaned;
    bool kept = true;
};

// Each line without its leading spaces, emptied when it is a separator that is to go, and whether the
// blank-line rule keeps it.
std::vector<ReferenceLine> ReferenceCleanLines(std::string_view bytes, const LoadAnswers& answers);

// The four ways a load can be answered.
inline constexpr LoadAnswers AllAnswers[] = {{false, false}, {true, false}, {false, true}, {true, true}};

} // namespace parlowen::fuzz
