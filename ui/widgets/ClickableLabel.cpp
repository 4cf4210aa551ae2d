#include "ClickableLabel.h"

#include <QMouseEvent>

namespace parlowen {

ClickableLabel::ClickableLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit Clicked();
    }
}

} // namespace parlowen
