#include "ClipboardText.h"

namespace parlowen {

QString KeywordCut(const QString& text) {
    return text.left(KeywordLength);
}

} // namespace parlowen
