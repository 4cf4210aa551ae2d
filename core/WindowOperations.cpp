#include "WindowOperations.h"

#include "FileStore.h"
#include "UserTexts.h"

#include <charconv>
#include <cmath>

namespace parlowen {
namespace {

void AppendNumber(std::u16string& text, double value) {
    char digits[400];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, std::round(value), std::chars_format::fixed, 0);
    for (const char* digit = digits; error == std::errc() && digit != end; ++digit) {
        text += static_cast<char16_t>(*digit);
    }
}

} // namespace

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

std::u16string FileNameForNotice(std::string_view path) {
    std::u16string name;
    for (std::size_t index = 0; index < path.size();) {
        const auto lead = static_cast<unsigned char>(path[index]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        char32_t code = length == 1   ? lead
                        : length == 2 ? lead & 0x1F
                        : length == 3 ? lead & 0x0F
                                      : lead & 0x07;
        bool valid = length != 0 && index + length <= path.size();
        for (std::size_t next = 1; valid && next < length; ++next) {
            const auto trail = static_cast<unsigned char>(path[index + next]);
            valid = (trail & 0xC0) == 0x80;
            code = code << 6 | (trail & 0x3F);
        }
        valid = valid && code < 0x110000 && (code < 0xD800 || code > 0xDFFF) &&
                code >= (length == 3   ? 0x800u
                         : length == 4 ? 0x10000u
                                       : 0u);
        if (!valid) {
            name += static_cast<char16_t>(0xDC00 + lead);
            ++index;
        } else if (code >= 0x10000) {
            name += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            name += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            index += length;
        } else {
            name += static_cast<char16_t>(code);
            index += length;
        }
    }
    return name;
}

} // namespace parlowen
