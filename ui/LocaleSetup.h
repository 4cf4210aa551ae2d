#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace parlowen {

// The Japanese look of the program on any system: Qt's own Japanese texts for the standard buttons, and
// the window's Windows font names mapped to fonts that are installed here.
class LocaleSetup {
  public:
    static constexpr char16_t ProportionalGothic[] = u"ＭＳ Ｐゴシック";
    static constexpr char16_t FixedGothic[] = u"ＭＳ ゴシック";

    // Loads qtbase_ja whatever the system locale, so that the boxes read "OK" and "キャンセル".
    static bool InstallTranslator(QCoreApplication& application);

    // Registers the substitutes of both font names with QFont.
    static void RegisterFontSubstitutes();

    // The installed fonts to use for a font name, best first: the metric-compatible IPA font, its sibling,
    // then any other font that covers Japanese.
    static QStringList Substitutes(const QString& family, const QStringList& installedFamilies,
                                   const QStringList& japaneseFamilies);
};

} // namespace parlowen
