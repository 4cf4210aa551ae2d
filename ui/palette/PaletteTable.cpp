#include "PaletteTable.h"

#include <vector>

namespace parlowen {
namespace {

struct Ring {
    int high;
    int low;
};

// Each ring holds the colours whose largest component is high and smallest is low, walked around the
// hue circle from red.
constexpr Ring Rings[] = {
    {255, 204}, {255, 153}, {255, 102}, {255, 51}, {255, 0},   {204, 0},   {153, 0},  {102, 0},
    {51, 0},    {204, 51},  {204, 102}, {153, 51}, {204, 153}, {153, 102}, {102, 51},
};

void AddRing(const Ring& ring, std::vector<PaletteColor>& colors) {
    const int steps = (ring.high - ring.low) / 51;
    PaletteColor color{ring.high, ring.low, ring.low};
    colors.push_back(color);
    // Green up, red down, blue up, green down, red up, blue down; the last step would return to red.
    struct Leg {
        int PaletteColor::*component;
        int direction;
    };
    const Leg legs[] = {{&PaletteColor::green, 1},  {&PaletteColor::red, -1}, {&PaletteColor::blue, 1},
                        {&PaletteColor::green, -1}, {&PaletteColor::red, 1},  {&PaletteColor::blue, -1}};
    for (const Leg& leg : legs) {
        const int count = leg.component == &PaletteColor::blue && leg.direction < 0 ? steps - 1 : steps;
        for (int step = 0; step < count; ++step) {
            color.*leg.component += 51 * leg.direction;
            colors.push_back(color);
        }
    }
}

std::array<PaletteColor, PaletteSize> BuildTable() {
    std::vector<PaletteColor> colors{{255, 255, 255}};
    for (const Ring& ring : Rings) {
        AddRing(ring, colors);
    }
    for (int grey : {204, 153, 102, 51, 0}) {
        colors.push_back({grey, grey, grey});
    }
    std::array<PaletteColor, PaletteSize> table{};
    for (std::size_t index = 0; index < PaletteSize && index < colors.size(); ++index) {
        table[index] = colors[index];
    }
    return table;
}

void AppendComponent(std::u16string& text, int component) {
    if (component == 0) {
        text += u"00";
        return;
    }
    text += u' ';
    for (char digit : std::to_string(component)) {
        text += static_cast<char16_t>(digit);
    }
}

} // namespace

const std::array<PaletteColor, PaletteSize>& PaletteTable() {
    static const std::array<PaletteColor, PaletteSize> table = BuildTable();
    return table;
}

std::u16string CellText(const PaletteColor& color) {
    std::u16string text;
    AppendComponent(text, color.red);
    text += u',';
    AppendComponent(text, color.green);
    text += u',';
    AppendComponent(text, color.blue);
    return text;
}

} // namespace parlowen
