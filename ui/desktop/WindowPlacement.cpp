#include "WindowPlacement.h"

#include "Twips.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace parlowen {

QPoint PlacementOnScreen(const QRect& availableArea, const QSize& outerSize, double dotsPerInch) {
    const TwipsPosition centred =
        CentredWithLift(static_cast<float>(PixelsToTwips(availableArea.width(), dotsPerInch)),
                        static_cast<float>(PixelsToTwips(availableArea.height(), dotsPerInch)),
                        static_cast<float>(PixelsToTwips(outerSize.width(), dotsPerInch)),
                        static_cast<float>(PixelsToTwips(outerSize.height(), dotsPerInch)));
    // The far edge first, so that a frame larger than the area keeps its top left corner in sight.
    const int left = std::max(
        std::min(TwipsToPixels(centred.left, dotsPerInch), availableArea.width() - outerSize.width()), 0);
    const int top = std::max(
        std::min(TwipsToPixels(centred.top, dotsPerInch), availableArea.height() - outerSize.height()), 0);
    return availableArea.topLeft() + QPoint(left, top);
}

void PlaceCentredWithLift(QWidget& window, double dotsPerInch) {
    // The outer size, title bar and borders included, as far as the window system tells it before the
    // window is shown; the window is made for that.
    window.winId();
    const QMargins frame = window.windowHandle()->frameMargins();
    const QSize outer = window.size() + QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    window.move(PlacementOnScreen(window.screen()->availableGeometry(), outer, dotsPerInch));
}

} // namespace parlowen
