#include "LogLoader.h"

#include "Cp932Codec.h"
#include "MappedFile.h"
#include "Prefault.h"

#include <algorithm>

namespace parlowen {
namespace {

LoadOutcome Load(WindowOperations& window, const LoadRequest& request);

template <typename Char>
std::basic_string_view<Char> Clean(std::basic_string_view<Char> line, bool removeSeparator) {
    const std::size_t first = line.find_first_not_of(Char(' '));
    line = first == line.npos ? std::basic_string_view<Char>() : line.substr(first);
    if (removeSeparator && !line.empty() && line.find_first_not_of(Char('-')) == line.npos) {
        return {};
    }
    return line;
}

} // namespace

std::u16string_view CleanLine(std::u16string_view line, bool removeSeparator) {
    return Clean(line, removeSeparator);
}

std::string_view CleanLine(std::string_view line, bool removeSeparator) {
    return Clean(line, removeSeparator);
}

LoadResult LoadLog(const std::string& path, const LoadAnswers& answers,
                   const std::function<void(double)>& progress) {
    LoadResult result;
    MappedFile log;
    result.status = MappedFile::Open(path, log);
    if (!result.status.Ok()) {
        return result;
    }
    const std::string_view bytes = log.Bytes();
    RequireMemory(bytes.size() * sizeof(char16_t));
    // Sized once for the worst case (every line kept, one unit per byte) and filled in place: the text of a
    // large log is built in a single pass.
    const auto lines =
        static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), LineEndOf<char>(bytes))) + 1;
    ReserveWritable(result.logText, bytes.size() + 2 * lines);
    result.logText.resize(bytes.size() + 2 * lines);
    char16_t* out = result.logText.data();
    ForEachCleanLine(bytes, answers, [&](std::string_view line, bool kept) {
        if (!kept) {
            return;
        }
        *out++ = u'\r';
        *out++ = u'\n';
        out = Cp932Codec::DecodeTo(line, out);
        result.lineCount += 1;
        if (progress) {
            progress(result.lineCount);
        }
    });
    result.logText.resize(static_cast<std::size_t>(out - result.logText.data()));
    return result;
}

LoadOutcome RunLoad(WindowOperations& window, const LoadRequest& request) {
    LoadOutcome outcome;
    GuardMemory(window, request.fileName, [&] {
        outcome = Load(window, request);
        return outcome.loaded;
    });
    return outcome;
}

namespace {

LoadOutcome Load(WindowOperations& window, const LoadRequest& request) {
    LoadOutcome outcome;
    if (request.fileName.empty()) {
        window.ShowNotice(u"Err:File select", u"ファイルが選択されていません！");
        window.MoveFocus(FocusTarget::File1);
        return outcome;
    }
    if (window.AskOkCancel(u"Ask:Null Delete", u"空白行を除去しますか？")) {
        outcome.answers.RemoveBlankLines = StoredTrue;
    }
    if (window.AskOkCancel(u"Ask:Line Delete", u"区切り線「----」行を除去しますか？")) {
        outcome.answers.RemoveSeparatorLines = StoredTrue;
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

} // namespace

} // namespace parlowen
