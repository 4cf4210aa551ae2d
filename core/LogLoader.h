#pragma once

#include "FileStore.h"
#include "LineReader.h"
#include "LogEncoding.h"
#include "WindowOperations.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace parlowen {

// The two answers of the last load; converting and exporting clean the lines with the same answers.
struct LoadAnswers {
    bool removeBlankLines = false;
    bool removeSeparatorLines = false;
};

// Leading spaces (U+0020 only) go; with removeSeparator, a line of nothing but "-" becomes empty. The
// result is always a part of the line, so it is returned as a view into it. The byte form gives the same
// lines for code page 932 text, where space and "-" are never the second byte of a character.
std::u16string_view CleanLine(std::u16string_view line, bool removeSeparator);
std::string_view CleanLine(std::string_view line, bool removeSeparator);

// Calls visit(cleanedLine, kept) for every line of the log's bytes, kept being false for a line that the
// blank-line rule drops. A piece of a log is read with the whole log's line end.
template <typename Visit>
void ForEachCleanLine(std::string_view bytes, char lineEnd, const LoadAnswers& answers, Visit&& visit);
template <typename Visit>
void ForEachCleanLine(std::string_view bytes, const LoadAnswers& answers, Visit&& visit) {
    ForEachCleanLine(bytes, LineEndOf(bytes), answers, visit);
}

struct LoadResult {
    FileStatus status; // a refused encoding too
    LogEncoding encoding;
    std::u16string logText;     // CR LF before every kept line, in file order
    CheckLines lines;           // instead of logText, from LoadLogLines
    std::int64_t lineCount = 0; // the kept lines: loadedLineCount
};

// Reads the log and builds the text the check view shows, decoded from the log's own encoding; progress
// gets the new kept-line count after every kept line.
LoadResult LoadLog(const std::string& path, const LoadAnswers& answers,
                   const std::function<void(std::int64_t)>& progress,
                   EncodingChoice choice = EncodingChoice::Auto);

// The same as CheckLines, where the kept lines are read from the file as they are shown, for a Shift-JIS or
// UTF-8 log whose lines all end alike in CR LF or in LF; any other is loaded as LoadLog does.
LoadResult LoadLogLines(const std::string& path, const LoadAnswers& answers,
                        const std::function<void(std::int64_t)>& progress,
                        EncodingChoice choice = EncodingChoice::Auto);

// The kept lines of UTF-16 code units with the same rules, for the UTF-16 logs.
template <typename Visit>
void ForEachCleanLine(std::u16string_view units, const LoadAnswers& answers, Visit&& visit) {
    LineReader reader(units);
    std::u16string_view line;
    while (reader.Next(line)) {
        const std::u16string_view cleaned = CleanLine(line, answers.removeSeparatorLines);
        visit(cleaned, !(answers.removeBlankLines && cleaned.empty()));
    }
}

} // namespace parlowen

template <typename Visit>
void parlowen::ForEachCleanLine(std::string_view bytes, char lineEnd, const LoadAnswers& answers,
                                Visit&& visit) {
    ByteLineReader reader(bytes, lineEnd);
    std::string_view line;
    while (reader.Next(line)) {
        const std::string_view cleaned = CleanLine(line, answers.removeSeparatorLines);
        visit(cleaned, !(answers.removeBlankLines && cleaned.empty()));
    }
}
