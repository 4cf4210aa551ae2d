#include "Twips.h"

#include <cmath>

namespace parlowen {

int TwipsToPixels(double twips, double dotsPerInch) {
    return static_cast<int>(std::lround(twips * dotsPerInch / TwipsPerInch));
}

double PixelsToTwips(double pixels, double dotsPerInch) {
    return pixels * TwipsPerInch / dotsPerInch;
}

TwipsPosition CentredWithLift(float screenWidth, float screenHeight, float windowWidth, float windowHeight) {
    constexpr float lift = 200.0f;
    return {(screenWidth - windowWidth) / 2.0f, (screenHeight - windowHeight) / 2.0f - lift};
}

} // namespace parlowen
