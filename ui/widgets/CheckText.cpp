#include "CheckText.h"

#include "Cp932Codec.h"
#include "UnicodeCodec.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <exception>
#include <thread>
#include <unistd.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace parlowen {

namespace {

constexpr std::uint64_t EditedRow = std::uint64_t{1} << 63;
constexpr std::uint64_t ContinuedRow = std::uint64_t{1} << 62;
constexpr std::uint64_t RowValue = ContinuedRow - 1;

// The line feeds of a text, front to back, found sixteen bytes at a time. The bits of the block last
// compared say where its other line feeds are, so a short line costs neither a call nor a second compare.
template <typename Char> class LineFeeds {
  public:
    explicit LineFeeds(std::basic_string_view<Char> text) : text_(text) {}

    // The first line feed at or after from, which never goes back; the text's size if there is none.
    std::size_t Next(std::size_t from) {
        if (from >= block_ && from < blockEnd_) {
            mask_ &= ~std::uint32_t{0} << (from - block_);
            if (mask_ != 0) {
                return block_ + static_cast<std::size_t>(std::countr_zero(mask_));
            }
            from = blockEnd_;
        }
        for (; from + Units <= text_.size(); from += Units) {
            if (const std::uint32_t mask = Compare(text_.data() + from); mask != 0) {
                block_ = from;
                blockEnd_ = from + Units;
                mask_ = mask;
                return from + static_cast<std::size_t>(std::countr_zero(mask));
            }
        }
        for (; from < text_.size(); ++from) {
            if (text_[from] == Char('\n')) {
                return from;
            }
        }
        return text_.size();
    }

  private:
    static constexpr std::size_t Units = 16 / sizeof(Char);

    // One bit for each unit of the block that is a line feed.
    static std::uint32_t Compare(const Char* block) {
#ifdef __SSE2__
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
        if constexpr (sizeof(Char) == 1) {
            return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(units, _mm_set1_epi8('\n'))));
        } else {
            // A unit 0x000A, not a byte 0x0A that is half of another character (上 is U+4E0A).
            const __m128i equal = _mm_cmpeq_epi16(units, _mm_set1_epi16('\n'));
            return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(equal, _mm_setzero_si128())));
        }
#else
        std::uint32_t mask = 0;
        for (std::size_t unit = 0; unit < Units; ++unit) {
            mask |= std::uint32_t{block[unit] == Char('\n')} << unit;
        }
        return mask;
#endif
    }

    std::basic_string_view<Char> text_;
    std::size_t block_ = 0;
    std::size_t blockEnd_ = 0;
    std::uint32_t mask_ = 0;
};

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}

// The length of a full row from offset on that ends at a character's end: a surrogate pair, a Shift-JIS
// double byte (the lead bytes are read from the row's start, which is a character's) or a UTF-8 sequence
// stays whole.
std::size_t FullRow(std::u16string_view text, std::size_t offset) {
    return IsHighSurrogate(text[offset + CheckText::RowLength - 1]) ? CheckText::RowLength - 1
                                                                    : CheckText::RowLength;
}

std::size_t FullRow(std::string_view bytes, std::size_t offset, bool utf8) {
    std::size_t length = 0;
    if (utf8) {
        length = CheckText::RowLength;
        while (length > 1 && (static_cast<unsigned char>(bytes[offset + length]) & 0xC0) == 0x80) {
            --length;
        }
        return length;
    }
    for (;;) {
        const auto byte = static_cast<unsigned char>(bytes[offset + length]);
        const std::size_t step = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC) ? 2 : 1;
        if (length + step > CheckText::RowLength) {
            return length;
        }
        length += step;
    }
}

// Where the row starting at offset ends, given the length of a full row there.
template <typename Char, typename FullRowAt>
CheckText::Extent ExtentIn(std::basic_string_view<Char> text, std::size_t offset, FullRowAt fullRow) {
    // Two units past a full row tell whether the line ends right after it.
    const std::size_t limit = std::min(text.size(), offset + CheckText::RowLength + 2);
    std::size_t end = offset;
    while (end < limit && text[end] != Char('\n')) {
        ++end;
    }
    if (end < limit || limit == text.size()) {
        std::size_t lineEnd = end;
        if (end < text.size() && end > offset && text[end - 1] == Char('\r')) {
            --lineEnd;
        }
        if (lineEnd - offset <= CheckText::RowLength) {
            return {lineEnd - offset, false};
        }
    }
    return {fullRow(offset), true};
}

