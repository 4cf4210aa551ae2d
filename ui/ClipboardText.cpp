#include "ClipboardText.h"

namespace parlowen {

QString KeywordCut(const QString& text) {
    QString plain = text;
    plain.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return plain.left(KeywordLength);
}

} // namespace parlowen
