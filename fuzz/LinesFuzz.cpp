// Reading a log's lines and cleaning them gives the lines that the rules give, whether the lines are taken
// from the bytes or from the decoded text, and the load shows exactly the kept ones. The same bytes behind a
// UTF-8 or UTF-16 mark load too, as well-formed text, unless an odd byte count refuses the UTF-16 one.
#include "Cp932Codec.h"
#include "FuzzSupport.h"
#include "LineReader.h"
#include "LogLoader.h"
#include "UnicodeCodec.h"

#include <cstdint>

using namespace parlowen;
using parlowen::fuzz::Require;

namespace {

void CheckAnswers(std::string_view bytes, const std::string& path, const LoadAnswers& answers) {
    const std::vector<fuzz::ReferenceLine> expected = fuzz::ReferenceCleanLines(bytes, answers);

    std::size_t index = 0;
    ForEachCleanLine(bytes, answers, [&](std::string_view cleaned, bool kept) {
        Require(index < expected.size(), "more lines than the reference");
        Require(cleaned == expected[index].cleaned, "a cleaned line differs from the reference");
        Require(kept == expected[index].kept, "the blank-line rule differs from the reference");
        ++index;
    });
    Require(index == expected.size(), "fewer lines than the reference");

    // CR, LF, space and "-" are never the second byte of a character, so the decoded text has the same lines.
    const std::u16string text = Cp932Codec::Decode(bytes);
    LineReader reader(text);
    std::u16string_view line;
    index = 0;
    while (reader.Next(line)) {
        Require(index < expected.size(), "the decoded text has more lines");
        Require(CleanLine(line, answers.removeSeparatorLines) == Cp932Codec::Decode(expected[index].cleaned),
                "a decoded line differs from the decoded bytes' line");
        ++index;
    }
    Require(index == expected.size(), "the decoded text has fewer lines");

    std::u16string logText;
    std::int64_t keptLines = 0;
    for (const fuzz::ReferenceLine& reference : expected) {
        if (reference.kept) {
            logText += u"\r\n" + Cp932Codec::Decode(reference.cleaned);
            keptLines += 1;
        }
    }
    std::int64_t lastProgress = 0;
    const LoadResult loaded = LoadLog(
        path, answers,
        [&](std::int64_t count) {
            Require(count == lastProgress + 1, "the load counter skipped");
            lastProgress = count;
        },
        EncodingChoice::ShiftJis);
    Require(loaded.status.Ok(), "the load failed");
    Require(loaded.logText == logText, "the loaded text is not CR LF before every kept line");
    Require(loaded.lineCount == keptLines && lastProgress == keptLines, "the load counted wrongly");
}

bool WellFormed(std::u16string_view text) {
    std::u16string repaired(text);
    UnicodeCodec::RepairUtf16(repaired.data(), repaired.data() + repaired.size());
    return repaired == text;
}

void CheckMarked(std::string_view bytes) {
    const std::string utf8 = "\xEF\xBB\xBF" + std::string(bytes);
    const LoadResult loaded = LoadLog(fuzz::WriteScratchLog(utf8), {}, nullptr);
    Require(loaded.status.Ok() && loaded.encoding == LogEncoding{LogEncoding::Kind::Utf8, 3},
            "a UTF-8 log with a mark did not load as UTF-8");
    // In UTF-8, as in Shift-JIS, CR and LF are never inside a longer sequence: the lines are the bytes'
    // lines.
    Require(loaded.lineCount == static_cast<std::int64_t>(fuzz::ReferenceCleanLines(bytes, {}).size()),
            "the UTF-8 load has other lines than the bytes");
    Require(WellFormed(loaded.logText), "the UTF-8 load shows a lone surrogate");
    for (const std::string mark : {"\xFF\xFE", "\xFE\xFF"}) {
        const LoadResult wide = LoadLog(fuzz::WriteScratchLog(mark + std::string(bytes)), {}, nullptr);
        if (bytes.size() % 2 != 0 || (mark[0] == '\xFF' && bytes.starts_with(std::string_view("\0\0", 2)))) {
            Require(!wide.status.Ok(), "an odd UTF-16 or a UTF-32 log was not refused");
            continue;
        }
        Require(wide.status.Ok(), "a UTF-16 log did not load");
        Require(WellFormed(wide.logText), "the UTF-16 load shows a lone surrogate");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckMarked(bytes);
    // The Shift-JIS reference holds for a log that no byte-order mark claims for another encoding.
    if (!DecideEncoding(bytes, EncodingChoice::ShiftJis).status.Ok()) {
        return 0;
    }
    const std::string path = fuzz::WriteScratchLog(bytes);
    for (const LoadAnswers& answers : fuzz::AllAnswers) {
        CheckAnswers(bytes, path, answers);
    }
    return 0;
}
