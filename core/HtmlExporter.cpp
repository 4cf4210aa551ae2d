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

std::u16string Wrap(std::u16string_view line, std::u16string_view colorText, bool bold) {
    std::u16string wrapped = u"<font color=\"";
    wrapped += ToHtmlColor(colorText);
    wrapped += u"\">";
    if (bold) {
        wrapped += u"<strong>";
    }
    wrapped += line;
    if (bold) {
        wrapped += u"</strong>";
    }
    wrapped += u"</font>";
    return wrapped;
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

std::u16string EscapeHtml(std::u16string_view text) {
    std::u16string escaped;
    escaped.reserve(text.size());
    for (const char16_t character : text) {
        switch (character) {
        case u'&':
            escaped += u"&amp;";
            break;
        case u'<':
            escaped += u"&lt;";
            break;
        case u'>':
            escaped += u"&gt;";
            break;
        default:
            escaped += character;
        }
    }
    return escaped;
}

std::u16string TagLine(std::u16string_view cleanedLine, const HtmlOptions& options) {
    // Keywords are compared in their escaped form, so "Taro>" still finds "Taro&gt; hi", and as an escaped
    // keyword never holds "<", no keyword can match the wrapping of an earlier step.
    std::u16string line = EscapeHtml(cleanedLine);
    const std::u16string entryKeyword = EscapeHtml(options.EntryKeyword);
    if (options.EntryEmphasis && !entryKeyword.empty() && StartsWith(line, entryKeyword)) {
        line = Wrap(line, options.EntryColor, true);
    }
    for (std::size_t speaker = 0; speaker < options.SpeakerKeywords.size(); ++speaker) {
        const std::u16string keyword = EscapeHtml(options.SpeakerKeywords[speaker]);
        if (!keyword.empty() && StartsWith(line, keyword)) {
            line = Wrap(line, options.SpeakerColors[speaker], false);
        }
    }
    return line;
}

HtmlResult BuildHtmlBody(const std::string& logPath, const HtmlOptions& options, const LoadAnswers& answers,
                         double total, const std::function<void(std::int32_t, double)>& progress) {
    HtmlResult result;
    std::u16string text;
    result.status = ReadLogText(logPath, text);
    if (!result.status.Ok()) {
        return result;
    }
    // Tagged lines are collected and then joined back to front, which keeps the export linear in the log.
    std::vector<std::u16string> lines;
    std::size_t size = 0;
    LineReader reader(text);
    std::u16string_view line;
    while (reader.Next(line)) {
        std::u16string tagged = TagLine(CleanLine(line, answers.RemoveSeparatorLines != VbFalse), options);
        if (answers.RemoveBlankLines != VbFalse && tagged.empty()) {
            continue;
        }
        size += tagged.size() + 6;
        lines.push_back(std::move(tagged));
        ++result.writtenLines;
        if (progress) {
            progress(result.writtenLines, total);
        }
    }
    result.body.reserve(size);
    for (auto tagged = lines.rbegin(); tagged != lines.rend(); ++tagged) {
        result.body += *tagged;
        result.body += u"<br>\r\n";
    }
    return result;
}

std::u16string BuildPage(const HtmlOptions& options, std::u16string_view baseName, std::u16string_view body) {
    std::u16string page;
    page.reserve(body.size() + 512);
    page += u"<html>\r\n";
    page += u"<head>\r\n";
    page += u"<meta http-equiv=\"Content-Type\"content=\"text/html; charset=x-sjis\">\r\n";
    page += u"<meta name=\"GENERATOR\" content=\"";
    page += ProductName;
    page += u"\">\r\n";
    page += u"<title>";
    page += EscapeHtml(baseName);
    page += u".html</title>\r\n";
    page += u"</head>\r\n";
    page += u"<body bgcolor=\"";
    page += ToHtmlColor(options.PageColor);
    page += u"\">\r\n";
    page += body;
    page += u"\r\n";
    page += u"</body></html>\r\n";
    return page;
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
    // Only the title can hold a character from outside the log (the file name); it is written as a
    // character reference, everything else came from the log and encodes back byte for byte.
    std::string bytes;
    Cp932Codec::EncodeAppend(BuildPage(options, request.baseName, result.body), bytes,
                             Unencodable::NumericReference);
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
