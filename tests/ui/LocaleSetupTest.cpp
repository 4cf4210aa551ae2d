#include "LocaleSetup.h"

#include <gtest/gtest.h>

using parlowen::LocaleSetup;

TEST(LocaleSetupTest, WindowsFontsBecomeTheIpaFontOfTheSameWidthsElseAnyJapaneseFont) {
    const QString pGothic = QString::fromUtf16(LocaleSetup::ProportionalGothic);
    const QString gothic = QString::fromUtf16(LocaleSetup::FixedGothic);
    const QStringList all{"DejaVu Sans", "IPAGothic", "IPAPGothic", "Droid Sans Fallback"};
    const QStringList japanese{"Droid Sans Fallback", "IPAGothic", "IPAPGothic"};
    EXPECT_EQ(LocaleSetup::Substitutes(pGothic, all, japanese).join(',').toStdString(),
              "IPAPGothic,IPAGothic,Droid Sans Fallback");
    EXPECT_EQ(LocaleSetup::Substitutes(gothic, all, japanese).join(',').toStdString(),
              "IPAGothic,IPAPGothic,Droid Sans Fallback");
    EXPECT_EQ(LocaleSetup::Substitutes(gothic, {"Droid Sans Fallback"}, japanese).join(',').toStdString(),
              "Droid Sans Fallback");
    EXPECT_TRUE(LocaleSetup::Substitutes(pGothic, {"DejaVu Sans"}, japanese).isEmpty());
}
