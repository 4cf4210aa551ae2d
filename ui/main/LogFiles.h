#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace parlowen {

// A log as the folder holds it: the name the user reads, and the bytes that name it on the disk.
struct LogFileName {
    QString shown;
    QByteArray native;
};

// The folder with exactly one "/" at its end; a root that already ends in one keeps it.
QString WithTrailingSeparator(const QString& folder);

// Logs are the "*.txt" files, the extension compared without case so that LOG.TXT from another system counts.
bool IsLogFileName(const QByteArray& nativeName);

// A name as the user reads it: UTF-8 when its bytes are valid UTF-8, otherwise code page 932, the encoding
// of names copied from Windows.
QString ShownFileName(const QByteArray& nativeName);

// The logs in the folder, sorted by their shown names without regard to case, read once at start-up.
std::vector<LogFileName> ListLogFiles(const QString& folder);

// The log's name without its last four characters: the name of its page without ".html".
QString PageBaseName(const QString& logFileName);

// The page's name on the disk: the log's bytes with ".html" in place of the last four.
QByteArray PageFileName(const QByteArray& nativeLogName);

} // namespace parlowen
