#include "LogLoader.h"

#include "Cp932Codec.h"
#include "MappedFile.h"
#include "Prefault.h"

#include <algorithm>
#include <vector>

namespace parlowen {
namespace {

constexpr std::size_t LoadPieceBytes = std::size_t{16} << 20;

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
    // Read in pieces whose memory is given back once they are read, so that a large log is held once, as
    // text. The text is reserved for the worst case (every line kept, one unit per byte) and grows in place.
    const char lineEnd = LineEndOf(bytes);
    const std::vector<std::string_view> pieces = SplitAtLineEnds(bytes, lineEnd, LoadPieceBytes);
    std::vector<std::size_t> worst(pieces.size());
    std::size_t reserve = 0;
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        const std::string_view piece = pieces[index];
        worst[index] = piece.size() +
                       2 * (static_cast<std::size_t>(std::count(piece.begin(), piece.end(), lineEnd)) + 1);
        reserve += worst[index];
    }
    result.logText.reserve(reserve);
    GrowingBuffer text(result.logText);
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        char16_t* out = text.Extend(worst[index]);
        ForEachCleanLine(pieces[index], lineEnd, answers, [&](std::string_view line, bool kept) {
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
        text.Commit(out);
        log.Release(pieces[index]);
    }
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
