#include "HtmlExporter.h"

#include "Cp932Codec.h"
#include "HtmlColor.h"
#include "LineReader.h"

#include <vector>

namespace parlowen {
namespace {

constexpr char16_t ProductName[] = u"プログラム名　チャットログ編集ツール Parlowen Pro";

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}


} // namespace

std::u16string TrimSpaces(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return {};
    }
    return std::u16string(text.substr(first, text.find_last_not_of(u' ') - first + 1));
}

HtmlOptions MakeHtmlOptions(const ColorTable& colors, bool emphasis, std::u16string_view entryKeyword,
                            const std::array<std::u16string, ColorTable::SpeakerCount>& speakerKeywords) {
    HtmlOptions options;
    options.EntryEmphasis = emphasis;
    options.EntryKeyword = TrimSpaces(entryKeyword);
    options.PageColor = colors.Get(ColorTable::PageSlot);
    options.EntryColor = colors.Get(ColorTable::EntrySlot);
    for (std::size_t speaker = 0; speaker < ColorTable::SpeakerCount; ++speaker) {
        options.SpeakerKeywords[speaker] = TrimSpaces(speakerKeywords[speaker]);
        options.SpeakerColors[speaker] = colors.Get(ColorTable::SpeakerSlot(speaker));
    }
    return options;
}


namespace {

// The keyword tests prepared once per export: escaped keywords and the opening and closing tags.
class LineTagger {
public:
    explicit LineTagger(const HtmlOptions& options) {
        // Keywords are compared in their escaped form, so "Taro>" still finds "Taro&gt; hi". An escaped
        // keyword never holds "<", so once a line is wrapped no later keyword can match it: the first
        // matching rule is the only one that applies.
        if (options.EntryEmphasis) {
            AddRule(options.EntryKeyword, options.EntryColor, true);
        }
        for (std::size_t speaker = 0; speaker < options.SpeakerKeywords.size(); ++speaker) {
            AddRule(options.SpeakerKeywords[speaker], options.SpeakerColors[speaker], false);
        }
    }

    void AppendTagged(std::u16string_view cleanedLine, std::u16string& out) {
        escaped_.clear();
        AppendEscaped(cleanedLine, escaped_);
        for (const Rule& rule : rules_) {
            if (StartsWith(escaped_, rule.keyword)) {
                out += rule.open;
                out += escaped_;
                out += rule.close;
                return;
            }
        }
        out += escaped_;
    }

    static void AppendEscaped(std::u16string_view text, std::u16string& out) {
        for (const char16_t character : text) {
            switch (character) {
            case u'&':
                out += u"&amp;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            default:
                out += character;
            }
        }
    }

private:
    struct Rule {
        std::u16string keyword;
        std::u16string open;
        std::u16string close;
    };

    void AddRule(std::u16string_view keyword, std::u16string_view colorText, bool bold) {
        if (keyword.empty()) {
            return;
        }
        Rule rule;
        AppendEscaped(keyword, rule.keyword);
        rule.open = u"<font color=\"" + ToHtmlColor(colorText) + u"\">";
        if (bold) {
            rule.open += u"<strong>";
            rule.close = u"</strong>";
        }
        rule.close += u"</font>";
        rules_.push_back(std::move(rule));
    }

    std::vector<Rule> rules_;
    std::u16string escaped_;
};

} // namespace

std::u16string TagLine(std::u16string_view cleanedLine, const HtmlOptions& options) {
    std::u16string tagged;
    LineTagger(options).AppendTagged(cleanedLine, tagged);
    return tagged;
}

