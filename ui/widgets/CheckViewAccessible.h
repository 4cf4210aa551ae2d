#pragma once

#include "CheckText.h"

#include <QAccessibleWidget>

#include <vector>

namespace parlowen {

class CheckView;

// What a screen reader gets of the check view: its name, and as its text the rows on screen, joined by line
// feeds, with the caret and the selection in them. A log of millions of lines is not handed over whole; the
// caret keeps its row on screen, so reading by line, word or character follows it as it moves.
class CheckViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit CheckViewAccessible(CheckView* view);

    // For QAccessible::installFactory.
    static QAccessibleInterface* Create(const QString& className, QObject* object);
    // Tells a screen reader, if one listens, that the rows on screen, the caret or the selection changed.
    static void Notify(CheckView* view);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    using QAccessibleWidget::text;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

  private:
    // The rows on screen as one text, and the offsets of positions in it.
    struct Shown {
        std::int64_t firstRow = 0;
        QString text;
        std::vector<int> rowStarts;
        int offsetOf(CheckTextPosition position) const;
        CheckTextPosition positionOf(int offset) const;
    };
    Shown shown() const;
    CheckView* view() const;

    QString reported_; // the text a screen reader was last told of
};

} // namespace parlowen
