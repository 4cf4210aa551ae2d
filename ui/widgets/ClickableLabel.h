#pragma once

#include <QLabel>

namespace parlowen {

// A label of the main window; some of them answer a click with an information message.
class ClickableLabel : public QLabel {
    Q_OBJECT

  public:
    explicit ClickableLabel(const QString& caption, QWidget* parent = nullptr);

  signals:
    void Clicked(); // released with the left button

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace parlowen
