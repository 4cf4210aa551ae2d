#pragma once

#include <QString>

#include <string_view>

namespace parlowen {

// The text check window holds logs of millions of lines. A paragraph of the view costs far more than a line
// break inside one, so the lines are shown in paragraphs of up to this many lines joined by line separators
// (U+2028); a line longer than a paragraph's length is shown in pieces.
inline constexpr int CheckWindowLinesPerParagraph = 100;
inline constexpr int CheckWindowParagraphLength = 32768;

// The program's text with its CR LF line breaks, as the check window shows it.
QString ToCheckWindow(std::u16string_view text);

// Selected or whole text of the check window with its line and paragraph separators back as CR LF.
QString FromCheckWindow(const QString& shown);

} // namespace parlowen
