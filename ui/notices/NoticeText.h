#pragma once

#include <QString>

#include <functional>

namespace parlowen {

// A notice's lines as its box shows them: a line that does not fit the box is broken after each sentence
// end ("。") inside it, so that the box does not wrap it a few characters short of its end and leave
// "す。" alone on the last line. LF line breaks; the text is otherwise kept as it is.
QString BreakAtSentenceEnds(const QString& text, const std::function<bool(const QString& line)>& fits);

} // namespace parlowen
