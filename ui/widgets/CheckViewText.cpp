#include "CheckViewText.h"

#include "Prefault.h"

namespace parlowen {

QString ToCheckWindow(std::u16string_view text) {
    // Line breaks only shrink the text; pieces of long lines add one break each.
    QString shown(static_cast<qsizetype>(text.size() + text.size() / CheckWindowParagraphLength + 1),
                  Qt::Uninitialized);
    QChar* out = shown.data();
    PrefaultForWriting(out, static_cast<std::size_t>(shown.size()) * sizeof(QChar));
    int linesInParagraph = 1;
    int paragraphLength = 0;
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index];
        const bool lineBreak =
            unit == u'\n' || (unit == u'\r' && index + 1 < text.size() && text[index + 1] == u'\n');
        if (lineBreak) {
            if (unit == u'\r') {
                ++index;
            }
            if (linesInParagraph < CheckWindowLinesPerParagraph &&
                paragraphLength < CheckWindowParagraphLength) {
                *out++ = QChar::LineSeparator;
                ++linesInParagraph;
            } else {
                *out++ = QLatin1Char('\n');
                linesInParagraph = 1;
                paragraphLength = 0;
            }
            continue;
        }
        if (paragraphLength >= CheckWindowParagraphLength) {
            *out++ = QLatin1Char('\n');
            linesInParagraph = 1;
            paragraphLength = 0;
        }
        *out++ = QChar(unit);
        ++paragraphLength;
    }
    shown.resize(out - shown.data());
    return shown;
}

QString FromCheckWindow(const QString& shown) {
    QString text;
    text.reserve(shown.size());
    for (const QChar character : shown) {
        if (character == QChar::LineSeparator || character == QChar::ParagraphSeparator ||
            character == u'\n') {
            text += QStringLiteral("\r\n");
        } else {
            text += character;
        }
    }
    return text;
}

} // namespace parlowen
