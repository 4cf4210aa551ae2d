#pragma once

#include <QString>
#include <QStringList>

namespace parlowen {

// The folder with exactly one "/" at its end; a root that already ends in one keeps it.
QString WithTrailingSeparator(const QString& folder);

// Logs are the "*.txt" files, the extension compared without case so that LOG.TXT from another system counts.
bool IsLogFileName(const QString& fileName);

// The names of the logs in the folder, sorted without regard to case, read once at start-up.
QStringList ListLogFiles(const QString& folder);

// The log's name without its last four characters: the name of its page without ".html".
QString PageBaseName(const QString& logFileName);

} // namespace parlowen
