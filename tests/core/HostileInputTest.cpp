#include "Cp932Codec.h"
#include "HtmlExporter.h"
#include "LogConverter.h"
#include "LogLoader.h"
#include "ScriptedWindow.h"

#include "Dialogues.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parlowen {
namespace {

using namespace std::string_literals;

HtmlOptions NoKeywords() {
    ColorTable colours;
    colours.Reset();
    return MakeHtmlOptions(colours, false, u"", {});
}

struct Outcome {
    std::u16string shown;         // the check view after the load
    std::int64_t loadedLines = 0; // loadedLineCount
    std::string body;             // HtmlBody of an export without keywords
    std::string converted;        // the log after one conversion
    std::string twice;            // the log after a second conversion that keeps every line
};

// Loads, exports and converts the log as the buttons do, checking on the way that every step succeeded and
// left the busy pointer off.
Outcome RunAll(const std::string& log, bool removeBlank, bool removeSeparator) {
    TemporaryFolder folder;
    folder.Write("log.txt", log);
    Outcome outcome;
    ScriptedWindow window;
    window.answers = {removeBlank, removeSeparator, true, true};
    const LoadOutcome loaded = RunLoad(window, {folder.Path("log.txt"), u"log.txt"});
    EXPECT_TRUE(loaded.loaded);
    outcome.shown = window.checkText;
    outcome.loadedLines = loaded.loadedLineCount;
    outcome.body = BuildHtmlBody(folder.Path("log.txt"), NoKeywords(), loaded.answers, 0, nullptr).body;
    EXPECT_TRUE(RunConvertAndSave(window, {folder.Path("log.txt"), u"log.txt", loaded.answers, 0}));
    outcome.converted = folder.Read("log.txt");
    EXPECT_TRUE(RunConvertAndSave(window, {folder.Path("log.txt"), u"log.txt", {}, 0}));
    outcome.twice = folder.Read("log.txt");
    EXPECT_EQ(window.busyDepth, 0);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"});
    return outcome;
}

TEST(HostileLog, ControlCharactersAndMarkup) {
    struct Case {
        const char* name;
        std::string log;
        bool removeBlank;
        std::u16string shown;
        std::int64_t lines;
        std::string body;
        std::string converted;
        std::string twice;
    };
    const Case cases[] = {
        {"only CR", "\r\r\r", false, u"\r\n\r\n\r\n", 3, "<br>\r\n<br>\r\n<br>\r\n", "\r\n\r\n\r\n\r\n",
         "\r\n\r\n\r\n\r\n\r\n"},
        {"only CR, blank lines dropped", "\r\r\r", true, u"", 0, "", "\r\n", "\r\n\r\n"},
        {"only LF: lines end at LF", "\n\n\n", true, u"", 0, "", "\r\n", "\r\n\r\n"},
        {"LF-only log", "A\nB\n", false, u"\r\nA\r\nB", 2, "B<br>\r\nA<br>\r\n", "B\r\nA\r\n\r\n",
         "\r\nA\r\nB\r\n\r\n"},
        {"NUL bytes", "\0\0 \0\r\n\0"s, false, u"\r\n\0\0 \0\r\n\0"s, 2, "\0<br>\r\n\0\0 \0<br>\r\n"s,
         "\0\r\n\0\0 \0\r\n\r\n"s, "\r\n\0\0 \0\r\n\0\r\n\r\n"s},
        {"script and ampersands", "<script>alert(1)</script>\r\n&\r\n&amp;\r\n", false,
         u"\r\n<script>alert(1)</script>\r\n&\r\n&amp;", 3,
         "&amp;amp;<br>\r\n&amp;<br>\r\n&lt;script>alert(1)&lt;/script><br>\r\n",
         "&amp;\r\n&\r\n<script>alert(1)</script>\r\n\r\n",
         "\r\n<script>alert(1)</script>\r\n&\r\n&amp;\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunAll(c.log, c.removeBlank, false);
        EXPECT_EQ(outcome.shown, c.shown);
        EXPECT_EQ(outcome.loadedLines, c.lines);
        EXPECT_EQ(outcome.body, c.body);
        EXPECT_EQ(outcome.converted, c.converted);
        EXPECT_EQ(outcome.twice, c.twice);
    }
}

// A log saved as UTF-8 is shown as UTF-8, and no byte of it is lost, in the page or the rewritten log. One
// byte that is not UTF-8 makes it the Shift-JIS that it is not: the window shows whatever code page 932
// makes of it, and still no byte is lost.
TEST(HostileLog, Utf8LogIsShownAsUtf8AndKeptByteForByte) {
    const std::string first =
        "\xE3\x81\x9F\xE3\x82\x8D\xE3\x81\x86> \xE3\x81\x93\xE3\x82\x93 \xF0\x9F\x98\x80"; // たろう> こん 😀
    const std::string second = "\xE2\x99\xAA caf\xC3\xA9";                                 // ♪ café
    const Outcome outcome = RunAll(first + "\r\n" + second + "\r\n", false, false);
    EXPECT_EQ(outcome.shown, u"\r\nたろう> こん 😀\r\n♪ café");
    EXPECT_EQ(outcome.body, second + "<br>\r\n" + first + "<br>\r\n");
    EXPECT_EQ(outcome.converted, second + "\r\n" + first + "\r\n\r\n");
    EXPECT_EQ(outcome.twice, "\r\n" + first + "\r\n" + second + "\r\n\r\n");

    const Outcome notUtf8 = RunAll(first + "\r\n" + second + "\x80\r\n", false, false);
    EXPECT_EQ(notUtf8.shown.find(u"たろう"), std::u16string::npos) << "the log was read as UTF-8";
    EXPECT_EQ(Cp932Codec::Encode(notUtf8.shown).bytes, "\r\n" + first + "\r\n" + second + "\x80");
    EXPECT_EQ(notUtf8.converted, second + "\x80\r\n" + first + "\r\n\r\n");
}

// Random bytes without line ends or spaces are one line that every step keeps whole.
TEST(HostileLog, BinaryFileIsKeptByteForByte) {
    std::mt19937 random(7);
    std::string binary(1 << 20, '\0');
    for (char& byte : binary) {
        do {
            byte = static_cast<char>(random());
        } while (byte == '\r' || byte == '\n' || byte == ' ' || byte == '<' || byte == '>' || byte == '&');
    }
    binary[0] = '\0';
    const Outcome outcome = RunAll(binary, true, true);
    EXPECT_EQ(outcome.loadedLines, 1);
    // Codes with a twin would be written back as the twin, so what is shown is only ever decoded.
    EXPECT_TRUE(outcome.shown == u"\r\n" + Cp932Codec::Decode(binary));
    EXPECT_TRUE(outcome.body == binary + "<br>\r\n");
    EXPECT_TRUE(outcome.converted == binary + "\r\n\r\n");
    EXPECT_TRUE(outcome.twice == "\r\n" + binary + "\r\n\r\n");
}

// Any bytes at all: whatever the lines are, no "<" of the log reaches the page as markup.
TEST(HostileLog, RandomBytesNeverBecomeMarkup) {
    std::mt19937 random(11);
    std::string binary(1 << 20, '\0');
    std::generate(binary.begin(), binary.end(), [&] { return static_cast<char>(random()); });
    const Outcome outcome = RunAll(binary, false, false);
    const auto lines = static_cast<std::size_t>(outcome.loadedLines);
    EXPECT_EQ(lines, static_cast<std::size_t>(std::count(binary.begin(), binary.end(), '\r')) + 1);
    EXPECT_EQ(static_cast<std::size_t>(std::count(outcome.body.begin(), outcome.body.end(), '<')), lines);
    // ">" starts nothing, so the log's own ones stay beside the one of each "<br>".
    EXPECT_EQ(static_cast<std::size_t>(std::count(outcome.body.begin(), outcome.body.end(), '>')),
              lines + static_cast<std::size_t>(std::count(binary.begin(), binary.end(), '>')));
}

// 50 MB in one line without a terminator: one line everywhere, nothing cut off, nothing left unescaped.
TEST(HostileLog, FiftyMegabytesInASingleLine) {
    const std::string unit = Sjis(u"たろう> <b>&");
    const std::string escapedUnit = Sjis(u"たろう> &lt;b>&amp;");
    const std::size_t repeats = 50 * 1000 * 1000 / unit.size();
    std::string line;
    std::string escaped;
    line.reserve(repeats * unit.size());
    escaped.reserve(repeats * escapedUnit.size());
    for (std::size_t i = 0; i < repeats; ++i) {
        line += unit;
        escaped += escapedUnit;
    }
    const Outcome outcome = RunAll(line, true, true);
    EXPECT_EQ(outcome.loadedLines, 1);
    EXPECT_EQ(outcome.shown.size(), 2 + repeats * Cp932Codec::Decode(unit).size());
    EXPECT_TRUE(outcome.body == escaped + "<br>\r\n");
    EXPECT_TRUE(outcome.converted == line + "\r\n\r\n");
    EXPECT_TRUE(outcome.twice == "\r\n" + line + "\r\n\r\n");
}

TEST(HostileKeywords, MarkupSpacesAndUnencodableCharacters) {
    TemporaryFolder folder;
    folder.Write("log.txt", "<script>\r\n&x\r\n   \r\nTaro\r\n");
    const std::u16string euros(10, u'€');
    std::u16string faces;
    for (int i = 0; i < 10; ++i) {
        faces += u"😀";
    }
    struct Case {
        const char* name;
        std::u16string keyword; // in every speaker box and as the emphasised entry keyword
        std::string body;
    };
    const Case cases[] = {
        {"less-than", u"<",
         "Taro<br>\r\n<br>\r\n&amp;x<br>\r\n<font "
         "color=\"#000000\"><strong>&lt;script></strong></font><br>\r\n"},
        {"ampersand", u"&",
         "Taro<br>\r\n<br>\r\n<font "
         "color=\"#000000\"><strong>&amp;x</strong></font><br>\r\n&lt;script><br>\r\n"},
        {"spaces only", u"   ", "Taro<br>\r\n<br>\r\n&amp;x<br>\r\n&lt;script><br>\r\n"},
        {"ten characters Shift-JIS cannot hold", euros,
         "Taro<br>\r\n<br>\r\n&amp;x<br>\r\n&lt;script><br>\r\n"},
        {"ten characters beyond UTF-16's first plane", faces,
         "Taro<br>\r\n<br>\r\n&amp;x<br>\r\n&lt;script><br>\r\n"},
        {"a lone surrogate", u"\xD800", "Taro<br>\r\n<br>\r\n&amp;x<br>\r\n&lt;script><br>\r\n"},
        {"an escaped form never matches", u"&lt;", "Taro<br>\r\n<br>\r\n&amp;x<br>\r\n&lt;script><br>\r\n"},
    };
    ColorTable colours;
    colours.Reset();
    for (const Case& c : cases) {
        std::array<std::u16string, ColorTable::SpeakerCount> speakers;
        speakers.fill(c.keyword);
        const HtmlOptions options = MakeHtmlOptions(colours, true, c.keyword, speakers);
        EXPECT_EQ(BuildHtmlBody(folder.Path("log.txt"), options, {}, 4, nullptr).body, c.body) << c.name;
    }
}

// The title holds any name: what Shift-JIS cannot hold becomes a numeric character reference, and a log
// named only ".txt" gives the page ".html".
TEST(HostileFileName, TitleOfAnyName) {
    TemporaryFolder folder;
    folder.Write("log.txt", "A\r\n");
    struct Case {
        std::u16string baseName;
        std::string title;
    };
    const Case cases[] = {
        {u"", "<title>.html</title>"},
        {u"ログ€😀", "<title>" + Sjis(u"ログ") + "&#8364;&#128512;.html</title>"},
        {u"a\xD800z", "<title>a&#55296;z.html</title>"},
        {u"<script>&#65;", "<title>&lt;script>&amp;#65;.html</title>"},
    };
    for (const Case& c : cases) {
        ScriptedWindow window;
        ASSERT_TRUE(ExportHtml(window, NoKeywords(),
                               {folder.Path("log.txt"), folder.Path(".html"), u".txt", c.baseName, {}, 1}));
        const std::string page = folder.Read(".html");
        EXPECT_NE(page.find("\r\n" + c.title + "\r\n"), std::string::npos) << page;
        EXPECT_EQ(folder.Names(), (std::vector<std::string>{".html", "log.txt"}));
    }
}

constexpr std::uint64_t Gigabyte = 1ULL << 30;

// The address space this process uses now, in bytes.
std::uint64_t AddressSpaceInUse() {
    std::uint64_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

struct ChildRun {
    int exit = -1;            // -1: killed (std::bad_alloc aborts)
    double peakMegabytes = 0; // the child's peak resident memory
};

// Runs body in a child whose address space may grow by at most extra bytes (none: no limit).
ChildRun InChildWithin(std::uint64_t extra, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(300);
        if (extra != 0) {
            const rlim_t limit = AddressSpaceInUse() + extra;
            const rlimit bound{limit, limit};
            ::setrlimit(RLIMIT_AS, &bound);
        }
        ::_exit(body());
    }
    int wait = 0;
    rusage usage{};
    ChildRun run;
    if (child > 0 && ::wait4(child, &wait, 0, &usage) == child && WIFEXITED(wait)) {
        run.exit = WEXITSTATUS(wait);
    }
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return run;
}

// Regression: a log too big for memory killed the program with std::bad_alloc (SIGABRT). Each operation runs
// in a child with an address-space limit and either completes or ends with the read notice that names the
// lack of memory, the busy pointer off. The conversion streams, so it completes within the mapping of the
// log and 300 MB more: the program's own libraries and mappings make a bound on the whole address space
// meaningless, so the bound is on what the conversion adds to it.
TEST(HostileSize, LogTooBigForMemoryGivesANoticeAndConvertsInBoundedMemory) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space and ends the program on a failed "
                    "allocation, so no address-space limit can be tried under it";
#endif
    TemporaryFolder folder;
    PrivateStateFolder state;
    const std::u16string noMemory =
        u"notice Err:File read: 「log.txt」を読み込めませんでした。\r\nメモリが足りません。";
    const std::string chatLine = "たろう> chat line of the log\r\n";
    // A terabyte is sparse; a gigabyte is written as short chat lines, A first and B last.
    auto make = [&](std::uint64_t size) {
        std::ofstream log(folder.Path("log.txt"), std::ios::binary | std::ios::trunc);
        log << "A\r\n";
        if (size > 4 * Gigabyte) {
            log.seekp(static_cast<std::streamoff>(size - 6));
        } else {
            std::string block;
            while (block.size() < (1 << 20)) {
                block += chatLine;
            }
            for (std::uint64_t written = 0; written + block.size() <= size; written += block.size()) {
                log << block;
            }
        }
        log << "B\r\n";
    };
    struct Case {
        const char* name;
        std::uint64_t size;
        std::uint64_t extra; // the address space the operation may add; 0 for no limit
        bool completes;      // false: the memory notice; both for the export
        std::function<bool(ScriptedWindow&)> run;
    };
    std::uintmax_t original = 0;
    const Case cases[] = {
        {"loading a sparse terabyte", 1024 * Gigabyte, 0, false,
         [&](ScriptedWindow& window) {
             return RunLoad(window, {folder.Path("log.txt"), u"log.txt"}).loaded;
         }},
        {"loading a gigabyte under a 3 GB limit", Gigabyte, 3 * Gigabyte, false,
         [&](ScriptedWindow& window) {
             return RunLoad(window, {folder.Path("log.txt"), u"log.txt"}).loaded;
         }},
        {"exporting a gigabyte under a 3 GB limit", Gigabyte, 3 * Gigabyte, true,
         [&](ScriptedWindow& window) {
             return ExportHtml(
                        window, NoKeywords(),
                        {folder.Path("log.txt"), folder.Path("log.html"), u"log.txt", u"log", {}, 2}) ||
                    window.calls[window.calls.size() - 2] == noMemory;
         }},
        // The converted text is too large to show: that is said, and not as a failure to read the log.
        {"converting a gigabyte in its mapping and 300 MB", Gigabyte, Gigabyte + 300 * (1 << 20), true,
         [&](ScriptedWindow& window) {
             window.answers = {true};
             return RunConvertAndSave(window, {folder.Path("log.txt"), u"log.txt", {}, 2}) &&
                    window.calls[window.calls.size() - 5] ==
                        u"notice Message:Log Change & Save: 「log.txt」の変換は完了しましたが、"
                        u"変換後のテキストは大きすぎるため表示できません。";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        make(c.size);
        original = std::filesystem::file_size(folder.Path("log.txt"));
        const ChildRun run = InChildWithin(c.extra, [&] {
            ScriptedWindow window;
            window.answers = {false, false}; // the load's questions, or the conversion's and one spare
            const bool completed = c.run(window);
            const bool noticed = !completed && window.calls[window.calls.size() - 2] == noMemory;
            return (completed ? c.completes : noticed) && window.busyDepth == 0 &&
                           window.calls.back() == u"focus logList"
                       ? 0
                       : 1;
        });
        EXPECT_EQ(run.exit, 0) << "-1: killed, 1: neither completed nor gave the memory notice";
        std::printf("%s: peak resident memory %.0f MB\n", c.name, run.peakMegabytes);
        if (c.extra == Gigabyte + 300 * (1 << 20)) {
            EXPECT_LT(run.peakMegabytes, 300);
        }
    }
    // The last case's log, converted: B first, then the chat lines, then A and the extra CR LF.
    const std::string head = "B\r\n" + chatLine;
    const std::string tail = "\r\nA\r\n\r\n";
    const std::uintmax_t size = std::filesystem::file_size(folder.Path("log.txt"));
    EXPECT_EQ(size, original + 2);
    std::string read(head.size() + tail.size(), '\0');
    const int file = ::open(folder.Path("log.txt").c_str(), O_RDONLY);
    EXPECT_EQ(::pread(file, read.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    EXPECT_EQ(::pread(file, read.data() + head.size(), tail.size(), static_cast<off_t>(size - tail.size())),
              static_cast<ssize_t>(tail.size()));
    ::close(file);
    EXPECT_EQ(read, head + tail);
    EXPECT_TRUE(state.Names().empty());
}

} // namespace
} // namespace parlowen
