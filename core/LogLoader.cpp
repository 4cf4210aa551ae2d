#include "LogLoader.h"

#include "Cp932Codec.h"
#include "MappedFile.h"
#include "Prefault.h"
#include "UnicodeCodec.h"

#include <algorithm>
#include <cstring>
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

// Where each kept line's cleaned text starts, if every line of text ends in CR LF, or every one in LF; false
// for a log with a CR elsewhere, whose lines the check view would not split alike.
bool FindKeptLines(const MappedFile& log, std::string_view text, const LoadAnswers& answers,
                   const std::function<void(std::int64_t)>& progress, LoadResult& result) {
    const bool crLf = LineEndOf(text) == '\r';
    std::vector<std::uint64_t>& starts = result.lines.starts;
    starts.reserve(text.size() / 24 + 2);
    starts.push_back(CheckLines::EmptyLine);
    const char* released = text.data();
    for (std::size_t position = 0; position < text.size();) {
        const void* found = std::memchr(text.data() + position, '\n', text.size() - position);
        const std::size_t lineFeed =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : text.size();
        std::size_t lineEnd = lineFeed;
        if (crLf && found) {
            if (lineEnd == position || text[lineEnd - 1] != '\r') {
                return false;
            }
            --lineEnd;
        }
        const std::string_view line = text.substr(position, lineEnd - position);
        if (crLf && std::memchr(line.data(), '\r', line.size())) {
            return false;
        }
        const std::string_view cleaned = CleanLine(line, answers.removeSeparatorLines);
        if (!(answers.removeBlankLines && cleaned.empty())) {
            const std::size_t start =
                cleaned.empty() ? lineEnd : static_cast<std::size_t>(cleaned.data() - text.data());
            starts.push_back(start | (cleaned.size() > CheckRowLength ? CheckLines::LongLine : 0));
            result.lineCount += 1;
            if (progress) {
                progress(result.lineCount);
            }
        }
        position = lineFeed + 1;
        if (text.data() + position - released >= static_cast<std::ptrdiff_t>(LoadPieceBytes)) {
            log.Release({released, static_cast<std::size_t>(text.data() + position - released)});
            released = text.data() + position;
        }
    }
    return true;
}

// Maps the log and decides its encoding; false, with the status set, when it cannot be read. The memory the
// load will take is asked for before the encoding's pass over the log, so that a sparse terabyte fails at
// once.
template <typename MemoryFor>
bool OpenLog(const std::string& path, EncodingChoice choice, MemoryFor memoryFor, MappedFile& log,
             LoadResult& result) {
    result.status = MappedFile::Open(path, log);
    if (!result.status.Ok()) {
        return false;
    }
    RequireMemory(memoryFor(log.Bytes().size()));
    const EncodingDecision decision = DecideEncoding(log, choice);
    result.status = decision.status;
    result.encoding = decision.encoding;
    return result.status.Ok();
}

// The text the check view shows, decoded from the log's own encoding.
void LoadText(MappedFile& log, const LoadAnswers& answers, const std::function<void(std::int64_t)>& progress,
              LoadResult& result) {
    const std::string_view text = result.encoding.Text(log.Bytes());
    switch (result.encoding.kind) {
    case LogEncoding::Kind::ShiftJis:
        LoadBytes(log, text, answers, progress, Cp932Codec::DecodeTo, result);
        break;
    case LogEncoding::Kind::Utf8:
        LoadBytes(log, text, answers, progress, UnicodeCodec::DecodeUtf8To, result);
        break;
    case LogEncoding::Kind::Utf16Le:
    case LogEncoding::Kind::Utf16Be:
        LoadUtf16(text, result.encoding.BigEndian(), answers, progress, result);
        break;
    }
}

} // namespace

LoadResult LoadLogLines(const std::string& path, const LoadAnswers& answers,
                        const std::function<void(std::int64_t)>& progress, EncodingChoice choice) {
    LoadResult result;
    MappedFile log;
    // The index takes up to a third of the log (8 bytes a row of 24).
    if (!OpenLog(
            path, choice, [](std::size_t size) { return size / 3; }, log, result)) {
        return result;
    }
    const std::string_view text = result.encoding.Text(log.Bytes());
    FileDescriptor reader(::dup(log.Descriptor()));
    if (!result.encoding.IsUtf16() && reader.Valid() && FindKeptLines(log, text, answers, progress, result)) {
        const auto begin = static_cast<std::uint64_t>(text.data() - log.Bytes().data());
        result.lines.file = {std::move(reader), begin, begin + text.size(), !result.encoding.IsShiftJis()};
        return result;
    }
    // Loaded as text instead, from the same mapping; the counter goes on from where it stood.
    const std::int64_t counted = result.lineCount;
    std::vector<std::uint64_t>().swap(result.lines.starts);
    result.lineCount = 0;
    LoadText(
        log, answers,
        [&](std::int64_t count) {
            if (count > counted && progress) {
                progress(count);
            }
        },
        result);
    return result;
}

LoadResult LoadLog(const std::string& path, const LoadAnswers& answers,
                   const std::function<void(std::int64_t)>& progress, EncodingChoice choice) {
    LoadResult result;
    MappedFile log;
    if (OpenLog(
            path, choice, [](std::size_t size) { return size * sizeof(char16_t); }, log, result)) {
        LoadText(log, answers, progress, result);
    }
    return result;
}

} // namespace parlowen
