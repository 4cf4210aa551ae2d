#include "LogFiles.h"

#include "Cp932Codec.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <filesystem>

namespace parlowen {

QString WithTrailingSeparator(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

bool IsLogFileName(const QByteArray& nativeName) {
    return nativeName.size() >= 4 && nativeName.right(4).toLower() == ".txt";
}

QString ShownFileName(const QByteArray& nativeName) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString shown = utf8(nativeName);
    if (!utf8.hasError()) {
        return shown;
    }
    return QString::fromStdU16String(Cp932Codec::Decode(
        std::string_view(nativeName.constData(), static_cast<std::size_t>(nativeName.size()))));
}

std::vector<LogFileName> ListLogFiles(const QString& folder) {
    // Read by bytes, so that a name in another encoding is listed and opened as it is. Hidden files too: a
    // log named just ".txt" is hidden on this system but still a log.
    namespace fs = std::filesystem;
    std::vector<LogFileName> names;
    std::error_code error;
    for (fs::directory_iterator entry(QFile::encodeName(folder).toStdString(), error), end;
         !error && entry != end; entry.increment(error)) {
        const QByteArray native = QByteArray::fromStdString(entry->path().filename().native());
        std::error_code statusError;
        if (IsLogFileName(native) && entry->is_regular_file(statusError)) {
            names.push_back({ShownFileName(native), native});
        }
    }
    std::sort(names.begin(), names.end(), [](const LogFileName& left, const LogFileName& right) {
        const int withoutCase = QString::compare(left.shown, right.shown, Qt::CaseInsensitive);
        if (withoutCase != 0) {
            return withoutCase < 0;
        }
        return left.shown != right.shown ? left.shown < right.shown : left.native < right.native;
    });
    return names;
}

QString PageBaseName(const QString& logFileName) {
    return logFileName.size() >= 4 ? logFileName.chopped(4) : QString();
}

QByteArray PageFileName(const QByteArray& nativeLogName) {
    return (nativeLogName.size() >= 4 ? nativeLogName.chopped(4) : QByteArray()) + ".html";
}

} // namespace parlowen
