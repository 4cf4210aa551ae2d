#pragma once

namespace parlowen {

// The windows are laid out in twips, 1440 to the logical inch (15 twips per pixel at 96 dpi), so that
// they keep their proportions at any screen resolution.
inline constexpr double TwipsPerInch = 1440.0;

int TwipsToPixels(double twips, double dotsPerInch);
double PixelsToTwips(double pixels, double dotsPerInch);

struct TwipsPosition {
    float left = 0;
    float top = 0;
};

// Centred on the screen and lifted 200 twips, computed in single precision so that each position rounds to
// the pixel it always has; a window larger than the screen gets a negative position and keeps it.
TwipsPosition CentredWithLift(float screenWidth, float screenHeight, float windowWidth, float windowHeight);

} // namespace parlowen
