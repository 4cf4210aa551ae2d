#include "ColorTable.h"

#include "HtmlColor.h"

#include <gtest/gtest.h>

namespace parlowen {
namespace {

TEST(ColorTable, EmptyUntilResetThenDefaults) {
    ColorTable table;
    for (std::size_t slot = 0; slot < ColorTable::SlotCount; ++slot) {
        EXPECT_EQ(table.Get(slot), u"");
    }
    table.Set(ColorTable::SpeakerSlot(3), u"255,00,00");
    table.Set(ColorTable::PageSlot, u"00,00, 255");
    table.Reset();
    EXPECT_EQ(table.Get(0), u"255,255,255");
    EXPECT_EQ(table.Get(1), u"00,00,00");
    for (std::size_t slot = 2; slot < ColorTable::SlotCount; ++slot) {
        EXPECT_EQ(table.Get(slot), u"0,0,0");
    }
    // The three default spellings give three different page colours.
    EXPECT_EQ(ToHtmlColor(table.Get(0)), u"#FFFFFF");
    EXPECT_EQ(ToHtmlColor(table.Get(1)), u"#000000");
    EXPECT_EQ(ToHtmlColor(table.Get(11)), u"#000");
}

TEST(ColorTable, SpeakerSlotsFollowTheButtons) {
    ColorTable table;
    table.Reset();
    table.Set(ColorTable::SpeakerSlot(3), u"51, 204, 153");
    for (std::size_t slot = 0; slot < ColorTable::SlotCount; ++slot) {
        EXPECT_EQ(table.Get(slot) == u"51, 204, 153", slot == 5) << slot;
    }
    EXPECT_THROW(table.Get(ColorTable::SlotCount), std::out_of_range);
}

} // namespace
} // namespace parlowen