// Appends the rows of text that starts at base, each line in rows of at most RowLength, and returns where the
// rows it could not finish start: a line that text does not end is left for the next part, but for the rows
// of it that are certainly full.
template <typename Char, typename ExtentAt>
std::size_t IndexRows(std::basic_string_view<Char> text, std::uint64_t base, bool last,
                      std::vector<std::uint64_t>& rows, ExtentAt extent) {
    LineFeeds<Char> lineFeeds(text);
    std::size_t offset = 0;
    for (;;) {
        const std::size_t lineFeed = lineFeeds.Next(offset);
        if (lineFeed >= text.size() && !last) {
            // ExtentIn needs a full row and three units more to cut one.
            while (text.size() - offset >= CheckText::RowLength + 3) {
                rows.push_back((base + offset) | ContinuedRow);
                offset += extent(text, offset).length;
            }
            return offset;
        }
        const std::size_t lineEnd =
            lineFeed < text.size() && lineFeed > offset && text[lineFeed - 1] == Char('\r') ? lineFeed - 1
                                                                                            : lineFeed;
        while (lineEnd - offset > CheckText::RowLength) {
            rows.push_back((base + offset) | ContinuedRow);
            offset += extent(text, offset).length;
        }
        rows.push_back(base + offset);
        if (lineFeed >= text.size()) {
            return text.size();
        }
        offset = lineFeed + 1; // a text ending in a line feed ends in an empty row
    }
}

// Room for lines of 24 units on average (a chat line is longer): regrowing would copy a large index, and
// reserving for the shortest lines would take address space the size of the text.
void ReserveRows(std::vector<std::uint64_t>& rows, std::uint64_t units) {
    rows.reserve(static_cast<std::size_t>(units / 24 + 2));
}

CheckText::Extent TextExtent(std::u16string_view text, std::size_t offset) {
    return ExtentIn(text, offset, [&](std::size_t at) { return FullRow(text, at); });
}

CheckText::Extent BytesExtent(std::string_view bytes, std::size_t offset, bool utf8) {
    return ExtentIn(bytes, offset, [&](std::size_t at) { return FullRow(bytes, at, utf8); });
}

