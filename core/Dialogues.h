#pragma once

#include "HtmlExporter.h"
#include "LogLoader.h"
#include "WindowOperations.h"

#include <string>

namespace parlowen {

// The three operations of the window as the user lives them: the questions, the busy pointer and counter,
// the notices and where the focus goes. The work itself is the engines' (LoadLog, RewriteLog,
// WriteHtmlBody); the window supplies a WindowOperations, the command line a console one.

struct LoadRequest {
    std::string path;        // the log in the file system's encoding
    std::u16string fileName; // as the log name box shows it; empty when nothing is selected
    EncodingChoice encoding = EncodingChoice::Auto;
};

struct LoadOutcome {
    bool loaded = false; // a file was read: the save buttons may be enabled
    LoadAnswers answers;
    std::int64_t loadedLineCount = 0;
};

// The load after the window has reset its options: the no-selection notice, both questions, the reading
// with its counter, "Before", and the focus on the emphasis box. A file that cannot be read gives a notice.
LoadOutcome RunLoad(WindowOperations& window, const LoadRequest& request);

struct ConvertRequest {
    std::string path;
    std::u16string fileName; // for the notices
    LoadAnswers answers;
    std::int64_t loadedLineCount = 0;
    EncodingChoice encoding = EncodingChoice::Auto;
};

// The whole of "変換して保存": the warning, the conversion with its counter, the write and the notices.
// Returns true when the log was rewritten.
bool RunConvertAndSave(WindowOperations& window, const ConvertRequest& request);

// Finishes the rewrites that killed runs left, with a notice for each.
void RecoverJournals(WindowOperations& window);

struct ExportRequest {
    std::string logPath;
    std::string pagePath;
    std::u16string fileName; // the log's name, for the notices
    std::u16string baseName; // the log's name without ".txt": the page's title and name
    LoadAnswers answers;
    std::int64_t loadedLineCount = 0;
    EncodingChoice encoding = EncodingChoice::Auto;
    // Keywords that a Shift-JIS log cannot hold refuse it, rather than quietly matching nothing.
    bool keywordsMustFit = false;
};

// The whole of "HTMLにして保存": the notice, the body with its counter, the page and the final notice.
// Returns true when the page was written.
bool ExportHtml(WindowOperations& window, const HtmlOptions& options, const ExportRequest& request);

} // namespace parlowen