HtmlResult BuildHtmlBody(const std::string& logPath, const HtmlOptions& options, const LoadAnswers& answers,
                         double total, const std::function<void(std::int32_t, double)>& progress) {
    HtmlResult result;
    std::u16string text;
    result.status = ReadLogText(logPath, text);
    if (!result.status.Ok()) {
        return result;
    }
    // Tagged lines are written one after another and then copied back to front, which keeps the export
    // linear in the log.
    LineTagger tagger(options);
    std::u16string forward;
    forward.reserve(text.size() + text.size() / 4);
    std::vector<std::size_t> ends;
    LineReader reader(text);
    std::u16string_view line;
    while (reader.Next(line)) {
        const std::u16string_view cleaned = CleanLine(line, answers.RemoveSeparatorLines != VbFalse);
        if (answers.RemoveBlankLines != VbFalse && cleaned.empty()) {
            continue;
        }
        tagger.AppendTagged(cleaned, forward);
        ends.push_back(forward.size());
        ++result.writtenLines;
        if (progress) {
            progress(result.writtenLines, total);
        }
    }
    text = std::u16string(); // a hundred-megabyte log is held three times over otherwise
    constexpr std::u16string_view lineEnd = u"<br>\r\n";
    result.body.reserve(forward.size() + ends.size() * lineEnd.size());
    for (std::size_t index = ends.size(); index-- > 0;) {
        const std::size_t begin = index == 0 ? 0 : ends[index - 1];
        result.body.append(forward, begin, ends[index] - begin);
        result.body += lineEnd;
    }
    return result;
}

std::u16string EscapeHtml(std::u16string_view text) {
    std::u16string escaped;
    LineTagger::AppendEscaped(text, escaped);
    return escaped;
}

std::u16string PageHead(const HtmlOptions& options, std::u16string_view baseName) {
    std::u16string head = u"<html>\r\n<head>\r\n";
    head += u"<meta http-equiv=\"Content-Type\"content=\"text/html; charset=x-sjis\">\r\n";
    head += u"<meta name=\"GENERATOR\" content=\"";
    head += ProductName;
    head += u"\">\r\n<title>";
    head += EscapeHtml(baseName);
    head += u".html</title>\r\n</head>\r\n<body bgcolor=\"";
    head += ToHtmlColor(options.PageColor);
    head += u"\">\r\n";
    return head;
}

std::string EncodePage(const HtmlOptions& options, std::u16string_view baseName, std::u16string_view body) {
    // The body came from the log and encodes back byte for byte; only the title can hold a character from
    // elsewhere (the file name), and that is written as a character reference.
    std::string bytes;
    bytes.reserve(body.size() * 2 + 512);
    Cp932Codec::EncodeAppend(PageHead(options, baseName), bytes, Unencodable::NumericReference);
    Cp932Codec::EncodeAppend(body, bytes, Unencodable::NumericReference);
    Cp932Codec::EncodeAppend(u"\r\n</body></html>\r\n", bytes);
    return bytes;
}

bool ExportHtml(WindowOperations& window, const HtmlOptions& options, const ExportRequest& request) {
    window.ShowNotice(u"Message:HTML Change & Save",
                      u"中間ファイル作成のため、テキストウィンドウに\r\nＨＴＭＬタグが表示されます。");
    window.SetBusy(true);
    window.SetCheckText({});
    HtmlResult result = BuildHtmlBody(request.logPath, options, request.answers, request.loadedLineCount,
                                      [&window](std::int32_t count, double total) {
                                          window.SetLineCounter({static_cast<double>(count), total});
                                      });
    if (!result.status.Ok()) {
        window.SetBusy(false);
        ShowReadFailure(window, request.fileName, result.status);
        window.MoveFocus(FocusTarget::File1);
        return false;
    }
    const std::string bytes = EncodePage(options, request.baseName, result.body);
    window.SetCheckText(std::move(result.body));
    FileStatus written = FileStore::Replace(request.pagePath, bytes);
    window.SetBusy(false);
    if (!written.Ok()) {
        ShowWriteFailure(window, request.baseName + u".html", written);
        window.MoveFocus(FocusTarget::File1);
        return false;
    }
    window.SetStateLabel(u"After", AfterColour);
    window.ShowNotice(u"Complete Massage", u"HTML change complete!");
    window.MoveFocus(FocusTarget::File1);
    return true;
}

} // namespace parlowen
