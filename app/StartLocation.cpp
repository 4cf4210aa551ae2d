#include "StartLocation.h"

#include "ArgumentText.h"
#include "LogFiles.h"

#include <QFileInfo>

namespace parlowen {

StartLocation StartLocation::Choose(const QString& path, const QString& programFolder,
                                    const QString& currentFolder, bool installed) {
    StartLocation start;
    if (path.isEmpty()) {
        start.folder = installed ? currentFolder : programFolder;
        return start;
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        start.folder = info.absoluteFilePath();
    } else if (info.exists()) {
        start.folder = info.absolutePath();
        // Another file of the folder (notes.log from "Open with") is not a log the list shows.
        if (IsLogFileName(QByteArray::fromStdString(ArgumentText::Encode(info.fileName())))) {
            start.selectedLog = info.fileName();
        }
    } else {
        start.error = QStringLiteral("\"%1\" is neither a folder nor a file").arg(path);
    }
    return start;
}

bool StartLocation::IsInstalledCopy(const QString& programFolder) {
    return QFileInfo::exists(programFolder + u'/' + QStringLiteral(PARLOWEN_INSTALLED_DESKTOP_ENTRY));
}

} // namespace parlowen
