// The HTML export of any log with any keywords: every "<" of the body opens one of the export's own tags,
// every body line ends in "<br>" CR LF, each line is the log's line with "&", "<" and ">" escaped, wrapped
// by the first keyword rule that matches it, and the page's title gives back the log's name.
//
// Input: one byte of flags (blank lines, separators, emphasis), then up to a NUL byte the keywords and the
// page's base name separated by TAB (entry keyword, speakers 0 to 9, base name), then the log. A field that
// begins with 0x01 is UTF-16LE, so it can hold characters that Shift-JIS cannot; the others are Shift-JIS.
#include "Cp932Codec.h"
#include "FuzzSupport.h"
#include "HtmlColor.h"
#include "HtmlExporter.h"
#include "UnicodeCodec.h"

#include <cstdint>

using namespace parlowen;
using parlowen::fuzz::Require;

namespace {

struct Input {
    LoadAnswers answers;
    bool emphasis = false;
    std::u16string entryKeyword;
    std::array<std::u16string, ColorTable::SpeakerCount> speakerKeywords;
    std::u16string baseName = u"log";
    std::string_view log;
};

std::u16string Field(std::string_view bytes) {
    if (bytes.empty() || bytes[0] != '\x01') {
        return Cp932Codec::Decode(bytes);
    }
    std::u16string text;
    for (std::size_t index = 1; index + 1 < bytes.size(); index += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[index]) |
                                      static_cast<unsigned char>(bytes[index + 1]) << 8);
    }
    return text;
}

Input Parse(std::string_view bytes) {
    Input input;
    if (bytes.empty()) {
        return input;
    }
    const auto flags = static_cast<unsigned char>(bytes[0]);
    input.answers = {(flags & 1) != 0, (flags & 2) != 0};
    input.emphasis = (flags & 4) != 0;
    bytes.remove_prefix(1);
    const std::size_t end = bytes.find('\0');
    if (end == std::string_view::npos) {
        input.log = bytes;
        return input;
    }
    std::string_view fields = bytes.substr(0, end);
    input.log = bytes.substr(end + 1);
    for (int field = 0; field < 12 && !fields.empty(); ++field) {
        const std::size_t tab = fields.find('\t');
        const std::u16string text = Field(fields.substr(0, tab));
        fields = tab == std::string_view::npos ? std::string_view() : fields.substr(tab + 1);
        if (field == 0) {
            input.entryKeyword = text;
        } else if (field <= 10) {
            input.speakerKeywords[field - 1] = text;
        } else {
            input.baseName = text;
        }
    }
    return input;
}

// Every colour of the table different, so that the tag shows which rule applied.
ColorTable Colours() {
    static constexpr const char16_t* levels[] = {u"255", u"204", u"153", u"102", u"51", u"00"};
    ColorTable colours;
    colours.Reset();
    colours.Set(ColorTable::PageSlot, u"204,204, 255");
    colours.Set(ColorTable::EntrySlot, u"00, 51,102");
    for (std::size_t speaker = 0; speaker < ColorTable::SpeakerCount; ++speaker) {
        colours.Set(ColorTable::SpeakerSlot(speaker),
                    std::u16string(u"255,") + levels[speaker % 6] + u", " + levels[speaker / 6]);
    }
    return colours;
}

std::string Escaped(std::string_view line) {
    std::string escaped;
    for (const char character : line) {
        escaped += character == '&' ? "&amp;" : character == '<' ? "&lt;" : std::string(1, character);
    }
    return escaped;
}

std::string FontTag(std::u16string_view colour) {
    return "<font color=\"" + Cp932Codec::Encode(ToHtmlColor(colour)).bytes + "\">";
}

