#include "Form1.h"
#include "LocaleSetup.h"
#include "Module1.h"
#include "QtMessageBoxes.h"

#include <QApplication>

#include <csignal>

int main(int argc, char* argv[]) {
    // A write beyond the file size limit should fail with EFBIG and be reported, not kill the program.
    std::signal(SIGXFSZ, SIG_IGN);

    QApplication application(argc, argv);
    parlowen::LocaleSetup::InstallTranslator(application);
    parlowen::LocaleSetup::RegisterFontSubstitutes();

    parlowen::Module1 module;
    parlowen::QtMessageBoxes messageBoxes;
    parlowen::Form1 form(module, messageBoxes);
    QObject::connect(&form, &parlowen::Form1::Ended, &application, &QCoreApplication::quit);
    form.show();
    return application.exec();
}
