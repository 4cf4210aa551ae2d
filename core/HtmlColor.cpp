#include "HtmlColor.h"

#include <algorithm>
#include <array>
#include <utility>

namespace parlowen {
namespace {

std::u16string_view TrimmedSpaces(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

std::u16string_view ToHex(std::u16string_view component) {
    static constexpr std::array<std::pair<std::u16string_view, std::u16string_view>, 6> levels{{
        {u"255", u"FF"},
        {u"204", u"CC"},
        {u"153", u"99"},
        {u"102", u"66"},
        {u"51", u"33"},
        {u"00", u"00"},
    }};
    for (const auto& [decimal, hex] : levels) {
        if (component == decimal) {
            return hex;
        }
    }
    return component;
}

// Splits at the first comma; without one the whole text is the head and the rest is empty.
std::pair<std::u16string_view, std::u16string_view> SplitAtComma(std::u16string_view text) {
    const std::size_t comma = text.find(u',');
    if (comma == std::u16string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, comma), text.substr(comma + 1)};
}

bool IsHexDigit(char16_t character) {
    return (character >= u'0' && character <= u'9') || (character >= u'A' && character <= u'F') ||
           (character >= u'a' && character <= u'f');
}

} // namespace

bool IsHtmlColor(std::u16string_view text) {
    return text.size() == 7 && text[0] == u'#' &&
           std::all_of(text.begin() + 1, text.end(),
                       [](char16_t character) { return IsHexDigit(character); });
}

std::u16string ToHtmlColor(std::u16string_view colorText) {
    // No writer of the window produces this form; the command line passes a colour given as #RRGGBB.
    if (IsHtmlColor(colorText)) {
        return std::u16string(colorText);
    }
    const auto [red, afterRed] = SplitAtComma(colorText);
    const auto [green, afterGreen] = SplitAtComma(TrimmedSpaces(afterRed));
    const std::u16string_view blue = TrimmedSpaces(afterGreen);
    std::u16string html = u"#";
    html += ToHex(red);
    html += ToHex(green);
    html += ToHex(blue);
    return html;
}

} // namespace parlowen
