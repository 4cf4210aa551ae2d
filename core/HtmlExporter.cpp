#include "HtmlExporter.h"

#include "Cp932Codec.h"
#include "HtmlColor.h"
#include "LineReader.h"
#include "MappedFile.h"
#include "Prefault.h"
#include "UnicodeCodec.h"
#include "UserTexts.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace parlowen {
namespace {

constexpr std::size_t ReleaseBytes = std::size_t{8} << 20;
constexpr std::string_view LineBreak = "<br>\r\n";

} // namespace

std::u16string TrimSpaces(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return {};
    }
    return std::u16string(text.substr(first, text.find_last_not_of(u' ') - first + 1));
}

bool KeywordsFit(const HtmlOptions& options, const LogEncoding& encoding) {
    if (!encoding.IsShiftJis()) {
        return true;
    }
    return Cp932Codec::Encode(options.EntryKeyword).Ok() &&
           std::all_of(options.SpeakerKeywords.begin(), options.SpeakerKeywords.end(),
                       [](const std::u16string& keyword) { return Cp932Codec::Encode(keyword).Ok(); });
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

// Whether any byte of an eight-byte word is the given one (the classic zero-byte test on word ^ pattern).
constexpr bool HasByte(std::uint64_t word, unsigned char byte) {
    const std::uint64_t difference = word ^ (0x0101010101010101ULL * byte);
    return ((difference - 0x0101010101010101ULL) & ~difference & 0x8080808080808080ULL) != 0;
}

void AppendEscapedBytes(std::string_view line, std::string& out) {
    // Only "&" and "<" can start markup in HTML text; ">" is left as it is, so "たろう> " stays readable.
    // Both are below 0x40, so in code page 932 they are never the second byte of a character and can be
    // replaced byte by byte. Most blocks of a line hold neither and are skipped whole.
    std::size_t copied = 0;
    std::size_t index = 0;
    while (index < line.size()) {
#ifdef __SSE2__
        if (line.size() - index >= 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + index));
            const auto found = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
                _mm_cmpeq_epi8(block, _mm_set1_epi8('&')), _mm_cmpeq_epi8(block, _mm_set1_epi8('<')))));
            if (found == 0) {
                index += 16;
                continue;
            }
            index += static_cast<std::size_t>(std::countr_zero(found));
        }
#endif
        if (line.size() - index >= 8) {
            std::uint64_t word;
            std::memcpy(&word, line.data() + index, sizeof word);
            if (!HasByte(word, '&') && !HasByte(word, '<')) {
                index += 8;
                continue;
            }
        }
        std::string_view reference;
        switch (line[index]) {
        case '&':
            reference = "&amp;";
            break;
        case '<':
            reference = "&lt;";
            break;
        default:
            ++index;
            continue;
        }
        out.append(line, copied, index - copied);
        out += reference;
        copied = ++index;
    }
    out.append(line, copied);
}

// The keyword tests prepared once per export, with the opening and closing tags already in bytes.
class LineTagger {
  public:
    // utf8: the lines are UTF-8 rather than code page 932.
    LineTagger(const HtmlOptions& options, bool utf8) : utf8_(utf8) {
        // Keywords are compared in their escaped form, so "Taro&" still finds "Taro&amp; hi". An escaped
        // keyword never holds "<", so once a line is wrapped no later keyword can match it: the first
        // matching rule is the only one that applies. Escaping maps each character to its own fixed text
        // and no two of those texts begin alike, so comparing the unescaped texts gives the same answer.
        if (options.EntryEmphasis) {
            AddRule(options.EntryKeyword, options.EntryColor, true);
        }
        for (std::size_t speaker = 0; speaker < options.SpeakerKeywords.size(); ++speaker) {
            AddRule(options.SpeakerKeywords[speaker], options.SpeakerColors[speaker], false);
        }
    }

    void AppendTagged(std::string_view cleanedLine, std::string& out) {
        if (utf8_) {
            // Each character has one UTF-8 form, so comparing bytes compares characters.
            for (const Rule& rule : rules_) {
                if (cleanedLine.starts_with(rule.keywordBytes)) {
                    out += rule.open;
                    AppendEscapedBytes(cleanedLine, out);
                    out += rule.close;
                    return;
                }
            }
        } else if (!rules_.empty() && !cleanedLine.empty()) {
            // A character takes at most two bytes, so this many bytes decode at least the longest keyword.
            const std::string_view head = cleanedLine.substr(0, longestKeyword_ * 2);
            prefix_.resize(head.size());
            prefix_.resize(
                static_cast<std::size_t>(Cp932Codec::DecodeTo(head, prefix_.data()) - prefix_.data()));
            const std::u16string_view prefix = prefix_;
            for (const Rule& rule : rules_) {
                if (prefix.starts_with(rule.keyword)) {
                    out += rule.open;
                    AppendEscapedBytes(cleanedLine, out);
                    out += rule.close;
                    return;
                }
            }
        }
        AppendEscapedBytes(cleanedLine, out);
    }

