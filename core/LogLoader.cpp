#include "LogLoader.h"

#include "Cp932Codec.h"
#include "LineReader.h"

namespace parlowen {

std::u16string_view CleanLine(std::u16string_view line, bool removeSeparator) {
    const std::size_t first = line.find_first_not_of(u' ');
    line = first == std::u16string_view::npos ? std::u16string_view() : line.substr(first);
    if (removeSeparator && !line.empty() && line.find_first_not_of(u'-') == std::u16string_view::npos) {
        return {};
    }
    return line;
}

FileStatus ReadLogText(const std::string& path, std::u16string& text) {
    std::string bytes;
    FileStatus status = FileStore::ReadAll(path, bytes);
    text.clear();
    if (status.Ok()) {
        Cp932Codec::DecodeAppend(bytes, text);
    }
    return status;
}

LoadResult LoadLog(const std::string& path, const LoadAnswers& answers,
                   const std::function<void(double)>& progress) {
    LoadResult result;
    std::u16string text;
    result.status = ReadLogText(path, text);
    if (!result.status.Ok()) {
        return result;
    }
    // Every kept line costs at most itself plus CR LF, so one reservation keeps the appends linear.
    result.logText.reserve(text.size() + text.size() / 8 + 16);
    LineReader reader(text);
    std::u16string_view line;
    while (reader.Next(line)) {
        const std::u16string_view cleaned = CleanLine(line, answers.RemoveSeparatorLines != VbFalse);
        if (answers.RemoveBlankLines != VbFalse && cleaned.empty()) {
            continue;
        }
        result.logText += u"\r\n";
        result.logText += cleaned;
        result.lineCount += 1;
        if (progress) {
            progress(result.lineCount);
        }
    }
    return result;
}

LoadOutcome RunLoad(WindowOperations& window, const LoadRequest& request) {
    LoadOutcome outcome;
    if (request.fileName.empty()) {
        window.ShowNotice(u"Err:File select", u"ファイルが選択されていません！");
        window.MoveFocus(FocusTarget::File1);
        return outcome;
    }
    if (window.AskOkCancel(u"Ask:Null Delete", u"空白行を除去しますか？")) {
        outcome.answers.RemoveBlankLines = VbTrue;
    }
    if (window.AskOkCancel(u"Ask:Line Delete", u"区切り線「----」行を除去しますか？")) {
        outcome.answers.RemoveSeparatorLines = VbTrue;
    }
    window.SetBusy(true);
    LoadResult result = LoadLog(request.path, outcome.answers, [&window](double count) {
        window.SetLineCounter({count, std::nullopt});
    });
    if (!result.status.Ok()) {
        window.SetBusy(false);
        ShowReadFailure(window, request.fileName, result.status);
        window.MoveFocus(FocusTarget::File1);
        return outcome;
    }
    outcome.loaded = true;
    outcome.loadedLineCount = result.lineCount;
    window.SetCheckText(std::move(result.logText));
    window.SetStateLabel(u"Before", BeforeColour);
    window.SetBusy(false);
    window.MoveFocus(FocusTarget::Check1);
    return outcome;
}

} // namespace parlowen
