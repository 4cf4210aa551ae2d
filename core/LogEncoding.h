#pragma once

#include "FileStore.h"
#include "MappedFile.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace parlowen {

enum class EncodingChoice { Auto, ShiftJis, Utf8, Utf16Le, Utf16Be };

// The encoding a log is read and written in, decided once from its bytes, and the byte-order mark that
// starts it. Lines are never re-encoded: a rewrite keeps every byte of the log's own encoding.
struct LogEncoding {
    enum class Kind { ShiftJis, Utf8, Utf16Le, Utf16Be };
    Kind kind = Kind::ShiftJis;
    std::size_t markSize = 0;

    bool IsShiftJis() const { return kind == Kind::ShiftJis; }
    bool IsUtf16() const { return kind == Kind::Utf16Le || kind == Kind::Utf16Be; }
    bool BigEndian() const { return kind == Kind::Utf16Be; }
    std::string_view Mark(std::string_view bytes) const { return bytes.substr(0, markSize); }
    std::string_view Text(std::string_view bytes) const { return bytes.substr(markSize); }
    // CR LF as the log writes it.
    std::string_view LineBreak() const;
    friend bool operator==(const LogEncoding&, const LogEncoding&) = default;
};

struct EncodingDecision {
    FileStatus status; // a refusal: the log cannot be handled safely and is neither shown nor rewritten
    LogEncoding encoding;
};

// A byte-order mark decides; without one a log is UTF-8 only when all of it is valid UTF-8 and holds a
// character beyond ASCII, and Shift-JIS otherwise. A choice other than Auto overrides the rule but not a
// mark that says otherwise. UTF-32 and UTF-16 with an odd byte count are refused.
EncodingDecision DecideEncoding(std::string_view bytes, EncodingChoice choice = EncodingChoice::Auto);
// The same for a mapped log, whose pages are given back as the UTF-8 test reads them: a large UTF-8 log is
// then not held whole in memory before its operation starts.
EncodingDecision DecideEncoding(const MappedFile& log, EncodingChoice choice = EncodingChoice::Auto);

// "auto", "shift-jis", "utf-8", "utf-16le", "utf-16be"; nothing for another name.
std::optional<EncodingChoice> ParseEncodingChoice(std::string_view name);

} // namespace parlowen
