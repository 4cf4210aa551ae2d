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
    // Another window (the palette, a message box) has its own cues; the mark comes back with the focus.
    setWidget(focused && focused != &window_ && focused->window() == &window_ ? focused : nullptr);
}

} // namespace parlowen
