#include "LocaleSetup.h"
#include "ui/UiTestSupport.h"

#include <QFont>
#include <QFontInfo>
#include <QMap>

#include <gtest/gtest.h>

using parlowen::LocaleSetup;

namespace {

using Font = LocaleSetup::ResolvedFont;

// A font database as a resolver: every name of a font, in either language, picks that font.
LocaleSetup::FontResolver Installed(const QList<std::pair<QStringList, Font>>& fonts) {
    QMap<QString, Font> byName;
    for (const auto& [names, font] : fonts) {
        for (const QString& name : names) {
            byName.insert(name, font);
        }
    }
    return [byName](const QString& name) -> std::optional<Font> {
        const auto found = byName.constFind(name);
        return found == byName.cend() ? std::nullopt : std::optional<Font>(*found);
    };
}

} // namespace

TEST(LocaleSetupTest, WindowsFontsBecomeTheIpaFontOfTheSameWidthsElseAJapaneseFontOfTheSamePitch) {
    const QString pGothic = QString::fromUtf16(LocaleSetup::ProportionalGothic);
    const QString gothic = QString::fromUtf16(LocaleSetup::FixedGothic);
    // As fontconfig names them in C.UTF-8, and in ja_JP.UTF-8, where families() answers in Japanese
    // (regression: the IPA fonts went unseen there and both faces became Droid Sans Fallback).
    const Font droid{"Droid Sans Fallback", false};
    const Font latinP{"IPAPGothic", false}, latinFixed{"IPAGothic", true}, latinMincho{"IPAMincho", true};
    const Font jaP{u"IPA Pゴシック"_qs, false}, jaFixed{u"IPAゴシック"_qs, true},
        jaMincho{u"IPA明朝"_qs, true};
    const auto latin = Installed({{{"Droid Sans Fallback"}, droid},
                                  {{"IPAPGothic", u"IPA Pゴシック"_qs}, latinP},
                                  {{"IPAGothic", u"IPAゴシック"_qs}, latinFixed},
                                  {{"IPAMincho", u"IPA明朝"_qs}, latinMincho}});
    const auto japanese = Installed({{{"Droid Sans Fallback"}, droid},
                                     {{"IPAPGothic", u"IPA Pゴシック"_qs}, jaP},
                                     {{"IPAGothic", u"IPAゴシック"_qs}, jaFixed},
                                     {{"IPAMincho", u"IPA明朝"_qs}, jaMincho}});
    const auto noIpaGothic =
        Installed({{{"Droid Sans Fallback"}, droid}, {{"IPAMincho", u"IPA明朝"_qs}, jaMincho}});
    const auto noJapanese = Installed({{{"DejaVu Sans"}, {"DejaVu Sans", false}}});
    const QStringList latinFamilies{"Droid Sans Fallback", "IPAGothic", "IPAMincho", "IPAPGothic"};
    const QStringList japaneseFamilies{"Droid Sans Fallback", u"IPA Pゴシック"_qs, u"IPAゴシック"_qs,
                                       u"IPA明朝"_qs};

    const std::tuple<QString, QStringList, LocaleSetup::FontResolver, QString> cases[] = {
        {pGothic, latinFamilies, latin, "IPAPGothic,Droid Sans Fallback,IPAGothic,IPAMincho"},
        {gothic, latinFamilies, latin, "IPAGothic,IPAMincho,Droid Sans Fallback,IPAPGothic"},
        {pGothic, japaneseFamilies, japanese, u"IPA Pゴシック,Droid Sans Fallback,IPAゴシック,IPA明朝"_qs},
        {gothic, japaneseFamilies, japanese, u"IPAゴシック,IPA明朝,Droid Sans Fallback,IPA Pゴシック"_qs},
        {pGothic, {"Droid Sans Fallback", u"IPA明朝"_qs}, noIpaGothic, u"Droid Sans Fallback,IPA明朝"_qs},
        {gothic, {"Droid Sans Fallback", u"IPA明朝"_qs}, noIpaGothic, u"IPA明朝,Droid Sans Fallback"_qs},
        {gothic, {"Droid Sans Fallback"}, noIpaGothic, "Droid Sans Fallback"},
        {pGothic, {}, noJapanese, ""},
    };
    for (const auto& [family, families, resolve, expected] : cases) {
        EXPECT_EQ(LocaleSetup::Substitutes(family, families, resolve).join(','), expected)
            << family.toStdString() << " among " << families.join(',').toStdString();
    }
}

// Whatever the locale the test runs in, the window's font names end up at the IPA fonts themselves.
TEST(LocaleSetupTest, WindowsFontNamesResolveToTheIpaFontsInThisLocale) {
    InstallProgramLocale();
    const std::pair<QString, QString> names[] = {
        {QString::fromUtf16(LocaleSetup::ProportionalGothic), "IPAPGothic"},
        {QString::fromUtf16(LocaleSetup::FixedGothic), "IPAGothic"},
    };
    for (const auto& [windows, ipa] : names) {
        ASSERT_TRUE(LocaleSetup::ResolveInstalled(ipa)) << ipa.toStdString() << " is not installed";
        EXPECT_EQ(QFontInfo(QFont(windows)).family(), QFontInfo(QFont(ipa)).family())
            << windows.toStdString();
        EXPECT_EQ(LocaleSetup::ResolveInstalled(ipa)->fixedPitch, ipa == "IPAGothic");
    }
    EXPECT_FALSE(LocaleSetup::ResolveInstalled("No Such Font Anywhere"));
}
