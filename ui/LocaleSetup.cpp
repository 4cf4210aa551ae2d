#include "LocaleSetup.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace parlowen {

bool LocaleSetup::InstallTranslator(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void LocaleSetup::RegisterFontSubstitutes() {
    const QStringList installed = QFontDatabase::families();
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& family : {QString::fromUtf16(ProportionalGothic), QString::fromUtf16(FixedGothic)}) {
        QFont::insertSubstitutions(family, Substitutes(family, installed, japanese));
    }
}

QStringList LocaleSetup::Substitutes(const QString& family, const QStringList& installedFamilies,
                                     const QStringList& japaneseFamilies) {
    // IPAPGothic and IPAGothic have the widths of the proportional and the fixed-pitch Windows font.
    const bool fixedPitch = family == QString::fromUtf16(FixedGothic);
    QStringList candidates = fixedPitch
                                 ? QStringList{QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")}
                                 : QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
    candidates += japaneseFamilies;

    QStringList substitutes;
    for (const QString& candidate : candidates) {
        if (installedFamilies.contains(candidate) && !substitutes.contains(candidate)) {
            substitutes.append(candidate);
        }
    }
    return substitutes;
}

} // namespace parlowen