    // The most that tags add to one line.
    std::size_t LongestTags() const {
        std::size_t longest = 0;
        for (const Rule& rule : rules_) {
            longest = std::max(longest, rule.open.size() + rule.close.size());
        }
        return longest;
    }

  private:
    struct Rule {
        std::u16string keyword;
        std::string keywordBytes; // UTF-8
        std::string open;
        std::string close;
    };

    void AddRule(const std::u16string& keyword, std::u16string_view colorText, bool bold) {
        if (keyword.empty()) {
            return;
        }
        Rule rule;
        rule.keyword = keyword;
        // A colour text that is not a colour still reaches the page only as escaped text.
        const std::u16string open = u"<font color=\"" + EscapeHtml(ToHtmlColor(colorText)) + u"\">";
        if (utf8_) {
            UnicodeCodec::EncodeUtf8Append(keyword, rule.keywordBytes);
            UnicodeCodec::EncodeUtf8Append(open, rule.open);
        } else {
            Cp932Codec::EncodeAppend(open, rule.open, Unencodable::NumericReference);
        }
        if (bold) {
            rule.open += "<strong>";
            rule.close = "</strong>";
        }
        rule.close += "</font>";
        longestKeyword_ = std::max(longestKeyword_, keyword.size());
        rules_.push_back(std::move(rule));
    }

    bool utf8_;
    std::vector<Rule> rules_;
    std::size_t longestKeyword_ = 0;
    std::u16string prefix_;
};

} // namespace

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
        default:
            escaped += character;
        }
    }
    return escaped;
}

std::u16string TagLine(std::u16string_view cleanedLine, const HtmlOptions& options) {
    std::string tagged;
    LineTagger(options, false)
        .AppendTagged(Cp932Codec::Encode(cleanedLine, Unencodable::NumericReference).bytes, tagged);
    return Cp932Codec::Decode(tagged);
}

BodyOutcome WriteHtmlBody(const MappedFile& log, const HtmlOptions& options, const LoadAnswers& answers,
                          std::int64_t total, const ExportProgress& progress, const PageSink& page,
                          std::vector<std::uint64_t>* lineStarts, const BodyWork& work,
                          const LogEncoding& encoding) {
    // The page of a Unicode log is UTF-8: a valid UTF-8 log is read where it lies, any other is converted
    // first, so that the page never carries a byte its declaration does not allow.
    std::string_view bytes = log.Bytes();
    std::string converted;
    bool mapped = true;
    if (!encoding.IsShiftJis()) {
        bytes = encoding.Text(log.Bytes());
        if (encoding.IsUtf16()) {
            RequireMemory(bytes.size() * 2);
            UnicodeCodec::EncodeUtf8Append(UnicodeCodec::Utf16Units(bytes, encoding.BigEndian()), converted);
            mapped = false;
        } else if (!UnicodeCodec::CheckUtf8(bytes).valid) {
            UnicodeCodec::RepairUtf8Append(bytes, converted);
            mapped = false;
        }
        if (!mapped) {
            log.Release(log.Bytes());
            bytes = converted;
        }
    }
    const bool utf8 = !encoding.IsShiftJis();
    const char lineEnd = LineEndOf(bytes);
    // The pieces in page order, the log's last piece first; the lines of each are read from its last one,
    // so the page is written front to back.
    std::vector<std::string_view> pieces = SplitAtLineEnds(bytes, lineEnd, work.pieceBytes);
    std::reverse(pieces.begin(), pieces.end());
    struct Slot {
        LineTagger tagger;
        std::string bytes;
        std::int32_t lines = 0;
        std::vector<std::uint64_t> starts; // in bytes, with lineStarts
    };
    const LineTagger tagger(options, utf8);
    const std::size_t threads = std::max<std::size_t>(work.threads, 1);
    // Enough slots that the threads go on working while the calling thread writes.
    std::vector<Slot> slots(4 * threads + 2, Slot{tagger, {}, 0, {}});
    std::uint64_t bodyBytes = 0;
    if (lineStarts) {
        // Room for lines of 24 bytes on average; only what is used takes memory.
        lineStarts->reserve(bytes.size() / 24 + 2);
    }
    BodyOutcome outcome;
    const char* unreleased = bytes.data() + bytes.size(); // the end of the part done but not given back
    const auto process = [&](std::size_t piece, std::size_t slotIndex) {
        Slot& slot = slots[slotIndex];
        slot.bytes.clear();
        slot.starts.clear();
        slot.lines = 0;
        ReverseByteLineReader reader(pieces[piece], lineEnd);
        std::string_view line;
        while (reader.Previous(line)) {
            const std::string_view cleaned = CleanLine(line, answers.removeSeparatorLines);
            if (answers.removeBlankLines && cleaned.empty()) {
                continue;
            }
            const std::size_t start = slot.bytes.size();
            slot.tagger.AppendTagged(cleaned, slot.bytes);
            slot.bytes += LineBreak;
            ++slot.lines;
            if (lineStarts) {
                const bool longLine = slot.bytes.size() - start - 2 > CheckRowLength; // without its CR LF
                slot.starts.push_back(start | (longLine ? CheckLines::LongLine : 0));
            }
        }
    };
    const auto consume = [&](std::size_t piece, std::size_t slotIndex) {
        const Slot& slot = slots[slotIndex];
        outcome.written = page(slot.bytes);
        if (!outcome.written.Ok()) {
            return false;
        }
        if (lineStarts) {
            for (const std::uint64_t start : slot.starts) {
                lineStarts->push_back(start + bodyBytes);
            }
        }
        bodyBytes += slot.bytes.size();
        for (std::int32_t line = 0; line < slot.lines; ++line) {
            ++outcome.writtenLines;
            if (progress) {
                progress(outcome.writtenLines, total);
            }
        }
        // Given back in large parts: each call interrupts the other threads to forget the pages.
        if (mapped && (unreleased - pieces[piece].data() >= static_cast<std::ptrdiff_t>(ReleaseBytes) ||
                       piece + 1 == pieces.size())) {
            log.Release({pieces[piece].data(), static_cast<std::size_t>(unreleased - pieces[piece].data())});
            unreleased = pieces[piece].data();
        }
        return true;
    };
    PieceRunner::Run(pieces.size(), slots.size(), threads, process, consume);
    if (lineStarts) {
        lineStarts->push_back(bodyBytes); // the body ends in a line break
    }
    return outcome;
}

