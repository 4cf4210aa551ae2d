#pragma once

#include "ColorTable.h"
#include "FileStore.h"
#include "LogLoader.h"
#include "WindowOperations.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace parlowen {

// The export options as the main window held them when the export started.
struct HtmlOptions {
    std::u16string PageColor;
    std::u16string EntryKeyword;
    std::u16string EntryColor;
    bool EntryEmphasis = false;
    std::array<std::u16string, ColorTable::SpeakerCount> SpeakerKeywords;
    std::array<std::u16string, ColorTable::SpeakerCount> SpeakerColors;
};

// Takes the colours from the table and the keywords as typed, without their surrounding spaces.
HtmlOptions MakeHtmlOptions(const ColorTable& colors, bool emphasis, std::u16string_view entryKeyword,
                            const std::array<std::u16string, ColorTable::SpeakerCount>& speakerKeywords);

std::u16string TrimSpaces(std::u16string_view text);

// "&" and "<" as character references, so that a chat line can never become markup (">" starts nothing).
std::u16string EscapeHtml(std::u16string_view text);

// One cleaned log line as it stands in the page, before its "<br>": escaped, then wrapped in the entry
// colour in bold, or else in the colour of the first speaker whose keyword begins it.
std::u16string TagLine(std::u16string_view cleanedLine, const HtmlOptions& options);

struct HtmlResult {
    FileStatus status;
    // HtmlBody in the page's bytes: the written lines in reverse file order, each ending in "<br>" CR LF.
    // Lines keep the log's own bytes, so what the log holds reaches the page unchanged but for escaping.
    std::string body;
    std::int32_t writtenLines = 0;
};

// Reads the log again and builds HtmlBody; progress gets the written-line count and the load's total.
HtmlResult BuildHtmlBody(const std::string& logPath, const HtmlOptions& options, const LoadAnswers& answers,
                         double total, const std::function<void(std::int32_t, double)>& progress);

// The page file's bytes: the seven head lines, the body, an empty line and the closing line. A character of
// the title that Shift-JIS cannot hold is written as a character reference.
std::string BuildPage(const HtmlOptions& options, std::u16string_view baseName, std::string_view body);

struct ExportRequest {
    std::string logPath;
    std::string pagePath;
    std::u16string fileName; // the log's name, for the notices
    std::u16string baseName; // the log's name without ".txt": the page's title and name
    LoadAnswers answers;
    double loadedLineCount = 0;
};

// The whole of "HTMLにして保存": the notice, the body with its counter, the page and the final notice.
// Returns true when the page was written.
bool ExportHtml(WindowOperations& window, const HtmlOptions& options, const ExportRequest& request);

} // namespace parlowen
