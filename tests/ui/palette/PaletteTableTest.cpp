#include "PaletteTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

namespace parlowen {
namespace {

TEST(PaletteTable, SampleEntries) {
    const std::pair<std::size_t, PaletteColor> samples[] = {
        {0, {255, 255, 255}},   {1, {255, 204, 204}}, {2, {255, 255, 204}},  {3, {204, 255, 204}},
        {4, {204, 255, 255}},   {5, {204, 204, 255}}, {6, {255, 204, 255}},  {7, {255, 153, 153}},
        {8, {255, 204, 153}},   {9, {255, 255, 153}}, {18, {255, 153, 204}}, {19, {255, 102, 102}},
        {60, {255, 51, 102}},   {61, {255, 0, 0}},    {62, {255, 51, 0}},    {66, {255, 255, 0}},
        {71, {0, 255, 0}},      {81, {0, 0, 255}},    {86, {255, 0, 255}},   {90, {255, 0, 51}},
        {115, {153, 0, 0}},     {140, {0, 51, 102}},  {159, {51, 204, 153}}, {210, {102, 51, 102}},
        {211, {204, 204, 204}}, {215, {0, 0, 0}},
    };
    for (const auto& [index, color] : samples) {
        const PaletteColor& actual = PaletteTable()[index];
        EXPECT_EQ(actual, color) << index << ": " << actual.red << "," << actual.green << "," << actual.blue;
    }
}

TEST(PaletteTable, EveryWebSafeColourOnceAndRingsInOrder) {
    std::set<std::tuple<int, int, int>> seen;
    for (const PaletteColor& color : PaletteTable()) {
        for (int component : {color.red, color.green, color.blue}) {
            EXPECT_EQ(component % 51, 0);
        }
        seen.insert({color.red, color.green, color.blue});
    }
    EXPECT_EQ(seen.size(), PaletteSize);
    // Each ring starts at its red and all its members share the ring's largest and smallest level.
    const std::tuple<int, int, int, int> rings[] = {
        {1, 6, 255, 204},     {7, 18, 255, 153},    {19, 36, 255, 102},   {37, 60, 255, 51},
        {61, 90, 255, 0},     {91, 114, 204, 0},    {115, 132, 153, 0},   {133, 144, 102, 0},
        {145, 150, 51, 0},    {151, 168, 204, 51},  {169, 180, 204, 102}, {181, 192, 153, 51},
        {193, 198, 204, 153}, {199, 204, 153, 102}, {205, 210, 102, 51},
    };
    for (const auto& [first, last, high, low] : rings) {
        EXPECT_EQ(PaletteTable()[first], (PaletteColor{high, low, low})) << first;
        for (int index = first; index <= last; ++index) {
            const PaletteColor& c = PaletteTable()[index];
            EXPECT_EQ(std::max({c.red, c.green, c.blue}), high) << index;
            EXPECT_EQ(std::min({c.red, c.green, c.blue}), low) << index;
        }
    }
}

TEST(PaletteTable, CellText) {
    EXPECT_EQ(CellText({255, 255, 255}), u" 255, 255, 255");
    EXPECT_EQ(CellText({255, 0, 0}), u" 255,00,00");
    EXPECT_EQ(CellText({0, 0, 255}), u"00,00, 255");
    EXPECT_EQ(CellText({102, 51, 0}), u" 102, 51,00");
    EXPECT_EQ(CellText({0, 0, 0}), u"00,00,00");
}

} // namespace
} // namespace parlowen
