#include "Dialogues.h"

#include "FileDescriptor.h"
#include "FileNameText.h"
#include "LogConverter.h"
#include "LogJournal.h"
#include "MappedFile.h"
#include "ReplacementFile.h"
#include "UserTexts.h"

#include <cerrno>
#include <new>
#include <stdexcept>

namespace parlowen {
namespace {

using namespace UserTexts;

// One operation from the window: the busy pointer while it works, off again however it ends, and one way
// to end in failure (pointer off, the notice, the focus back on the log list).
class Dialogue {
  public:
    explicit Dialogue(WindowOperations& window) : window_(window) {}
    ~Dialogue() { Idle(); }
    Dialogue(const Dialogue&) = delete;
    Dialogue& operator=(const Dialogue&) = delete;

    void Busy() {
        if (!busy_) {
            window_.SetBusy(true);
            busy_ = true;
        }
    }
    void Idle() {
        if (busy_) {
            busy_ = false;
            window_.SetBusy(false);
        }
    }
    template <typename Notice> bool Fail(Notice&& notice) {
        Idle();
        notice();
        window_.MoveFocus(FocusTarget::LogList);
        return false;
    }
    bool FailRead(std::u16string_view fileName, const FileStatus& status) {
        return Fail([&] { ShowReadFailure(window_, fileName, status); });
    }
    bool FailWrite(std::u16string_view fileName, const FileStatus& status) {
        return Fail([&] { ShowWriteFailure(window_, fileName, status); });
    }
    bool Fail(Text title, std::u16string_view text) {
        return Fail([&] { window_.ShowNotice(title, text); });
    }

