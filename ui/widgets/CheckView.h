#pragma once

#include "CheckText.h"
#include "RowLayouts.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>

namespace parlowen {

// The check view: the loaded log, the converted text or the page body. It lays out only
// the rows on screen, so a log of any size shows as soon as it is read; the user scrolls through all of
// it, selects, types and deletes. Like the keyword boxes it takes pasted text only through the paste
// command, and Enter puts no line break into it.
class CheckView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    explicit CheckView(QWidget* parent = nullptr);
    ~CheckView() override;

    // Takes the text without copying it; lines end in CR LF or LF.
    void setText(std::u16string text);
    // The same where it lies in a file, read and decoded only where it is shown.
    void setFile(CheckFile file);
    // A loaded log, its kept lines read from its file.
    void setLines(CheckLines lines);
    void clear() { setText({}); }
    // The whole text, lines joined by LF.
    QString toPlainText() const;
    const CheckText& text() const { return text_; }

    void select(CheckTextPosition anchor, CheckTextPosition caret);
    CheckTextPosition anchor() const { return anchor_; }
    CheckTextPosition caret() const { return caret_; }
    // The first ten characters of the selection, a line break counting as the two characters CR LF, as the
    // log holds it.
    QString SelectedText() const;
    // Replaces the selection, or goes in at the caret: at most ten characters.
    void PasteText(const QString& text);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // The rows on screen, whole or in part.
    std::int64_t firstRowShown() const { return top_.row; }
    std::int64_t lastRowShown() const;
    // Where the caret would be drawn at a position on screen, in the view's coordinates.
    QRect caretRect(CheckTextPosition at) const;
    // The position nearest a point of the viewport.
    CheckTextPosition positionAt(QPoint point) const;

  signals:
    void MouseDown(Qt::MouseButton button, QPoint globalPosition);

  protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void reset(); // after a new text
    int visibleLines() const;

    void setTop(ScreenLine top);
    void scrollLines(int lines);
    void updateScrollRange();
    void ensureCaretVisible();
    void moveCaret(CheckTextPosition to, bool keepAnchor);
    void replaceSelection(std::u16string_view text);
    void restartBlink();

    CheckText text_;
    RowLayouts rows_{text_};
    CheckTextPosition anchor_;
    CheckTextPosition caret_;
    ScreenLine top_;
    int goalX_ = -1; // where up and down keep the caret
    QString preedit_;
    int preeditCursor_ = 0;
    bool dragging_ = false;
    bool movingScrollBar_ = false;
    bool caretShown_ = false;
    QBasicTimer blink_;
};

} // namespace parlowen
