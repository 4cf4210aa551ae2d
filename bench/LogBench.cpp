// Times the log operations on generated Shift-JIS logs, and on the same chat in UTF-8, against the tools
// every Linux user has:
//   parlowen_bench [--runs N] [--utf8 MB]... [megabytes...]   (default: 1 10 100, and UTF-8 100)
//   parlowen_bench --write-log PATH MEGABYTES      writes one generated log for other measurements
//   parlowen_bench --run load|convert|html LOG     runs one operation once in this process, for a profiler
// Every operation runs in a child process of its own, so that its time and peak memory are its alone.
#include "Cp932Codec.h"
#include "Dialogues.h"
#include "HtmlExporter.h"
#include "LogConverter.h"
#include "LogLoader.h"
#include "UnicodeCodec.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace parlowen;

namespace {

const std::u16string Speakers[] = {u"たろう", u"はなこ", u"じろう", u"さくら", u"けんた",
                                   u"ゆき",   u"まさる", u"あおい", u"ゲスト", u"管理人"};
const std::u16string Phrases[] = {
    u"こんばんは！",       u"今日は寒いですね。", u"それは面白いｗ",        u"また明日〜",
    u"<b>太字</b> & 記号", u"了解です",           u"ログを整理しています。"};

// A chat log with entry/exit lines, blank and "----" lines and leading spaces, the same for the same seed.
std::string GenerateLog(std::size_t bytes, unsigned seed, bool utf8 = false) {
    std::mt19937 random(seed);
    std::string log;
    std::u16string text;
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
                text += u"【入室】" + Speakers[random() % 10] + u"さんが入室しました。\r\n";
                continue;
            default:
                break;
            }
            if (random() % 4 == 0) {
                text += u"  ";
            }
            text += Speakers[random() % 10] + u"> " + Phrases[random() % 7] + Phrases[random() % 7] + u"\r\n";
        }
        if (utf8) {
            UnicodeCodec::EncodeUtf8Append(text, log);
        } else {
            log += Cp932Codec::Encode(text).bytes;
        }
    }
    // A UTF-8 log is cut at a line end, so that it stays valid UTF-8 and is read as UTF-8.
    log.resize(utf8 ? log.rfind("\r\n", bytes) : bytes);
    log += "\r\n";
    return log;
}

class SilentWindow final : public WindowOperations {
  public:
    bool AskOkCancel(std::u16string_view, std::u16string_view) override { return true; }
    void ShowNotice(std::u16string_view, std::u16string_view) override {}
    void Beep() override {}
    void SetBusy(bool) override {}
    void SetStateLabel(std::u16string_view, Rgb) override {}
    void SetLineCounter(const LineCount&) override {}
    void SetCheckText(std::u16string) override {}
    // As the check view, which reads the rows it shows from the file.
    void SetCheckFile(CheckFile) override {}
    void SetCheckLines(CheckLines) override {}
    void MoveFocus(FocusTarget) override {}
};

struct Measure {
    double seconds = 0;
    double peakMegabytes = 0;
};

// Runs work in a child process and measures it from the outside.
Measure InChild(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "an operation failed\n");
        std::exit(1);
    }
    return {seconds, usage.ru_maxrss / 1024.0};
}

