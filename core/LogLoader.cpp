#include "LogLoader.h"

#include "Cp932Codec.h"
#include "MappedFile.h"
#include "Prefault.h"
#include "UnicodeCodec.h"

#include <algorithm>
#include <vector>

namespace parlowen {
namespace {

constexpr std::size_t LoadPieceBytes = std::size_t{16} << 20;

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

namespace {

// The byte encodings: Shift-JIS, and UTF-8, where CR, LF, space and "-" are never part of a longer sequence
// either, so the lines and their cleaning are those of the bytes.
template <typename Decode>
void LoadBytes(MappedFile& log, std::string_view bytes, const LoadAnswers& answers,
               const std::function<void(std::int64_t)>& progress, Decode decode, LoadResult& result) {
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
            out = decode(line, out);
            result.lineCount += 1;
            if (progress) {
                progress(result.lineCount);
            }
        });
        text.Commit(out);
        log.Release(pieces[index]);
    }
}

void LoadUtf16(std::string_view bytes, bool bigEndian, const LoadAnswers& answers,
               const std::function<void(std::int64_t)>& progress, LoadResult& result) {
    RequireMemory(bytes.size() * 2);
    const std::u16string units = UnicodeCodec::Utf16Units(bytes, bigEndian);
    ForEachCleanLine(units, answers, [&](std::u16string_view line, bool kept) {
        if (!kept) {
            return;
        }
        result.logText += u"\r\n";
        const std::size_t start = result.logText.size();
        result.logText += line;
        UnicodeCodec::RepairUtf16(result.logText.data() + start,
                                  result.logText.data() + result.logText.size());
        result.lineCount += 1;
        if (progress) {
            progress(result.lineCount);
        }
    });
}

} // namespace

LoadResult LoadLog(const std::string& path, const LoadAnswers& answers,
                   const std::function<void(std::int64_t)>& progress, EncodingChoice choice) {
    LoadResult result;
    MappedFile log;
    result.status = MappedFile::Open(path, log);
    if (!result.status.Ok()) {
        return result;
    }
    // Before the encoding's pass over the log, so that a sparse terabyte fails at once.
    RequireMemory(log.Bytes().size() * sizeof(char16_t));
    const EncodingDecision decision = DecideEncoding(log, choice);
    result.status = decision.status;
    result.encoding = decision.encoding;
    if (!result.status.Ok()) {
        return result;
    }
    const std::string_view text = decision.encoding.Text(log.Bytes());
    switch (decision.encoding.kind) {
    case LogEncoding::Kind::ShiftJis:
        LoadBytes(log, text, answers, progress, Cp932Codec::DecodeTo, result);
        break;
    case LogEncoding::Kind::Utf8:
        LoadBytes(log, text, answers, progress, UnicodeCodec::DecodeUtf8To, result);
        break;
    case LogEncoding::Kind::Utf16Le:
    case LogEncoding::Kind::Utf16Be:
        LoadUtf16(text, decision.encoding.BigEndian(), answers, progress, result);
        break;
    }
    return result;
}

} // namespace parlowen
