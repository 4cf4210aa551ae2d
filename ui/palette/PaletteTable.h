#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace parlowen {

struct PaletteColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const PaletteColor&, const PaletteColor&) = default;
};

inline constexpr std::size_t PaletteSize = 216;

// The 216 web-safe colours in the palette's reading order: white, fifteen hue rings, then the greys.
const std::array<PaletteColor, PaletteSize>& PaletteTable();

// A cell's text: " 255, 204,00" style, a space before each non-zero component and "00" for zero.
std::u16string CellText(const PaletteColor& color);

} // namespace parlowen
