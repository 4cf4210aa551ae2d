#include "ArgumentText.h"
#include "CommandLine.h"
#include "DesktopIdentity.h"
#include "LocaleSetup.h"
#include "MainWindow.h"
#include "ProgramState.h"
#include "QtMessageBoxes.h"
#include "StartLocation.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <iostream>
#include <unistd.h>

int main(int argc, char* argv[]) {
    // A write beyond the file size limit should fail with EFBIG and be reported, not kill the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication::setApplicationName(QStringLiteral("parlowen"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PARLOWEN_VERSION));

    const QStringList arguments = parlowen::ArgumentText::DecodeAll(argc, argv);
    if (parlowen::CommandLine::IsWindowless(arguments)) {
        // Batch commands, --help and --version need no display.
        QCoreApplication application(argc, argv);
        return parlowen::CommandLine::Run(parlowen::CommandLine::Parse(arguments), std::cout, std::cerr,
                                          isatty(STDERR_FILENO) == 1);
    }
    const parlowen::CommandLineRequest request = parlowen::CommandLine::Parse(arguments);
    if (request.action != parlowen::CommandLineRequest::Action::Window) {
        return parlowen::CommandLine::Run(request, std::cout, std::cerr, false);
    }

    // Decided before the window exists, so that a wrong PATH is reported even where there is no display.
    const QString programFolder =
        QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    const parlowen::StartLocation start =
        parlowen::StartLocation::Choose(request.windowPath, programFolder, QDir::currentPath(),
                                        parlowen::StartLocation::IsInstalledCopy(programFolder));
    if (!start.error.isEmpty()) {
        std::cerr << "parlowen: " << parlowen::ArgumentText::Encode(start.error) << '\n';
        return parlowen::ExitUsage;
    }

    QApplication application(argc, argv);
    parlowen::LocaleSetup::InstallTranslator(application);
    parlowen::LocaleSetup::RegisterFontSubstitutes();
    parlowen::DesktopIdentity::Apply();

    parlowen::ProgramState programState;
    parlowen::QtMessageBoxes messageBoxes;
    parlowen::MainWindow window(programState, messageBoxes, start.folder);
    messageBoxes.SetOwner(&window);
    window.SelectLog(QByteArray::fromStdString(parlowen::ArgumentText::Encode(start.selectedLog)));
    window.show();
    return application.exec();
}
