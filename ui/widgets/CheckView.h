#pragma once

#include <QPlainTextEdit>

namespace parlowen {

// The text check window (checkView): the loaded log, the converted text or the page body. Like the keyword
// boxes it takes pasted text only through the paste command.
class CheckView : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit CheckView(QWidget* parent = nullptr);

    // The first ten characters of the selection, a line break counting as the two characters CR LF, as the
    // log holds it.
    QString SelectedText() const;
    // Replaces the selection, or goes in at the caret: at most ten characters.
    void PasteText(const QString& text);

  signals:
    void MouseDown(Qt::MouseButton button, QPoint globalPosition);

  protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
};

} // namespace parlowen