// A large text is indexed in two halves at once, the second from second, the start of a line after the
// middle (0: none). The first half ends in a row starting there, which the second half's rows replace.
template <typename IndexRange>
void IndexInHalves(std::uint64_t size, std::uint64_t second, std::vector<std::uint64_t>& rows,
                   IndexRange index) {
    constexpr std::uint64_t HalvesFrom = std::uint64_t{1} << 20;
    ReserveRows(rows, size);
    if (size < HalvesFrom || second == 0 || second >= size) {
        index(0, size, rows);
        return;
    }
    std::vector<std::uint64_t> secondRows;
    std::exception_ptr failure;
    std::thread secondHalf([&] {
        try {
            ReserveRows(secondRows, size - second);
            index(second, size, secondRows);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        index(0, second, rows);
    } catch (...) {
        secondHalf.join();
        throw;
    }
    secondHalf.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
    rows.pop_back();
    rows.insert(rows.end(), secondRows.begin(), secondRows.end());
}

} // namespace

CheckText::CheckText() : rows_{0} {}

void CheckText::assign(std::u16string text) {
    Clear();
    base_ = std::move(text);
    const std::u16string_view whole = base_;
    const std::size_t middleFeed = LineFeeds<char16_t>(whole).Next(whole.size() / 2);
    IndexInHalves(whole.size(), middleFeed + 1, rows_,
                  [whole](std::uint64_t from, std::uint64_t to, std::vector<std::uint64_t>& rows) {
                      IndexRows(whole.substr(from, to - from), from, true, rows, TextExtent);
                  });
}

void CheckText::assignFile(CheckFile file) {
    Clear();
    file_ = std::move(file);
    file_.end = std::max(file_.begin, file_.end);
    const std::uint64_t size = file_.end - file_.begin;
    std::string middle(std::size_t{64} << 10, '\0');
    middle.resize(ReadFile(size / 2, middle.size(), middle.data()));
    const std::size_t middleFeed = middle.find('\n');
    IndexInHalves(size, middleFeed == std::string::npos ? 0 : size / 2 + middleFeed + 1, rows_,
                  [this](std::uint64_t from, std::uint64_t to, std::vector<std::uint64_t>& rows) {
                      IndexFileRange(from, to, rows);
                  });
}

void CheckText::assignLines(CheckLines lines) {
    Clear();
    file_ = std::move(lines.file);
    file_.end = std::max(file_.begin, file_.end);
    // Where no line is long and only the first is an empty one of its own (a loaded log), the lines are the
    // rows as they are: millions of them are neither copied nor moved.
    const std::vector<std::uint64_t>& starts = lines.starts;
    const bool emptyFirst = !starts.empty() && starts.front() == CheckLines::EmptyLine;
    if (std::none_of(starts.begin() + (emptyFirst ? 1 : 0), starts.end(), [](std::uint64_t start) {
            return (start & (CheckLines::LongLine | CheckLines::EmptyLine)) != 0;
        })) {
        rows_ = std::move(lines.starts);
        if (emptyFirst) {
            rows_.front() = EditedRow;
            edited_.emplace_back();
        }
        if (rows_.empty()) {
            rows_.push_back(0); // an empty text is one empty row
        }
        return;
    }
    rows_.reserve(starts.size());
    for (const std::uint64_t start : starts) {
        if (start == CheckLines::EmptyLine) {
            rows_.push_back(EditedRow | edited_.size());
            edited_.emplace_back();
        } else if ((start & CheckLines::LongLine) == 0) {
            rows_.push_back(start);
        } else {
            const std::uint64_t from = start & ~CheckLines::LongLine;
            IndexFileRange(from, LineEnd(from), rows_);
        }
    }
}

std::uint64_t CheckText::LineEnd(std::uint64_t offset) const {
    const std::uint64_t size = file_.end - file_.begin;
    char part[std::size_t{64} << 10];
    for (std::uint64_t at = offset; at < size;) {
        const std::size_t read = ReadFile(at, std::min<std::uint64_t>(sizeof part, size - at), part);
        if (read == 0) {
            return at;
        }
        if (const void* found = std::memchr(part, '\n', read)) {
            std::uint64_t end = at + static_cast<std::size_t>(static_cast<const char*>(found) - part);
            char before = 0;
            return end > offset && ReadFile(end - 1, 1, &before) == 1 && before == '\r' ? end - 1 : end;
        }
        at += read;
    }
    return size;
}

void CheckText::IndexFileRange(std::uint64_t from, std::uint64_t to, std::vector<std::uint64_t>& rows) const {
    // Read in parts into one buffer, so that only the index takes new memory; what a part leaves unfinished
    // moves to the front for the next.
    constexpr std::size_t PartBytes = std::size_t{256} << 10;
    std::string part(PartBytes + RowLength + 3, '\0');
    std::uint64_t base = from;
    std::size_t kept = 0;
    for (;;) {
        const std::size_t read =
            ReadFile(base + kept, std::min<std::uint64_t>(PartBytes, to - base - kept), part.data() + kept);
        const std::string_view bytes(part.data(), kept + read);
        const bool last = base + bytes.size() >= to || read == 0;
        const std::size_t done =
            IndexRows(bytes, base, last, rows, [this](std::string_view text, std::size_t at) {
                return BytesExtent(text, at, file_.utf8);
            });
        if (last) {
            return;
        }
        kept = bytes.size() - done;
        std::memmove(part.data(), part.data() + done, kept);
        base += done;
    }
}

std::size_t CheckText::ReadFile(std::uint64_t offset, std::size_t length, char* to) const {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t read = ::pread(file_.file.Get(), to + done, length - done,
                                     static_cast<off_t>(file_.begin + offset + done));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            break;
        }
        done += static_cast<std::size_t>(read);
    }
    return done;
}

void CheckText::Clear() {
    std::u16string().swap(base_);
    file_ = {};
    std::vector<std::uint64_t>().swap(rows_);
    std::vector<std::u16string>().swap(edited_);
}

bool CheckText::IsEdited(std::int64_t index) const {
    return (rows_[static_cast<std::size_t>(index)] & EditedRow) != 0;
}

std::u16string CheckText::row(std::int64_t index) const {
    const std::uint64_t entry = rows_[static_cast<std::size_t>(index)];
    if (entry & EditedRow) {
        return edited_[entry & RowValue];
    }
    const std::size_t offset = entry & RowValue;
    if (!file_.file.Valid()) {
        return base_.substr(offset, TextExtent(base_, offset).length);
    }
    // A full row and three bytes more tell where the row ends, as in the whole text; a row ends where a
    // line or a character does, so it decodes alone.
    char bytes[RowLength + 3];
    const std::string_view read(
        bytes,
        ReadFile(offset, std::min<std::uint64_t>(RowLength + 3, file_.end - file_.begin - offset), bytes));
    const std::string_view row = read.substr(0, BytesExtent(read, 0, file_.utf8).length);
    return file_.utf8 ? UnicodeCodec::DecodeUtf8(row) : Cp932Codec::Decode(row);
}