HtmlResult BuildHtmlBody(const std::string& logPath, const HtmlOptions& options, const LoadAnswers& answers,
                         std::int64_t total, const ExportProgress& progress, const BodyWork& work,
                         EncodingChoice choice) {
    HtmlResult result;
    MappedFile log;
    result.status = MappedFile::Open(logPath, log);
    if (!result.status.Ok()) {
        return result;
    }
    const EncodingDecision decision = DecideEncoding(log, choice);
    if (result.status = decision.status; !result.status.Ok()) {
        return result;
    }
    result.writtenLines = WriteHtmlBody(
                              log, options, answers, total, progress,
                              [&result](std::string_view bytes) {
                                  result.body += bytes;
                                  return FileStatus{};
                              },
                              nullptr, work, decision.encoding)
                              .writtenLines;
    // Every line of the body ends in CR LF, which no character spans, so it decodes as the check view's rows.
    result.text = decision.encoding.IsShiftJis() ? Cp932Codec::Decode(result.body)
                                                 : UnicodeCodec::DecodeUtf8(result.body);
    return result;
}

std::string PageHead(const HtmlOptions& options, std::u16string_view baseName, const LogEncoding& encoding) {
    std::u16string head = u"<html>\r\n<head>\r\n";
    head += u"<meta http-equiv=\"Content-Type\"content=\"text/html; charset=";
    head += encoding.IsShiftJis() ? u"x-sjis" : u"UTF-8";
    head += u"\">\r\n";
    head += u"<meta name=\"GENERATOR\" content=\"";
    head += UserTexts::ProductLine;
    head += u"\">\r\n<title>";
    head += EscapeHtml(baseName);
    head += u".html</title>\r\n</head>\r\n<body bgcolor=\"";
    head += EscapeHtml(ToHtmlColor(options.PageColor));
    head += u"\">\r\n";
    if (!encoding.IsShiftJis()) {
        std::string bytes;
        UnicodeCodec::EncodeUtf8Append(head, bytes);
        return bytes;
    }
    return Cp932Codec::Encode(head, Unencodable::NumericReference).bytes;
}

std::string BuildPage(const HtmlOptions& options, std::u16string_view baseName, std::string_view body,
                      const LogEncoding& encoding) {
    std::string page = PageHead(options, baseName, encoding);
    ReserveWritable(page, page.size() + body.size() + PageEnd.size());
    page += body;
    page += PageEnd;
    return page;
}

} // namespace parlowen