// The body line a cleaned log line must become, from the keyword rules alone.
std::string ExpectedLine(const std::string& cleaned, const HtmlOptions& options) {
    const std::u16string text = Cp932Codec::Decode(cleaned);
    auto begins = [&](const std::u16string& keyword) {
        return !keyword.empty() && text.compare(0, keyword.size(), keyword) == 0;
    };
    if (options.EntryEmphasis && begins(options.EntryKeyword)) {
        return FontTag(options.EntryColor) + "<strong>" + Escaped(cleaned) + "</strong></font><br>";
    }
    for (std::size_t speaker = 0; speaker < options.SpeakerKeywords.size(); ++speaker) {
        if (begins(options.SpeakerKeywords[speaker])) {
            return FontTag(options.SpeakerColors[speaker]) + Escaped(cleaned) + "</font><br>";
        }
    }
    return Escaped(cleaned) + "<br>";
}

bool StartsWith(std::string_view text, std::size_t at, std::string_view prefix) {
    return text.compare(at, prefix.size(), prefix) == 0;
}

// Markup is only what the export writes itself: its tags, and references for "&" and "<".
void RequireOnlyOwnMarkup(std::string_view body) {
    static constexpr std::string_view tags[] = {"<br>", "<strong>", "</strong>", "</font>"};
    for (std::size_t at = 0; at < body.size(); ++at) {
        if (body[at] == '<') {
            bool known = false;
            for (std::string_view tag : tags) {
                if (StartsWith(body, at, tag)) {
                    at += tag.size() - 1;
                    known = true;
                    break;
                }
            }
            if (!known) {
                Require(StartsWith(body, at, "<font color=\"#"), "a \"<\" that opens no tag of the export");
                at += 14;
                while (at < body.size() &&
                       ((body[at] >= '0' && body[at] <= '9') || (body[at] >= 'A' && body[at] <= 'F'))) {
                    ++at;
                }
                Require(StartsWith(body, at, "\">"), "a colour that is not hexadecimal");
                ++at;
            }
        } else if (body[at] == '&') {
            Require(StartsWith(body, at, "&amp;") || StartsWith(body, at, "&lt;"),
                    "an \"&\" that is not escaped");
        }
    }
}

// Reads the title back: Shift-JIS, then the references that stand for "&", "<" and unencodable units.
std::u16string ReadTitle(std::string_view title) {
    const std::u16string text = Cp932Codec::Decode(title);
    std::u16string read;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const std::u16string_view rest = std::u16string_view(text).substr(at);
        if (rest.starts_with(u"&amp;") || rest.starts_with(u"&lt;")) {
            read += rest[1] == u'a' ? u'&' : u'<';
            at = text.find(u';', at);
        } else if (rest.starts_with(u"&#")) {
            std::uint32_t value = 0;
            for (at += 2; at < text.size() && text[at] != u';'; ++at) {
                Require(text[at] >= u'0' && text[at] <= u'9', "a numeric reference that is not a number");
                value = value * 10 + (text[at] - u'0');
            }
            if (value >= 0x10000) {
                read += static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
                read += static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
            } else {
                read += static_cast<char16_t>(value);
            }
        } else {
            Require(text[at] != u'&' && text[at] != u'<', "markup in the title");
            read += text[at];
        }
    }
    return read;
}

