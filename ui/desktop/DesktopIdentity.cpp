#include "DesktopIdentity.h"

#include <QGuiApplication>

namespace parlowen {

QIcon DesktopIdentity::WindowIcon() {
    QIcon builtIn;
    for (const char* size : {"48x48", "128x128"}) {
        builtIn.addFile(QStringLiteral(":/icons/%1/%2.png").arg(QLatin1String(size), QLatin1String(AppId)));
    }
    return QIcon::fromTheme(QLatin1String(AppId), builtIn);
}

void DesktopIdentity::Apply() {
    QGuiApplication::setDesktopFileName(QLatin1String(AppId));
    QGuiApplication::setWindowIcon(WindowIcon());
}

} // namespace parlowen
