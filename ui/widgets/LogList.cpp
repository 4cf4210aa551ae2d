#include "LogList.h"

#include "ListKeyRules.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace parlowen {

LogList::LogList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, &LogList::Chosen);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        // A mouse press changes the selection before the click is complete; the click itself is Chosen.
        if (!mousePressed_) {
            emit Chosen();
        }
    });
}

bool LogList::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) { // here rather than in keyPressEvent, which never sees Tab
        const QKeyCombination key = NormalisedKey(static_cast<const QKeyEvent&>(*event).keyCombination());
        emit KeyDown(key);
        if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Return) {
            return true;
        }
        if (MovingKeySelectsFocusedRow(key.key(), !selectedItems().isEmpty()) && currentItem()) {
            currentItem()->setSelected(true); // after KeyDown, so that it loads nothing
            return true;
        }
    } else if (event->type() == QEvent::InputMethod &&
               !static_cast<const QInputMethodEvent&>(*event).commitString().isEmpty()) {
        // Text from the input method searches the list as typed keys do; it is a key, not a choice.
        emit KeyDown(QKeyCombination(Qt::Key_unknown));
    }
    return QListWidget::event(event);
}

void LogList::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    emit FocusEntered();
}

void LogList::mousePressEvent(QMouseEvent* event) {
    mousePressed_ = true;
    QListWidget::mousePressEvent(event);
}

void LogList::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressed_ = true;
    QListWidget::mouseDoubleClickEvent(event);
}

void LogList::mouseReleaseEvent(QMouseEvent* event) {
    mousePressed_ = false;
    QListWidget::mouseReleaseEvent(event);
}

QItemSelectionModel::SelectionFlags LogList::selectionCommand(const QModelIndex& index,
                                                              const QEvent* event) const {
    // A click below the last log, or a Ctrl+click on the selected one, would empty the selection, and the
    // click would then load with nothing selected. A click only ever chooses the log under it.
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    const bool byMouse =
        event && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
                  event->type() == QEvent::MouseButtonDblClick);
    if (byMouse && (!index.isValid() || command.testFlag(QItemSelectionModel::Deselect))) {
        return QItemSelectionModel::NoUpdate;
    }
    return command;
}

} // namespace parlowen
