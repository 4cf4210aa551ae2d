#pragma once

#include <QString>

namespace parlowen {

// Keywords are at most ten characters, and so is every text the copy and paste commands move.
inline constexpr int KeywordLength = 10;

// The first ten characters of a text, exactly as they are.
QString KeywordCut(const QString& text);

} // namespace parlowen