// A command reading the log on its standard input or as an argument and writing to a file.
std::function<void()> Command(std::vector<std::string> arguments, const std::string& output) {
    return [arguments, output] {
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    };
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--write-log") {
        std::ofstream(argv[2], std::ios::binary | std::ios::trunc)
            << GenerateLog(std::atoi(argv[3]) * 1000000ULL, 42);
        return 0;
    }
    const LoadAnswers answers{true, true};
    ColorTable colors;
    colors.Reset();
    std::array<std::u16string, ColorTable::SpeakerCount> keywords;
    std::copy(std::begin(Speakers), std::end(Speakers), keywords.begin());
    const HtmlOptions options = MakeHtmlOptions(colors, true, u"【入室】", keywords);
    const auto engine = [&](const std::string& log, const std::string& folder) {
        return std::map<std::string, std::function<void()>>{
            {"load", [&answers, log] { LoadLogLines(log, answers, [](std::int64_t) {}); }},
            {"convert", [&answers, log] { RewriteLog(log, answers, 0, [](std::int32_t, std::int64_t) {}); }},
            {"html",
             [&answers, &options, log, folder] {
                 SilentWindow window;
                 ExportHtml(window, options,
                            {log, folder + "/bench.html", u"bench.txt", u"bench", answers, 0});
             }},
        };
    };
    if (argc == 4 && std::string(argv[1]) == "--run") {
        const std::string log = argv[3];
        const auto operations = engine(log, log.substr(0, log.find_last_of('/') + 1) + ".");
        if (!operations.contains(argv[2])) {
            std::fprintf(stderr, "no operation %s\n", argv[2]);
            return 2;
        }
        operations.at(argv[2])();
        return 0;
    }
    int runs = 5;
    struct Size {
        int megabytes;
        bool utf8;
    };
    std::vector<Size> sizes;
    bool utf8Given = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (std::string(argv[i]) == "--utf8" && i + 1 < argc) {
            utf8Given = true;
            if (const int megabytes = std::atoi(argv[++i]); megabytes > 0) {
                sizes.push_back({megabytes, true});
            }
        } else {
            sizes.push_back({std::atoi(argv[i]), false});
        }
    }
    if (std::none_of(sizes.begin(), sizes.end(), [](const Size& size) { return !size.utf8; })) {
        sizes.insert(sizes.begin(), {{1, false}, {10, false}, {100, false}});
    }
    if (!utf8Given) {
        sizes.push_back({100, true});
    }
    // TMPDIR on a file system in memory takes the disk out of the table.
    const char* temporary = std::getenv("TMPDIR");
    const std::string folder = std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") +
                               "/parlowen-bench-" + std::to_string(getpid());
    const std::string log = folder + "/bench.txt";
    const std::string scratch = folder + "/out";
    std::system(("mkdir -p " + folder).c_str());
    ::setenv("XDG_STATE_HOME", folder.c_str(), 1); // the rewrite's journal, not in the user's state folder

    const char* names[] = {"load", "convert", "html", "tac", "iconv", "cat"};
    std::printf("%6s %-8s %9s %8s %8s %7s %7s\n", "MB", "op", "median s", "MB/s", "peak MB", "x tac",
                "x iconv");
    for (const auto [megabytes, utf8] : sizes) {
        {
            std::ofstream(log, std::ios::binary | std::ios::trunc)
                << GenerateLog(megabytes * 1000000ULL, 42, utf8);
        }
        std::map<std::string, std::function<void()>> operations = engine(log, folder);
        operations.insert({
            {"tac", Command({"tac", "-s", "\r\n", log}, scratch)},
            {"iconv", Command({"iconv", "-f", utf8 ? "UTF-8" : "CP932", "-t", "UTF-16LE", log}, scratch)},
            {"cat", Command({"cat", log}, scratch)},
        });
        std::map<std::string, Measure> medians;
        for (const char* name : names) {
            std::vector<double> seconds;
            double peak = 0;
            for (int run = 0; run < runs; ++run) {
                const Measure measure = InChild(operations.at(name));
                seconds.push_back(measure.seconds);
                peak = std::max(peak, measure.peakMegabytes);
            }
            medians[name] = {Median(seconds), peak};
        }
        for (const char* name : names) {
            const Measure& measure = medians[name];
            std::printf("%6s %-8s %9.3f %8.0f %8.0f %7.2f %7.2f\n",
                        (std::to_string(megabytes) + (utf8 ? "u8" : "")).c_str(), name, measure.seconds,
                        megabytes / measure.seconds, measure.peakMegabytes,
                        measure.seconds / medians["tac"].seconds, measure.seconds / medians["iconv"].seconds);
        }
        std::fflush(stdout);
    }
    std::system(("rm -rf " + folder).c_str());
}
