#include "WindowOperations.h"

#include "Cp932Codec.h"
#include "FileStore.h"
#include "MappedFile.h"
#include "Prefault.h"
#include "UnicodeCodec.h"
#include "UserTexts.h"

#include <algorithm>
#include <charconv>

namespace parlowen {
namespace {

void AppendNumber(std::u16string& text, std::int64_t value) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    for (const char* digit = digits; error == std::errc() && digit != end; ++digit) {
        text += static_cast<char16_t>(*digit);
    }
}

} // namespace

namespace {

// The bytes of a file from begin to end, mapped; empty if it cannot be mapped.
std::string_view MappedRange(const CheckFile& file, MappedFile& mapped) {
    if (!MappedFile::Map(FileDescriptor(::dup(file.file.Get())), mapped).Ok()) {
        return {};
    }
    const std::string_view bytes = mapped.Bytes();
    return bytes.substr(std::min<std::uint64_t>(file.begin, bytes.size()),
                        file.end > file.begin ? static_cast<std::size_t>(file.end - file.begin) : 0);
}

} // namespace

std::u16string DecodeCheckFile(const CheckFile& file) {
    MappedFile mapped;
    const std::string_view text = MappedRange(file, mapped);
    RequireMemory(text.size() * sizeof(char16_t));
    return file.utf8 ? UnicodeCodec::DecodeUtf8(text) : Cp932Codec::Decode(text);
}

std::u16string DecodeCheckLines(const CheckLines& lines) {
    MappedFile mapped;
    const std::string_view text = MappedRange(lines.file, mapped);
    RequireMemory((text.size() + 2 * lines.starts.size()) * sizeof(char16_t));
    std::u16string decoded;
    decoded.reserve(text.size() + 2 * lines.starts.size());
    for (const std::uint64_t& entry : lines.starts) {
        // EmptyLine, past any offset, starts at the end.
        const std::string_view rest =
            text.substr(std::min<std::size_t>(entry & ~CheckLines::LongLine, text.size()));
        std::string_view line = rest.substr(0, std::min(rest.find('\n'), rest.size()));
        if (line.size() < rest.size() && line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (&entry != lines.starts.data()) {
            decoded += u"\r\n";
        }
        if (lines.file.utf8) {
            decoded += UnicodeCodec::DecodeUtf8(line);
        } else {
            decoded += Cp932Codec::Decode(line);
        }
    }
    return decoded;
}

void WindowOperations::SetCheckFile(CheckFile file) {
    SetCheckText(DecodeCheckFile(file));
}

void WindowOperations::SetCheckLines(CheckLines lines) {
    SetCheckText(DecodeCheckLines(lines));
}

std::u16string CounterText(const LineCount& lineCount) {
    std::u16string text;
    AppendNumber(text, lineCount.count);
    if (lineCount.total) {
        text += u'/';
        AppendNumber(text, *lineCount.total);
    }
    text += u'行';
    return text;
}

namespace {

void ShowFileFailure(WindowOperations& window, std::u16string_view title, std::u16string_view fileName,
                     std::u16string_view what, const FileStatus& status) {
    std::u16string text = u"「";
    text += fileName;
    text += what;
    text += DescribeFailure(status);
    window.ShowNotice(title, text);
}

} // namespace

void ShowReadFailure(WindowOperations& window, std::u16string_view fileName, const FileStatus& status) {
    ShowFileFailure(window, UserTexts::ReadFailureTitle, fileName, UserTexts::CouldNotRead, status);
}

void ShowWriteFailure(WindowOperations& window, std::u16string_view fileName, const FileStatus& status) {
    ShowFileFailure(window, UserTexts::WriteFailureTitle, fileName, UserTexts::CouldNotWrite, status);
}

} // namespace parlowen
