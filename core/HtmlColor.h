#pragma once

#include <string>
#include <string_view>

namespace parlowen {

// "255, 204, 153" -> "#FFCC99". Components are looked up as text among the six web-safe levels
// ("255", "204", "153", "102", "51", "00"); any other component is copied as it stands, so the speaker
// default "0,0,0" becomes "#000".
// A text already in the page's form, "#" and six hexadecimal digits, comes back as it is.
std::u16string ToHtmlColor(std::u16string_view colorText);

bool IsHtmlColor(std::u16string_view text);

} // namespace parlowen
