// Converting reverses the kept lines of any log; converting the result again with no removal chosen gives
// the original cleaned lines, with the empty lines that the extra CR LF of each rewrite adds.
#include "FuzzSupport.h"
#include "LogConverter.h"

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
    ConvertResult result = ConvertLog(path, answers, 7, [&](std::int32_t count, double total) {
        Require(count == lastCount + 1 && total == 7, "the convert counter skipped or lost its total");
        lastCount = count;
    });
    Require(result.status.Ok(), "the conversion failed");
    Require(static_cast<std::size_t>(lastCount) == linesInFile, "the counter did not count every line read");
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
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
    Require(RewriteLog(path, keepAll, 7, nullptr).status.Ok(), "the rewrite failed");
    Require(ReadFile(path) == first.bytes + "\r\n", "the rewritten log is not the text and one CR LF");

    // The extra CR LF is read back as one more, empty, line, which the second reversal puts first.
    std::string twice = "\r\n";
    for (const fuzz::ReferenceLine& line : original) {
        twice += line.cleaned + "\r\n";
    }
    Require(Convert(path, keepAll, original.size() + 1).bytes == twice,
            "converting twice did not give the original lines back");
    return 0;
}
