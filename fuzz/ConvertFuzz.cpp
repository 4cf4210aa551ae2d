// Converting reverses the kept lines of any log; converting the result again with no removal chosen gives
// the original cleaned lines, with the empty lines that the extra CR LF of each rewrite adds. A log with CR
// LF line ends, no leading spaces and nothing to drop comes back whole from two conversions in every
// encoding, its mark in place.
#include "Cp932Codec.h"
#include "FuzzSupport.h"
#include "LogConverter.h"
#include "UnicodeCodec.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace parlowen;
using parlowen::fuzz::Require;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ConvertResult Convert(const std::string& path, const LoadAnswers& answers, std::size_t linesInFile) {
    std::int32_t lastCount = 0;
    ConvertResult result = ConvertLog(
        path, answers, 7,
        [&](std::int32_t count, std::int64_t total) {
            Require(count == lastCount + 1 && total == 7, "the convert counter skipped or lost its total");
            lastCount = count;
        },
        EncodingChoice::ShiftJis);
    Require(result.status.Ok(), "the conversion failed");
    Require(static_cast<std::size_t>(lastCount) == linesInFile, "the counter did not count every line read");
    return result;
}

// The input's characters as lines that no conversion changes but for their order.
std::u16string TidyLog(std::string_view bytes) {
    std::u16string log;
    for (const fuzz::ReferenceLine& line : fuzz::ReferenceCleanLines(bytes, {})) {
        std::u16string text;
        for (const char16_t unit : Cp932Codec::Decode(line.cleaned)) {
            if (unit != u'\r' && unit != u'\n' && (unit != u' ' || !text.empty())) {
                text += unit;
            }
        }
        log += text + u"\r\n";
    }
    return log;
}

void ConvertTwiceInEveryEncoding(std::string_view bytes) {
    const std::u16string log = TidyLog(bytes);
    std::string utf8;
    UnicodeCodec::EncodeUtf8Append(log, utf8);
    std::string utf16le = "\xFF\xFE";
    UnicodeCodec::Utf16BytesAppend(log, false, utf16le);
    std::string utf16be = "\xFE\xFF";
    UnicodeCodec::Utf16BytesAppend(log, true, utf16be);
    const std::pair<std::string, std::size_t> logs[] = {
        {utf8, 0}, {"\xEF\xBB\xBF" + utf8, 3}, {utf16le, 2}, {utf16be, 2}};
    for (const auto& [original, markSize] : logs) {
        const ConvertResult once = ConvertLog(fuzz::WriteScratchLog(original), {}, 1, nullptr);
        // UTF-16LE that starts with U+0000 carries the mark of UTF-32LE, and is refused as that.
        if (original.starts_with(std::string_view("\xFF\xFE\0\0", 4))) {
            Require(once.status.kind == FileStatus::Kind::Utf32, "a UTF-32 mark was not refused");
            continue;
        }
        Require(once.status.Ok(), "a Unicode log was not converted");
        Require(once.bytes.size() == original.size() &&
                    once.bytes.compare(0, markSize, original, 0, markSize) == 0,
                "the converted Unicode log lost bytes or its mark");
        if (once.bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4))) {
            continue; // the reversed log now starts with U+0000: see above
        }
        const ConvertResult twice = ConvertLog(fuzz::WriteScratchLog(once.bytes), {}, 1, nullptr);
        Require(twice.status.Ok() && twice.bytes == original, "converting twice did not give the log back");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ConvertTwiceInEveryEncoding(bytes);
    // The Shift-JIS reference holds for a log that no byte-order mark claims for another encoding.
    if (!DecideEncoding(bytes, EncodingChoice::ShiftJis).status.Ok()) {
        return 0;
    }
    const std::string path = fuzz::WriteScratchLog(bytes);

    for (const LoadAnswers& answers : fuzz::AllAnswers) {
        const std::vector<fuzz::ReferenceLine> lines = fuzz::ReferenceCleanLines(bytes, answers);
        std::string reversed;
        for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
            if (line->kept) {
                reversed += line->cleaned + "\r\n";
            }
        }
        Require(Convert(path, answers, lines.size()).bytes == reversed,
                "the converted text is not the reversal");
    }

    const LoadAnswers keepAll{};
    const std::vector<fuzz::ReferenceLine> original = fuzz::ReferenceCleanLines(bytes, keepAll);
    ConvertResult first = Convert(path, keepAll, original.size());
    // The journal goes beside the scratch log rather than into the user's state folder.
    ::setenv("XDG_STATE_HOME", (path.substr(0, path.rfind('/')) + "/state").c_str(), 1);
    Require(RewriteLog(path, keepAll, 7, nullptr, EncodingChoice::ShiftJis).status.Ok(),
            "the rewrite failed");
    Require(ReadFile(path) == first.bytes + "\r\n", "the rewritten log is not the text and one CR LF");
    // A last line that begins with a byte-order mark puts it first, and a named Shift-JIS then refuses the
    // log.
    if (!DecideEncoding(first.bytes, EncodingChoice::ShiftJis).status.Ok()) {
        return 0;
    }

    // The extra CR LF is read back as one more, empty, line, which the second reversal puts first.
    std::string twice = "\r\n";
    for (const fuzz::ReferenceLine& line : original) {
        twice += line.cleaned + "\r\n";
    }
    Require(Convert(path, keepAll, original.size() + 1).bytes == twice,
            "converting twice did not give the original lines back");
    return 0;
}
