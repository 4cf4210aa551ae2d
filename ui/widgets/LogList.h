#pragma once

#include "Keys.h"

#include <QListWidget>

namespace parlowen {

// The log list (logList). Every key, input-method text included, is reported before the list acts on it;
// Tab and Enter never reach the list. A click, or a selection change that no mouse button is making, is
// reported as Chosen.
class LogList : public QListWidget {
    Q_OBJECT

  public:
    explicit LogList(QWidget* parent = nullptr);

  signals:
    void KeyDown(QKeyCombination key); // input-method text as Qt::Key_unknown
    void Chosen();
    void FocusEntered();

  protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

  private:
    bool mousePressed_ = false;
};

} // namespace parlowen
