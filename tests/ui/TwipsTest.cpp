#include "Twips.h"

#include <gtest/gtest.h>

using namespace parlowen;

TEST(TwipsTest, FifteenTwipsMakeAPixelAt96Dpi) {
    const std::tuple<double, double, int> cases[] = {
        {0, 96, 0}, {15, 96, 1},     {13590, 96, 906}, {320, 96, 21},      {7, 96, 0},
        {8, 96, 1}, {-795, 96, -53}, {1440, 144, 144}, {13590, 120, 1133},
    };
    for (const auto& [twips, dotsPerInch, pixels] : cases) {
        EXPECT_EQ(TwipsToPixels(twips, dotsPerInch), pixels)
            << twips << " twips at " << dotsPerInch << " dpi";
    }
    EXPECT_EQ(PixelsToTwips(1280, 96), 19200);
}

TEST(TwipsTest, WindowIsCentredAndLifted200TwipsEvenWhenItDoesNotFit) {
    const std::tuple<float, float, float, float> cases[] = {
        // screen width, height -> left, top of the 13590 x 8715 window
        {19200, 14400, 2805, 2642.5f},
        {13590, 8715, 0, -200},
        {12000, 9000, -795, -57.5f},
    };
    for (const auto& [width, height, left, top] : cases) {
        const TwipsPosition position = CentredWithLift(width, height, 13590, 8715);
        EXPECT_EQ(position.left, left) << width << " x " << height;
        EXPECT_EQ(position.top, top) << width << " x " << height;
    }
}
