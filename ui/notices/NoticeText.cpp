#include "NoticeText.h"

#include <QStringList>

namespace parlowen {

QString BreakAtSentenceEnds(const QString& text, const std::function<bool(const QString& line)>& fits) {
    const QChar sentenceEnd(u'。');
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (fits(line)) {
            continue;
        }
        QString broken;
        for (qsizetype i = 0; i < line.size(); ++i) {
            broken += line[i];
            if (line[i] == sentenceEnd && i + 1 < line.size() && line[i + 1] != sentenceEnd) {
                broken += QLatin1Char('\n');
            }
        }
        line = broken;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace parlowen