bool CheckText::breakAfter(std::int64_t index) const {
    return index + 1 < rowCount() && (rows_[static_cast<std::size_t>(index)] & ContinuedRow) == 0;
}

CheckTextPosition CheckText::end() const {
    return {rowCount() - 1, static_cast<int>(row(rowCount() - 1).size())};
}

QString CheckText::text(CheckTextPosition from, CheckTextPosition to, std::u16string_view lineBreak,
                        qsizetype limit) const {
    QString text;
    const auto full = [&] { return limit >= 0 && text.size() >= limit; };
    for (std::int64_t index = from.row; index <= to.row && !full(); ++index) {
        const std::u16string whole = row(index);
        std::u16string_view part = whole;
        if (index == to.row) {
            part = part.substr(0, static_cast<std::size_t>(to.column));
        }
        if (index == from.row) {
            part = part.substr(std::min(part.size(), static_cast<std::size_t>(from.column)));
        }
        text.append(QStringView(part));
        if (index < to.row && breakAfter(index)) {
            text.append(QStringView(lineBreak));
        }
    }
    if (limit >= 0) {
        text.truncate(limit);
    }
    return text;
}

std::pair<CheckTextPosition, CheckTextPosition> CheckText::wordAt(CheckTextPosition at) const {
    const QString line = QString::fromStdU16String(row(at.row));
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, line);
    words.setPosition(at.column);
    const bool atBoundary = words.isAtBoundary();
    const qsizetype end = atBoundary && at.column == line.size() ? at.column : words.toNextBoundary();
    words.setPosition(at.column);
    const qsizetype start = atBoundary ? at.column : words.toPreviousBoundary();
    return {{at.row, static_cast<int>(std::max<qsizetype>(0, start))},
            {at.row, static_cast<int>(end < 0 ? line.size() : end)}};
}

CheckTextPosition CheckText::replace(CheckTextPosition from, CheckTextPosition to, std::u16string_view text) {
    const std::u16string first = row(from.row);
    const std::u16string last = row(to.row);
    std::u16string joined(first.substr(0, static_cast<std::size_t>(from.column)));
    joined.append(text);
    const std::size_t caretInJoined = joined.size();
    joined.append(std::u16string_view(last).substr(static_cast<std::size_t>(to.column)));
    const std::uint64_t continued = rows_[static_cast<std::size_t>(to.row)] & ContinuedRow;

    // The rows replaced give back the edited text they held.
    for (std::int64_t index = from.row; index <= to.row; ++index) {
        if (IsEdited(index)) {
            std::u16string().swap(edited_[rows_[static_cast<std::size_t>(index)] & RowValue]);
        }
    }
    std::vector<std::uint64_t> added;
    CheckTextPosition caret{from.row, 0};
    std::size_t start = 0;
    for (;;) {
        std::size_t end = joined.find(u'\n', start);
        const bool lastPiece = end == std::u16string::npos;
        if (lastPiece) {
            end = joined.size();
        }
        std::size_t pieceEnd = end;
        if (!lastPiece && pieceEnd > start && joined[pieceEnd - 1] == u'\r') {
            --pieceEnd;
        }
        if (caretInJoined >= start && caretInJoined <= end) {
            caret = {from.row + static_cast<std::int64_t>(added.size()),
                     static_cast<int>(std::min(caretInJoined, pieceEnd) - start)};
        }
        edited_.emplace_back(joined, start, pieceEnd - start);
        added.push_back((edited_.size() - 1) | EditedRow | (lastPiece ? continued : 0));
        if (lastPiece) {
            break;
        }
        start = end + 1;
    }
    const auto firstRow = rows_.begin() + from.row;
    const std::int64_t removed = to.row - from.row + 1;
    const auto common = std::min<std::int64_t>(removed, static_cast<std::int64_t>(added.size()));
    std::copy_n(added.begin(), common, firstRow);
    if (removed > common) {
        rows_.erase(firstRow + common, firstRow + removed);
    } else {
        rows_.insert(firstRow + common, added.begin() + common, added.end());
    }
    return caret;
}

} // namespace parlowen
