#include "LocaleSetup.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
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
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& family : {QString::fromUtf16(ProportionalGothic), QString::fromUtf16(FixedGothic)}) {
        QFont::insertSubstitutions(family, Substitutes(family, japanese, &LocaleSetup::ResolveInstalled));
    }
}

std::optional<LocaleSetup::ResolvedFont> LocaleSetup::ResolveInstalled(const QString& name) {
    // The database knows every name fontconfig gives a font ("IPAPGothic" and "IPA Pゴシック"); an unknown
    // name would resolve to the default font, which in a Japanese locale is itself an IPA font.
    if (!QFontDatabase::hasFamily(name)) {
        return std::nullopt;
    }
    const QFont font(name);
    const QFontMetrics metrics(font);
    // fontconfig calls the IPA fonts "dual" spaced, so the pitch is measured rather than asked.
    return ResolvedFont{QFontInfo(font).family(), metrics.horizontalAdvance(QLatin1Char('i')) ==
                                                      metrics.horizontalAdvance(QLatin1Char('M'))};
}

QStringList LocaleSetup::Substitutes(const QString& family, const QStringList& japaneseFamilies,
                                     const FontResolver& resolve) {
    // IPAPGothic and IPAGothic have the widths of the proportional and the fixed-pitch Windows font.
    const bool fixedPitch = family == QString::fromUtf16(FixedGothic);
    QStringList substitutes;
    const auto add = [&substitutes](const std::optional<ResolvedFont>& font) {
        if (font && !substitutes.contains(font->family)) {
            substitutes.append(font->family);
        }
    };
    add(resolve(fixedPitch ? QStringLiteral("IPAGothic") : QStringLiteral("IPAPGothic")));
    for (const bool samePitchOnly : {true, false}) {
        for (const QString& name : japaneseFamilies) {
            const std::optional<ResolvedFont> font = resolve(name);
            if (font && (!samePitchOnly || font->fixedPitch == fixedPitch)) {
                add(font);
            }
        }
    }
    return substitutes;
}

} // namespace parlowen
