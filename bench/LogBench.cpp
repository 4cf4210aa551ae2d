// Times the log operations on generated Shift-JIS logs: parlowen_bench [megabytes...] (default 1 10 100).
#include "Cp932Codec.h"
#include "HtmlExporter.h"
#include "LogConverter.h"
#include "LogLoader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace parlowen;

namespace {

const std::u16string Speakers[] = {u"たろう", u"はなこ", u"じろう", u"さくら", u"けんた", u"ゆき", u"まさる", u"あおい"};
const std::u16string Phrases[] = {u"こんばんは！", u"今日は寒いですね。", u"それは面白いｗ", u"また明日〜",
                                  u"<b>太字</b> & 記号", u"了解です", u"ログを整理しています。"};

std::string GenerateLog(std::size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::u16string text;
    std::string log;
    while (log.size() < bytes) {
        text.clear();
        for (int line = 0; line < 256; ++line) {
            switch (random() % 20) {
            case 0:
                text += u"\r\n";
                continue;
            case 1:
                text += u"----\r\n";
                continue;
            case 2:
                text += u"【入室】" + Speakers[random() % 8] + u"さんが入室しました。\r\n";
                continue;
            default:
                break;
            }
            if (random() % 4 == 0) {
                text += u"  ";
            }
            text += Speakers[random() % 8] + u"> " + Phrases[random() % 7] + Phrases[random() % 7] + u"\r\n";
        }
        log += Cp932Codec::Encode(text).bytes;
    }
    return log;
}

template <typename Run>
double Seconds(Run&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) {
        sizes = {1, 10, 100};
    }
    const std::string path = "/tmp/parlowen-bench.txt";
    const LoadAnswers answers{VbTrue, VbTrue};
    ColorTable colors;
    colors.Reset();
    const HtmlOptions options = MakeHtmlOptions(colors, true, u"【入室】",
                                                {u"たろう", u"はなこ", u"じろう", u"さくら", u"けんた", u"ゆき",
                                                 u"まさる", u"あおい", u"ゲスト", u"管理人"});
    std::printf("%8s %10s %10s %10s %10s\n", "MB", "load s", "convert s", "html s", "lines");
    for (int megabytes : sizes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << GenerateLog(megabytes * 1000000ULL, 42);
        double lines = 0;
        const double load = Seconds([&] { lines = LoadLog(path, answers, [](double) {}).lineCount; });
        const double convert = Seconds([&] {
            ConvertResult result = ConvertLog(path, answers, lines, [](std::int32_t, double) {});
            WriteConvertedLog(path, result.bytes);
        });
        const double html = Seconds([&] {
            HtmlResult result = BuildHtmlBody(path, options, answers, lines, [](std::int32_t, double) {});
            FileStore::Replace("/tmp/parlowen-bench.html", BuildPage(options, u"bench", result.body));
        });
        std::printf("%8d %10.3f %10.3f %10.3f %10.0f\n", megabytes, load, convert, html, lines);
    }
    std::remove(path.c_str());
    std::remove("/tmp/parlowen-bench.html");
}
