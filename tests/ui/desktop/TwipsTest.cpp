#include "Twips.h"
#include "WindowPlacement.h"

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

// The window must come up where its title bar can be reached: in the available area, not under a panel,
// and not above the screen when the lift or a large scale makes it too tall (regression: y = -68 at
// QT_SCALE_FACTOR=2 on 1920 x 1080).
TEST(TwipsTest, PlacementStaysInTheAvailableAreaWithTheTitleBarInSight) {
    const std::tuple<QRect, QSize, double, QPoint> cases[] = {
        // available area, outer size, dpi -> top left of the outer frame
        {{0, 0, 1280, 1024}, {906, 581}, 96, {187, 208}},    // centred and lifted 200 twips
        {{0, 30, 1280, 994}, {906, 581}, 96, {187, 223}},    // centred in what the panel leaves
        {{0, 0, 1920, 1080}, {1359, 872}, 144, {281, 84}},   // at a higher resolution
        {{0, 0, 960, 540}, {908, 610}, 96, {26, 0}},         // scale 2: taller than the area, top kept
        {{0, 0, 1000, 600}, {906, 590}, 96, {47, 0}},        // the lift alone would push it off
        {{100, 50, 800, 600}, {906, 581}, 96, {100, 50}},    // wider too: the top left corner kept
        {{1280, 24, 1024, 744}, {906, 581}, 96, {1339, 92}}, // a second screen to the right
    };
    for (const auto& [area, outer, dotsPerInch, expected] : cases) {
        const QPoint placed = PlacementOnScreen(area, outer, dotsPerInch);
        EXPECT_EQ(placed, expected) << area.x() << "," << area.y() << " " << area.width() << "x"
                                    << area.height() << " -> " << placed.x() << "," << placed.y();
        EXPECT_TRUE(area.contains(placed)) << area.width() << "x" << area.height();
    }
}