  private:
    WindowOperations& window_;
    bool busy_ = false;
};

// Running out of memory ends the operation, not the program: the dialogue has put the busy pointer off on
// its way out, and the read notice names the file and the reason.
template <typename Operation>
auto GuardMemory(WindowOperations& window, std::u16string_view fileName, Operation&& operation) {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    Dialogue(window).FailRead(fileName, FileStatus::FromErrno(ENOMEM));
    return decltype(operation())();
}

std::u16string Quoted(std::u16string_view fileName) {
    std::u16string text = u"「";
    text += fileName;
    text += u"」";
    return text;
}

void ShowRecoveries(WindowOperations& window, const std::vector<LogJournal::Recovery>& recoveries) {
    for (const LogJournal::Recovery& recovery : recoveries) {
        std::u16string text = Quoted(DecodeFileName(recovery.logPath));
        switch (recovery.outcome) {
        case LogJournal::Recovery::Outcome::Redone:
            window.ShowNotice(ConvertTitle, text += RecoveryRedone);
            break;
        case LogJournal::Recovery::Outcome::Dropped:
            window.ShowNotice(WriteFailureTitle, text += RecoveryDropped);
            break;
        case LogJournal::Recovery::Outcome::Failed:
            text += RecoveryFailed;
            window.ShowNotice(WriteFailureTitle, text += DescribeFailure(recovery.status));
            break;
        case LogJournal::Recovery::Outcome::Refused:
            ShowWriteFailure(window, DecodeFileName(recovery.logPath), recovery.status);
            break;
        }
    }
}

std::u16string StateFolderName() {
    return DecodeFileName(LogJournal::Folder());
}

// A rewrite of the log that a killed run left is finished before the log is read, so every operation reads
// the log it made; false when it cannot be finished, as the log may then be half written.
bool FinishPendingRewrite(WindowOperations& window, const std::string& logPath) {
    const std::vector<LogJournal::Recovery> recoveries = LogJournal::RecoverFor(logPath);
    ShowRecoveries(window, recoveries);
    return recoveries.empty() || recoveries.front().outcome != LogJournal::Recovery::Outcome::Failed;
}

bool FailRewrite(Dialogue& dialogue, const ConvertRequest& request, const RewriteResult& result) {
    switch (result.stage) {
    case RewriteResult::Stage::Read:
        return dialogue.FailRead(request.fileName, result.status);
    case RewriteResult::Stage::Journal:
        return dialogue.FailWrite(StateFolderName(), result.status);
    case RewriteResult::Stage::Log:
        break;
    case RewriteResult::Stage::Unfinished:
        std::u16string text = u"「";
        text += request.fileName;
        text += RewriteUnfinished;
        return dialogue.Fail(WriteFailureTitle, text += DescribeFailure(result.status));
    }
    return dialogue.FailWrite(request.fileName, result.status);
}

LoadOutcome Load(WindowOperations& window, const LoadRequest& request) {
    Dialogue dialogue(window);
    LoadOutcome outcome;
    if (request.fileName.empty()) {
        dialogue.Fail(SelectTitle, NothingSelected);
        return outcome;
    }
    if (window.AskOkCancel(BlankLinesTitle, BlankLinesQuestion)) {
        outcome.answers.removeBlankLines = true;
    }
    if (window.AskOkCancel(SeparatorLinesTitle, SeparatorLinesQuestion)) {
        outcome.answers.removeSeparatorLines = true;
    }
    if (!FinishPendingRewrite(window, request.path)) {
        dialogue.Fail([] {});
        return outcome;
    }
    dialogue.Busy();
    LoadResult result = LoadLogLines(
        request.path, outcome.answers,
        [&window](std::int64_t count) {
            window.SetLineCounter({count, std::nullopt});
        },
        request.encoding);
    if (!result.status.Ok()) {
        dialogue.FailRead(request.fileName, result.status);
        return outcome;
    }
    outcome.loaded = true;
    outcome.loadedLineCount = result.lineCount;
    if (result.lines.file.file.Valid()) {
        window.SetCheckLines(std::move(result.lines));
    } else {
        window.SetCheckText(std::move(result.logText));
    }
    window.SetStateLabel(Before, BeforeColour);
    dialogue.Idle();
    window.MoveFocus(FocusTarget::EmphasisBox);
    return outcome;
}

bool ConvertAndSave(WindowOperations& window, const ConvertRequest& request) {
    Dialogue dialogue(window);
    if (!window.AskOkCancel(ConvertTitle, ConvertWarning)) {
        window.Beep();
        return dialogue.Fail(ConvertTitle, Cancelled);
    }
    if (!FinishPendingRewrite(window, request.path)) {
        return dialogue.Fail([] {});
    }
    // A log the user may not write, and a state folder that cannot be used, are refused before anything on
    // the window changes.
    FileDescriptor log;
    if (FileStatus status = OpenForRewrite(request.path, log); !status.Ok()) {
        const bool missing = status.kind == FileStatus::Kind::System && status.errorNumber == ENOENT;
        return missing ? dialogue.FailRead(request.fileName, status)
                       : dialogue.FailWrite(request.fileName, status);
    }
    if (FileStatus status = LogJournal::PrepareFolder(); !status.Ok()) {
        return dialogue.FailWrite(StateFolderName(), status);
    }
    dialogue.Busy();
    window.SetCheckText({});
    const RewriteResult result = RewriteLog(
        request.path, log, request.answers, request.loadedLineCount,
        [&window](std::int32_t count, std::int64_t total) {
            window.SetLineCounter({count, total});
        },
        request.encoding);
    if (!result.status.Ok()) {
        return FailRewrite(dialogue, request, result);
    }
    // The window shows the new order only once the file holds it. The log is rewritten even when its text
    // is too large to show, and the notice says so: the log itself was read and written.
    if (window.ShowsCheckText()) {
        try {
            if (!result.encoding.IsUtf16()) {
                window.SetCheckFile(ConvertedFile(request.path, log, result.encoding));
            } else {
                window.SetCheckText(ConvertedText(request.path, log, result.encoding));
            }
        } catch (const std::bad_alloc&) {
            window.ShowNotice(ConvertTitle, Quoted(request.fileName) += ConvertedTextNotShown);
        } catch (const std::length_error&) {
            window.ShowNotice(ConvertTitle, Quoted(request.fileName) += ConvertedTextNotShown);
        }
    }
    dialogue.Idle();
    window.SetStateLabel(After, AfterColour);
    window.ShowNotice(CompleteTitle, ConvertComplete);
    window.MoveFocus(FocusTarget::LogList);
    return true;
}

bool Export(WindowOperations& window, const HtmlOptions& options, const ExportRequest& request) {
    Dialogue dialogue(window);
    window.ShowNotice(HtmlTitle, HtmlTagsShown);
    if (!FinishPendingRewrite(window, request.logPath)) {
        return dialogue.Fail([] {});
    }
    dialogue.Busy();
    window.SetCheckText({});
    MappedFile log;
    if (const FileStatus read = MappedFile::Open(request.logPath, log); !read.Ok()) {
        return dialogue.FailRead(request.fileName, read);
    }
    const EncodingDecision decision = DecideEncoding(log, request.encoding);
    if (!decision.status.Ok()) {
        return dialogue.FailRead(request.fileName, decision.status);
    }
    if (request.keywordsMustFit && !KeywordsFit(options, decision.encoding)) {
        return dialogue.FailRead(request.fileName, {FileStatus::Kind::KeywordUnfit, 0});
    }
    // The page is written as its pieces are made; the check view reads the body from it once it is whole.
    ReplacementFile page;
    FileDescriptor reader;
    const std::string head = PageHead(options, request.baseName, decision.encoding);
    std::uint64_t bodyBytes = 0;
    std::vector<std::uint64_t> lineStarts;
    FileStatus written = ReplacementFile::Create(request.pagePath, page);
    if (written.Ok() && window.ShowsCheckText()) {
        written = page.OpenForReading(reader);
    }
    if (written.Ok()) {
        written = page.Append(head);
    }
    if (written.Ok()) {
        written = WriteHtmlBody(
                      log, options, request.answers, request.loadedLineCount,
                      [&window](std::int32_t count, std::int64_t total) {
                          window.SetLineCounter({count, total});
                      },
                      [&page, &bodyBytes](std::string_view bytes) {
                          bodyBytes += bytes.size();
                          return page.Append(bytes);
                      },
                      reader.Valid() ? &lineStarts : nullptr, {}, decision.encoding)
                      .written;
    }
    if (written.Ok()) {
        written = page.Append(PageEnd);
    }
    if (written.Ok()) {
        written = page.Commit();
    }
    if (written.Ok() && reader.Valid()) {
        window.SetCheckLines(
            {{std::move(reader), head.size(), head.size() + bodyBytes, !decision.encoding.IsShiftJis()},
             std::move(lineStarts)});
    }
    if (!written.Ok()) {
        return dialogue.FailWrite(request.baseName + u".html", written);
    }
    dialogue.Idle();
    window.SetStateLabel(After, AfterColour);
    window.ShowNotice(CompleteTitle, HtmlComplete);
    window.MoveFocus(FocusTarget::LogList);
    return true;
}

} // namespace

LoadOutcome RunLoad(WindowOperations& window, const LoadRequest& request) {
    return GuardMemory(window, request.fileName, [&] { return Load(window, request); });
}

bool RunConvertAndSave(WindowOperations& window, const ConvertRequest& request) {
    return GuardMemory(window, request.fileName, [&] { return ConvertAndSave(window, request); });
}

void RecoverJournals(WindowOperations& window) {
    ShowRecoveries(window, LogJournal::RecoverAll());
}

bool ExportHtml(WindowOperations& window, const HtmlOptions& options, const ExportRequest& request) {
    return GuardMemory(window, request.fileName, [&] { return Export(window, options, request); });
}

} // namespace parlowen