// The same log behind a UTF-8 mark, and its bytes widened to UTF-16 units behind a UTF-16 mark, give
// well-formed UTF-8 bodies with the Shift-JIS body's lines, and the UTF-16 body is that of the same
// characters in UTF-8.
void CheckUnicodeBodies(const Input& input, const HtmlOptions& options, std::int32_t kept) {
    const std::string utf8 = "\xEF\xBB\xBF" + std::string(input.log);
    const HtmlResult fromUtf8 = BuildHtmlBody(fuzz::WriteScratchLog(utf8), options, input.answers, 3, nullptr,
                                              {1 + input.log.size() % 16, 2});
    Require(fromUtf8.status.Ok() && fromUtf8.writtenLines == kept, "the UTF-8 log's body has other lines");
    RequireOnlyOwnMarkup(fromUtf8.body);
    Require(UnicodeCodec::CheckUtf8(fromUtf8.body).valid, "the UTF-8 page's body is not UTF-8");
    Require(fromUtf8.text == UnicodeCodec::DecodeUtf8(fromUtf8.body), "the check text is not the UTF-8 body");

    std::u16string widened;
    for (const char byte : input.log) {
        widened += static_cast<char16_t>(static_cast<unsigned char>(byte));
    }
    std::string utf16 = "\xFE\xFF";
    UnicodeCodec::Utf16BytesAppend(widened, true, utf16);
    std::string same = "\xEF\xBB\xBF";
    UnicodeCodec::EncodeUtf8Append(widened, same);
    const HtmlResult fromUtf16 =
        BuildHtmlBody(fuzz::WriteScratchLog(utf16), options, input.answers, 3, nullptr);
    const HtmlResult fromSame =
        BuildHtmlBody(fuzz::WriteScratchLog(same), options, input.answers, 3, nullptr);
    Require(fromUtf16.status.Ok() && fromUtf16.writtenLines == kept, "the UTF-16 log's body has other lines");
    Require(fromUtf16.body == fromSame.body, "the UTF-16 body is not the UTF-8 body of its characters");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input input = Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const HtmlOptions options =
        MakeHtmlOptions(Colours(), input.emphasis, input.entryKeyword, input.speakerKeywords);
    // The Shift-JIS reference holds for a log that no byte-order mark claims for another encoding.
    if (!DecideEncoding(input.log, EncodingChoice::ShiftJis).status.Ok()) {
        return 0;
    }
    const std::string path = fuzz::WriteScratchLog(input.log);

    std::int32_t lastCount = 0;
    // Small pieces on two threads, so that the pieces' edges fall anywhere in the log.
    const HtmlResult result = BuildHtmlBody(
        path, options, input.answers, 3,
        [&](std::int32_t count, std::int64_t total) {
            Require(count == lastCount + 1 && total == 3, "the export counter skipped or lost its total");
            lastCount = count;
        },
        {1 + size % 16, 2}, EncodingChoice::ShiftJis);
    Require(result.status.Ok(), "the export failed to read the log");
    RequireOnlyOwnMarkup(result.body);

    std::string expected;
    std::int32_t kept = 0;
    for (const fuzz::ReferenceLine& line : fuzz::ReferenceCleanLines(input.log, input.answers)) {
        if (line.kept) {
            expected.insert(0, ExpectedLine(line.cleaned, options) + "\r\n");
            ++kept;
        }
    }
    Require(result.writtenLines == kept && lastCount == kept, "the export counted wrongly");
    Require(result.body == expected, "the body is not the tagged lines in reverse order");
    Require(result.text == Cp932Codec::Decode(result.body), "the check text is not the body");
    CheckUnicodeBodies(input, options, kept);
    for (std::size_t at = result.body.find('\r'); at != std::string::npos;
         at = result.body.find('\r', at + 1)) {
        Require(at >= 4 && StartsWith(result.body, at - 4, "<br>\r\n"),
                "a body line that does not end in <br> CR LF");
    }

    const std::string page = BuildPage(options, input.baseName, result.body);
    constexpr std::string_view headEnd = ".html</title>\r\n</head>\r\n<body bgcolor=\"#CCCCFF\">\r\n";
    constexpr std::string_view pageEnd = "\r\n</body></html>\r\n";
    Require(page.size() >= result.body.size() + pageEnd.size(), "the page is shorter than its body");
    const std::size_t bodyAt = page.size() - result.body.size() - pageEnd.size();
    Require(page.compare(bodyAt, std::string::npos, result.body + std::string(pageEnd)) == 0,
            "the page does not end in the body and its closing lines");
    const std::size_t titleAt = page.find("<title>") + 7;
    const std::size_t titleEnd = page.find(headEnd, titleAt);
    Require(titleEnd != std::string::npos && titleEnd + headEnd.size() == bodyAt,
            "the head does not end as it should");
    const std::u16string title = ReadTitle(std::string_view(page).substr(titleAt, titleEnd - titleAt));
    bool rawBytes = false;
    for (const char16_t unit : input.baseName) {
        rawBytes = rawBytes || (unit >= 0xDC80 && unit <= 0xDCFF);
    }
    // A raw byte may join the character after it: only names read from a file system without them come back.
    Require(rawBytes || title == input.baseName, "the title does not give back the name");
    return 0;
}
