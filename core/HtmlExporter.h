#pragma once

#include "ColorTable.h"
#include "FileStore.h"
#include "LogEncoding.h"
#include "LogLoader.h"
#include "MappedFile.h"
#include "PieceRunner.h"
#include "WindowOperations.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// Whether every keyword can be written in the log's encoding, so that it can match a line at all: any can in
// UTF-8 and UTF-16, only what Shift-JIS holds in a Shift-JIS log.
bool KeywordsFit(const HtmlOptions& options, const LogEncoding& encoding);

// "&" and "<" as character references, so that a chat line can never become markup (">" starts nothing).
std::u16string EscapeHtml(std::u16string_view text);

// One cleaned log line as it stands in the page, before its "<br>": escaped, then wrapped in the entry
// colour in bold, or else in the colour of the first speaker whose keyword begins it.
std::u16string TagLine(std::u16string_view cleanedLine, const HtmlOptions& options);

using ExportProgress = std::function<void(std::int32_t count, std::int64_t total)>;
// Takes the page's bytes piece by piece, in order; a failure stops the export.
using PageSink = std::function<FileStatus(std::string_view bytes)>;

// How the body is built: the log is cut at line ends into pieces of about pieceBytes (0: one piece), and
// that many threads work on them. More than a few threads would only wait for the one that writes.
struct BodyWork {
    std::size_t pieceBytes = std::size_t{256} << 10;
    std::size_t threads = std::min<std::size_t>(PieceRunner::Cores(), 8);
};

struct BodyOutcome {
    FileStatus written; // the sink's failure
    std::int32_t writtenLines = 0;
};

// Builds HtmlBody, the written lines in reverse file order, each ending in "<br>" CR LF, on all cores. Its
// bytes go to page in order as they are ready; a Shift-JIS log's keep the log's own bytes, so what the log
// holds reaches the page unchanged but for escaping; a UTF-8 or UTF-16 log's are UTF-8, with U+FFFD for a
// sequence that is not valid, and its keywords are compared on its characters. With lineStarts, where each
// line of HtmlBody starts in it, as CheckLines holds them, and its end, where the empty row after it starts.
// progress gets the written-line count and the load's total after every
// line, on the calling thread. The log's memory is given back as its pieces are done.
BodyOutcome WriteHtmlBody(const MappedFile& log, const HtmlOptions& options, const LoadAnswers& answers,
                          std::int64_t total, const ExportProgress& progress, const PageSink& page,
                          std::vector<std::uint64_t>* lineStarts = nullptr, const BodyWork& work = {},
                          const LogEncoding& encoding = {});

struct HtmlResult {
    FileStatus status;
    std::string body;    // HtmlBody in the page's bytes
    std::u16string text; // HtmlBody as the check window gets it
    std::int32_t writtenLines = 0;
};

// Reads the log again and builds HtmlBody in memory; a refused encoding is a failed read.
HtmlResult BuildHtmlBody(const std::string& logPath, const HtmlOptions& options, const LoadAnswers& answers,
                         std::int64_t total, const ExportProgress& progress, const BodyWork& work = {},
                         EncodingChoice choice = EncodingChoice::Auto);

// The page's seven head lines, and what follows the body: an empty line and the closing line. The page of a
// Shift-JIS log is Shift-JIS, and a character of the title that it cannot hold is written as a character
// reference; the page of a UTF-8 or UTF-16 log is UTF-8 and declares it.
std::string PageHead(const HtmlOptions& options, std::u16string_view baseName,
                     const LogEncoding& encoding = {});
inline constexpr std::string_view PageEnd = "\r\n</body></html>\r\n";

// The page file's bytes: the seven head lines, the body, an empty line and the closing line. A character of
// the title that Shift-JIS cannot hold is written as a character reference.
std::string BuildPage(const HtmlOptions& options, std::u16string_view baseName, std::string_view body,
                      const LogEncoding& encoding = {});

} // namespace parlowen
