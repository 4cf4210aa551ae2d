#include "CheckText.h"

#include "Cp932Codec.h"
#include "UnicodeCodec.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cstring>

namespace parlowen {

namespace {

constexpr std::uint64_t EditedRow = std::uint64_t{1} << 63;
constexpr std::uint64_t ContinuedRow = std::uint64_t{1} << 62;
constexpr std::uint64_t RowValue = ContinuedRow - 1;

// memchr finds the byte 0x0A far faster than a loop over the units finds U+000A; a 0x0A that is half of
// another character (上 is U+4E0A) is passed over.
std::size_t NextLineFeed(std::u16string_view text, std::size_t from) {
    const char* bytes = reinterpret_cast<const char*>(text.data());
    const char* end = bytes + text.size() * sizeof(char16_t);
    for (const char* at = bytes + from * sizeof(char16_t); at < end;) {
        const auto* found =
            static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        if (!found) {
            break;
        }
        const auto unit = static_cast<std::size_t>(found - bytes) / sizeof(char16_t);
        if (unit >= from && text[unit] == u'\n') {
            return unit;
        }
        at = found + 1;
    }
    return text.size();
}

std::size_t NextLineFeed(std::string_view bytes, std::size_t from) {
    const void* found = std::memchr(bytes.data() + from, '\n', bytes.size() - from);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data()) : bytes.size();
}

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

// Appends the rows of text, each line in rows of at most RowLength.
template <typename Char, typename ExtentAt>
void IndexRows(std::basic_string_view<Char> text, std::vector<std::uint64_t>& rows, ExtentAt extent) {
    // Room for lines of 24 units on average (a chat line is longer): regrowing would copy a large index,
    // and reserving for the shortest lines would take address space the size of the text.
    rows.reserve(text.size() / 24 + 2);
    std::size_t offset = 0;
    for (;;) {
        const std::size_t lineFeed = NextLineFeed(text, offset);
        const std::size_t lineEnd =
            lineFeed < text.size() && lineFeed > offset && text[lineFeed - 1] == Char('\r') ? lineFeed - 1
                                                                                            : lineFeed;
        while (lineEnd - offset > CheckText::RowLength) {
            rows.push_back(offset | ContinuedRow);
            offset += extent(offset).length;
        }
        rows.push_back(offset);
        if (lineFeed >= text.size()) {
            break;
        }
        offset = lineFeed + 1; // a text ending in a line feed ends in an empty row
    }
}

} // namespace

CheckText::CheckText() : rows_{0} {}

void CheckText::assign(std::u16string text) {
    Clear();
    base_ = std::move(text);
    IndexRows(std::u16string_view(base_), rows_, [this](std::size_t offset) { return RowExtent(offset); });
}

void CheckText::assignEncoded(std::string bytes, bool utf8) {
    Clear();
    bytes_ = std::move(bytes);
    utf8_ = utf8;
    encoded_ = true;
    IndexRows(std::string_view(bytes_), rows_, [this](std::size_t offset) { return RowExtent(offset); });
}

void CheckText::Clear() {
    std::u16string().swap(base_);
    std::string().swap(bytes_);
    std::vector<std::uint64_t>().swap(rows_);
    std::vector<std::u16string>().swap(edited_);
    encoded_ = false;
}

CheckText::Extent CheckText::RowExtent(std::size_t offset) const {
    if (encoded_) {
        return ExtentIn(std::string_view(bytes_), offset,
                        [this](std::size_t at) { return FullRow(bytes_, at, utf8_); });
    }
    return ExtentIn(std::u16string_view(base_), offset,
                    [this](std::size_t at) { return FullRow(base_, at); });
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
    const std::size_t length = RowExtent(offset).length;
    if (!encoded_) {
        return base_.substr(offset, length);
    }
    // A row of a page ends where a line of it does, which no character spans, so it decodes alone.
    const std::string_view bytes = std::string_view(bytes_).substr(offset, length);
    return utf8_ ? UnicodeCodec::DecodeUtf8(bytes) : Cp932Codec::Decode(bytes);
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
