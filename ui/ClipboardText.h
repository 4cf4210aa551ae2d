#pragma once

#include <QString>

namespace parlowen {

// Keywords are at most ten characters, and so is every text the copy and paste commands move.
inline constexpr int KeywordLength = 10;

// The first ten characters of a text; a line break inside a selection of the check window counts as the
// two characters CR LF, as the log holds it.
QString KeywordCut(const QString& text);

} // namespace parlowen
