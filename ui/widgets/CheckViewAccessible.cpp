#include "CheckViewAccessible.h"

#include "CheckView.h"

#include <algorithm>

namespace parlowen {

CheckViewAccessible::CheckViewAccessible(CheckView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

QAccessibleInterface* CheckViewAccessible::Create(const QString& /*className*/, QObject* object) {
    auto* view = qobject_cast<CheckView*>(object);
    return view ? new CheckViewAccessible(view) : nullptr;
}

void CheckViewAccessible::Notify(CheckView* view) {
    if (!QAccessible::isActive()) {
        return;
    }
    auto* self = dynamic_cast<CheckViewAccessible*>(QAccessible::queryAccessibleInterface(view));
    if (!self) {
        return;
    }
    const Shown now = self->shown();
    if (now.text != self->reported_) {
        QAccessibleTextUpdateEvent update(view, 0, self->reported_, now.text);
        QAccessible::updateAccessibility(&update);
        self->reported_ = now.text;
    }
    const int caret = now.offsetOf(view->caret());
    const int anchor = now.offsetOf(view->anchor());
    QAccessibleTextCursorEvent moved(view, caret);
    QAccessible::updateAccessibility(&moved);
    QAccessibleTextSelectionEvent selected(view, std::min(caret, anchor), std::max(caret, anchor));
    selected.setCursorPosition(caret);
    QAccessible::updateAccessibility(&selected);
}

CheckView* CheckViewAccessible::view() const {
    return static_cast<CheckView*>(widget());
}

void* CheckViewAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State CheckViewAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

CheckViewAccessible::Shown CheckViewAccessible::shown() const {
    Shown shown;
    const CheckText& text = view()->text();
    shown.firstRow = view()->firstRowShown();
    const std::int64_t last = view()->lastRowShown();
    for (std::int64_t row = shown.firstRow; row <= last; ++row) {
        shown.rowStarts.push_back(static_cast<int>(shown.text.size()));
        shown.text += QString::fromStdU16String(text.row(row));
        if (row < last) {
            shown.text += u'\n';
        }
    }
    return shown;
}

int CheckViewAccessible::Shown::offsetOf(CheckTextPosition position) const {
    if (position.row < firstRow) {
        return 0;
    }
    const auto index = static_cast<std::size_t>(position.row - firstRow);
    if (index >= rowStarts.size()) {
        return static_cast<int>(text.size());
    }
    return rowStarts[index] + position.column;
}

CheckTextPosition CheckViewAccessible::Shown::positionOf(int offset) const {
    offset = std::clamp(offset, 0, static_cast<int>(text.size()));
    const auto after = std::upper_bound(rowStarts.begin(), rowStarts.end(), offset);
    const auto index = after == rowStarts.begin() ? 0 : after - rowStarts.begin() - 1;
    return {firstRow + index, offset - (rowStarts.empty() ? 0 : rowStarts[static_cast<std::size_t>(index)])};
}

void CheckViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || view()->anchor() == view()->caret()) {
        return;
    }
    const Shown now = shown();
    const int anchor = now.offsetOf(view()->anchor());
    const int caret = now.offsetOf(view()->caret());
    *startOffset = std::min(anchor, caret);
    *endOffset = std::max(anchor, caret);
}

int CheckViewAccessible::selectionCount() const {
    return view()->anchor() == view()->caret() ? 0 : 1;
}

void CheckViewAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void CheckViewAccessible::removeSelection(int /*selectionIndex*/) {
    view()->select(view()->caret(), view()->caret());
}

void CheckViewAccessible::setSelection(int /*selectionIndex*/, int startOffset, int endOffset) {
    const Shown now = shown();
    view()->select(now.positionOf(startOffset), now.positionOf(endOffset));
}

int CheckViewAccessible::cursorPosition() const {
    return shown().offsetOf(view()->caret());
}

void CheckViewAccessible::setCursorPosition(int position) {
    const CheckTextPosition at = shown().positionOf(position);
    view()->select(at, at);
}

QString CheckViewAccessible::text(int startOffset, int endOffset) const {
    const QString text = shown().text;
    startOffset = std::clamp(startOffset, 0, static_cast<int>(text.size()));
    endOffset = std::clamp(endOffset, startOffset, static_cast<int>(text.size()));
    return text.mid(startOffset, endOffset - startOffset);
}

int CheckViewAccessible::characterCount() const {
    return static_cast<int>(shown().text.size());
}

QRect CheckViewAccessible::characterRect(int offset) const {
    const Shown now = shown();
    const CheckTextPosition at = now.positionOf(offset);
    QRect rect = view()->caretRect(at);
    const QRect next = view()->caretRect(now.positionOf(offset + 1));
    if (next.top() == rect.top() && next.left() > rect.left()) {
        rect.setRight(next.left() - 1);
    }
    return rect.translated(view()->mapToGlobal(QPoint()));
}

int CheckViewAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint inViewport = view()->viewport()->mapFromGlobal(point);
    return shown().offsetOf(view()->positionAt(inViewport));
}

void CheckViewAccessible::scrollToSubstring(int startIndex, int /*endIndex*/) {
    setCursorPosition(startIndex);
}

QString CheckViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // One font and colour throughout: no attributes, over the whole text.
    *startOffset = 0;
    *endOffset = std::max(offset, characterCount());
    return {};
}

} // namespace parlowen
