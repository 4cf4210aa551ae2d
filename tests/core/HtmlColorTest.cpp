#include "HtmlColor.h"

#include <gtest/gtest.h>

namespace parlowen {
namespace {

TEST(ToHtmlColor, ConvertsByText) {
    struct Case {
        std::u16string colorText;
        std::u16string html;
    };
    const Case cases[] = {
        {u"255,255,255", u"#FFFFFF"},
        {u"00,00,00", u"#000000"},
        {u"0,0,0", u"#000"}, // single zeros are not levels and stay as they are
        {u"255, 204, 153", u"#FFCC99"},
        {u"255,00,00", u"#FF0000"},
        {u"00,00, 255", u"#0000FF"},
        {u"102, 51,00", u"#663300"},
        {u"128,128,128", u"#128128128"},
        {u"51, 102, 153", u"#336699"},
        {u" 255,255,255", u"# 255FFFF"}, // red is taken exactly as written
        {u"255", u"#FF"},                // not a colour text: converted as far as the steps go
        {u"", u"#"},
        {u"#1a2B3c", u"#1a2B3c"}, // already in the page's form, as the command line may give it
        {u"#515151", u"#515151"}, // "51" is a level only as a decimal component
        {u"#12345", u"##12345"},
        {u"#12345G", u"##12345G"},
    };
    for (const Case& c : cases) {
        const std::u16string input = c.colorText;
        EXPECT_EQ(ToHtmlColor(input), c.html);
        EXPECT_EQ(input, c.colorText);
    }
}

} // namespace
} // namespace parlowen
