#include "LogFiles.h"

#include <QDir>

#include <algorithm>

namespace parlowen {

QString WithTrailingSeparator(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

bool IsLogFileName(const QString& fileName) {
    return fileName.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
}

QStringList ListLogFiles(const QString& folder) {
    // Hidden files too: a log named just ".txt" is hidden on this system but still a log.
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.removeIf([](const QString& name) { return !IsLogFileName(name); });
    std::sort(names.begin(), names.end(), [](const QString& left, const QString& right) {
        const int withoutCase = QString::compare(left, right, Qt::CaseInsensitive);
        return withoutCase != 0 ? withoutCase < 0 : left < right;
    });
    return names;
}

QString PageBaseName(const QString& logFileName) {
    return logFileName.size() >= 4 ? logFileName.chopped(4) : QString();
}

} // namespace parlowen
