#pragma once

#include <QString>

namespace parlowen {

// Where the window starts: the folder its log list shows and the log to select there.
class StartLocation {
  public:
    QString folder;
    QString selectedLog; // empty: nothing selected
    QString error;       // the named path is neither a folder nor a file

    // path: as given on the command line, or empty. Without one, a portable copy lists its own folder and an
    // installed one the current folder, since a system folder holds no logs.
    static StartLocation Choose(const QString& path, const QString& programFolder,
                                const QString& currentFolder, bool installed);

    // An installed copy has its desktop entry where the install puts it relative to the program; a copy in
    // a build or a folder of logs does not.
    static bool IsInstalledCopy(const QString& programFolder);
};

} // namespace parlowen
