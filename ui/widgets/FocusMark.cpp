#include "FocusMark.h"

#include <QApplication>

namespace parlowen {

FocusMark::FocusMark(QWidget& window) : QFocusFrame(&window), window_(window) {
    setObjectName(QStringLiteral("FocusMark"));
    // Its own colour: it is moved into the HTML options frame, whose text is blue.
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    setPalette(black);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusMark::follow(QWidget* focused) {
    // While another window (the palette, a message box) has the focus, the mark stays on the control that
    // gets it back. It never frames nothing: QFocusFrame then leaves its parent for a window of its own.
    if (focused && focused != &window_ && focused->window() == &window_) {
        setWidget(focused);
    }
}

} // namespace parlowen
