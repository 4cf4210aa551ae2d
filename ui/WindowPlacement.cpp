#include "WindowPlacement.h"

#include "Twips.h"

#include <QScreen>
#include <QWidget>

namespace parlowen {

void PlaceCentredWithLift(QWidget& window, double dotsPerInch) {
    const QRect screenArea = window.screen()->geometry();
    const TwipsPosition position =
        CentredWithLift(static_cast<float>(PixelsToTwips(screenArea.width(), dotsPerInch)),
                        static_cast<float>(PixelsToTwips(screenArea.height(), dotsPerInch)),
                        static_cast<float>(PixelsToTwips(window.width(), dotsPerInch)),
                        static_cast<float>(PixelsToTwips(window.height(), dotsPerInch)));
    window.move(screenArea.left() + TwipsToPixels(position.left, dotsPerInch),
                screenArea.top() + TwipsToPixels(position.top, dotsPerInch));
}

} // namespace parlowen
