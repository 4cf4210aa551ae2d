#pragma once

#include <QLineEdit>

namespace parlowen {

// A single-line text box of the main window (logNameBox, entryKeywordBox, speakerKeywordBox). Text enters it
// by typing or through the paste action, which cuts it to ten characters; so it refuses drops and the
// middle-button paste, and leaves the copy and paste keys to the window's actions.
class TextBox : public QLineEdit {
    Q_OBJECT

  public:
    explicit TextBox(QWidget* parent = nullptr);

    // Replaces the selection, or goes in at the caret, like typing: at most ten characters.
    void PasteText(const QString& text);

  signals:
    void MouseDown(Qt::MouseButton button, QPoint globalPosition);
    void Clicked(); // released with the left button
    void FocusEntered();

  protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace parlowen
