#include "WindowPlacement.h"

#include "Twips.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace parlowen {

void PlaceCentredWithLift(QWidget& window, double dotsPerInch) {
    const QRect screenArea = window.screen()->geometry();
    // The outer size, title bar and borders included, as far as the window system tells it before the
    // window is shown; the window is made for that.
    window.winId();
    const QMargins frame = window.windowHandle()->frameMargins();
    const QSize outer = window.size() + QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    const TwipsPosition position =
        CentredWithLift(static_cast<float>(PixelsToTwips(screenArea.width(), dotsPerInch)),
                        static_cast<float>(PixelsToTwips(screenArea.height(), dotsPerInch)),
                        static_cast<float>(PixelsToTwips(outer.width(), dotsPerInch)),
                        static_cast<float>(PixelsToTwips(outer.height(), dotsPerInch)));
    window.move(screenArea.left() + TwipsToPixels(position.left, dotsPerInch),
                screenArea.top() + TwipsToPixels(position.top, dotsPerInch));
}

} // namespace parlowen
