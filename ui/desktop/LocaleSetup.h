#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QCoreApplication;

namespace parlowen {

// The Japanese look of the program on any system: Qt's own Japanese texts for the standard buttons, and
// the window's Windows font names mapped to fonts that are installed here.
class LocaleSetup {
  public:
    static constexpr char16_t ProportionalGothic[] = u"ＭＳ Ｐゴシック";
    static constexpr char16_t FixedGothic[] = u"ＭＳ ゴシック";

    // An installed font as a name resolves to it: its family as this locale spells it, and whether its
    // Latin letters all have one width.
    struct ResolvedFont {
        QString family;
        bool fixedPitch = false;
    };
    // The installed font a name picks, by any of the font's names, or none when no installed font has it.
    using FontResolver = std::function<std::optional<ResolvedFont>(const QString& name)>;

    // Loads qtbase_ja whatever the system locale, so that the boxes read "OK" and "キャンセル".
    static bool InstallTranslator(QCoreApplication& application);

    // Registers the substitutes of both font names with QFont.
    static void RegisterFontSubstitutes();

    // The installed fonts to use for a font name, best first: the IPA font of the same widths, by whatever
    // name this locale gives it; then, as the last resort, the Japanese fonts of the same pitch; then any
    // Japanese font.
    static QStringList Substitutes(const QString& family, const QStringList& japaneseFamilies,
                                   const FontResolver& resolve);

    // The resolver that asks the font database of the running application.
    static std::optional<ResolvedFont> ResolveInstalled(const QString& name);
};

} // namespace parlowen
