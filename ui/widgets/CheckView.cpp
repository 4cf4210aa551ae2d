#include "CheckView.h"

#include "ClipboardText.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <array>

namespace parlowen {

namespace {

constexpr int Margin = 4; // as a text document's margin
constexpr std::size_t LayoutsKept = 512;

enum class Motion {
    NextChar,
    PreviousChar,
    NextWord,
    PreviousWord,
    LineStart,
    LineEnd,
    NextLine,
    PreviousLine,
    NextPage,
    PreviousPage,
    TextStart,
    TextEnd
};

struct MotionKey {
    QKeySequence::StandardKey move;
    QKeySequence::StandardKey select;
    Motion motion;
};

constexpr std::array MotionKeys{
    MotionKey{QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Motion::NextChar},
    MotionKey{QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Motion::PreviousChar},
    MotionKey{QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, Motion::NextWord},
    MotionKey{QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, Motion::PreviousWord},
    MotionKey{QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Motion::LineStart},
    MotionKey{QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Motion::LineEnd},
    MotionKey{QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Motion::NextLine},
    MotionKey{QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Motion::PreviousLine},
    MotionKey{QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Motion::NextPage},
    MotionKey{QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Motion::PreviousPage},
    MotionKey{QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, Motion::TextStart},
    MotionKey{QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Motion::TextEnd},
};

QString RowString(std::u16string_view row) {
    // The layout reads the row where it is; the text is not changed while the layout lives.
    return QString::fromRawData(reinterpret_cast<const QChar*>(row.data()),
                                static_cast<qsizetype>(row.size()));
}

} // namespace

CheckView::CheckView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // lines wrap at the window's width
    viewport()->setCursor(Qt::IBeamCursor);
}

CheckView::~CheckView() = default;

void CheckView::setText(std::u16string text) {
    forgetLayouts();
    text_.assign(std::move(text));
    anchor_ = caret_ = {};
    top_ = {};
    goalX_ = -1;
    preedit_.clear();
    updateScrollRange();
    const QSignalBlocker quiet(verticalScrollBar());
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

QString CheckView::toPlainText() const {
    return text_.text({}, text_.end(), u"\n");
}

void CheckView::select(CheckTextPosition anchor, CheckTextPosition caret) {
    anchor_ = anchor;
    moveCaret(caret, true);
}

QString CheckView::SelectedText() const {
    const auto [from, to] = std::minmax(anchor_, caret_);
    return text_.text(from, to, u"\r\n", KeywordLength);
}

void CheckView::PasteText(const QString& text) {
    replaceSelection(QStringView(KeywordCut(text)).toString().toStdU16String());
}

// --- Layout of the rows on screen ---

QTextLayout& CheckView::layout(std::int64_t row) const {
    if (const auto found = layouts_.find(row); found != layouts_.end()) {
        return *found->second;
    }
    if (layouts_.size() >= LayoutsKept) {
        layouts_.clear();
    }
    auto layout = std::make_unique<QTextLayout>(RowString(text_.row(row)), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    if (!preedit_.isEmpty() && row == caret_.row) {
        layout->setPreeditArea(caret_.column, preedit_);
    }
    const qreal width = std::max(1, viewport()->width() - 2 * Margin);
    qreal y = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return *layouts_.emplace(row, std::move(layout)).first->second;
}

void CheckView::forgetLayouts() {
    layouts_.clear();
}

bool CheckView::nextLine(ScreenLine& line) const {
    if (line.line + 1 < layout(line.row).lineCount()) {
        ++line.line;
        return true;
    }
    if (line.row + 1 < text_.rowCount()) {
        line = {line.row + 1, 0};
        return true;
    }
    return false;
}

bool CheckView::previousLine(ScreenLine& line) const {
    if (line.line > 0) {
        --line.line;
        return true;
    }
    if (line.row > 0) {
        line = {line.row - 1, std::max(0, layout(line.row - 1).lineCount() - 1)};
        return true;
    }
    return false;
}

int CheckView::lineHeight(ScreenLine line) const {
    return qCeil(layout(line.row).lineAt(line.line).height());
}

CheckView::ScreenLine CheckView::lineOf(CheckTextPosition position) const {
    const QTextLayout& rowLayout = layout(position.row);
    const QTextLine line = rowLayout.lineForTextPosition(position.column);
    return {position.row, line.isValid() ? line.lineNumber() : std::max(0, rowLayout.lineCount() - 1)};
}

int CheckView::visibleLines() const {
    return std::max(1, viewport()->height() / std::max(1, fontMetrics().lineSpacing()));
}

CheckTextPosition CheckView::positionAt(QPoint point) const {
    ScreenLine line = top_;
    int y = top_ == ScreenLine{} ? Margin : 0;
    for (ScreenLine next = line; point.y() >= y + lineHeight(line) && nextLine(next); line = next) {
        y += lineHeight(line);
    }
    const QTextLine textLine = layout(line.row).lineAt(line.line);
    return {line.row, textLine.xToCursor(point.x() - Margin)};
}

// --- Scrolling ---

void CheckView::setTop(ScreenLine top) {
    top_ = top;
    const QSignalBlocker quiet(verticalScrollBar());
    verticalScrollBar()->setValue(static_cast<int>(top.row));
    viewport()->update();
}

void CheckView::scrollLines(int lines) {
    ScreenLine top = top_;
    for (; lines > 0 && endsBelowView(top) && nextLine(top); --lines) {
    }
    for (; lines < 0 && previousLine(top); ++lines) {
    }
    setTop(top);
}

// Whether the text from this top line on reaches past the bottom of the view.
bool CheckView::endsBelowView(ScreenLine top) const {
    if (top.row < verticalScrollBar()->maximum()) {
        return true;
    }
    int height = 0;
    for (ScreenLine line = top; height <= viewport()->height() - Margin; height += lineHeight(line)) {
        if (!nextLine(line)) {
            return height + lineHeight(line) > viewport()->height() - Margin;
        }
    }
    return true;
}

void CheckView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    top_ = {verticalScrollBar()->value(), 0};
    viewport()->update();
}

void CheckView::updateScrollRange() {
    // The last top row is the one from which the rest of the text fills the view.
    ScreenLine line{text_.rowCount() - 1, 0};
    line.line = std::max(0, layout(line.row).lineCount() - 1);
    int height = lineHeight(line);
    for (ScreenLine previous = line; previousLine(previous);) {
        height += lineHeight(previous);
        if (height > viewport()->height() - Margin) {
            break;
        }
        line = previous;
    }
    const std::int64_t last = line.line == 0 ? line.row : std::min(line.row + 1, text_.rowCount() - 1);
    // The scroll bar counts rows in an int; past that many rows it stops short of the end.
    const int maximum = static_cast<int>(std::min<std::int64_t>(last, std::numeric_limits<int>::max()));
    const QSignalBlocker quiet(verticalScrollBar());
    verticalScrollBar()->setRange(0, maximum);
    verticalScrollBar()->setPageStep(visibleLines());
    if (top_.row >= text_.rowCount()) {
        top_ = {text_.rowCount() - 1, 0};
    }
    // Narrower, the top row may wrap into fewer lines than before.
    top_.line = std::min(top_.line, std::max(0, layout(top_.row).lineCount() - 1));
    verticalScrollBar()->setValue(static_cast<int>(top_.row));
}

void CheckView::ensureCaretVisible() {
    const ScreenLine caretLine = lineOf(caret_);
    if (caretLine < top_) {
        setTop(caretLine);
        return;
    }
    // Back from the caret's line as far as the view reaches: the top is either met, or the new top.
    ScreenLine line = caretLine;
    int height = lineHeight(line) + (top_ == ScreenLine{} ? Margin : 0);
    for (ScreenLine previous = line; line != top_ && previousLine(previous); line = previous) {
        height += lineHeight(previous);
        if (height > viewport()->height()) {
            break;
        }
    }
    if (line != top_) {
        setTop(line);
    }
}

void CheckView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    scrollLines(-steps * QApplication::wheelScrollLines());
    event->accept();
}

// --- Caret, selection and editing ---

void CheckView::moveCaret(CheckTextPosition to, bool keepAnchor) {
    caret_ = to;
    if (!keepAnchor) {
        anchor_ = to;
    }
    ensureCaretVisible();
    restartBlink();
    viewport()->update();
}

void CheckView::replaceSelection(std::u16string_view text) {
    const auto [from, to] = std::minmax(anchor_, caret_);
    forgetLayouts();
    const CheckTextPosition end = text_.replace(from, to, text);
    forgetLayouts();
    goalX_ = -1;
    updateScrollRange();
    moveCaret(end, false);
}

CheckTextPosition CheckView::movedByLines(CheckTextPosition from, int lines) const {
    ScreenLine line = lineOf(from);
    const QTextLayout& fromLayout = layout(from.row);
    const qreal x = goalX_ >= 0 ? goalX_ : fromLayout.lineAt(line.line).cursorToX(from.column);
    for (; lines > 0; --lines) {
        if (!nextLine(line)) {
            return text_.end();
        }
    }
    for (; lines < 0; ++lines) {
        if (!previousLine(line)) {
            return {};
        }
    }
    return {line.row, layout(line.row).lineAt(line.line).xToCursor(x)};
}

void CheckView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cut)) {
        const auto [from, to] = std::minmax(anchor_, caret_);
        if (from != to) {
            QGuiApplication::clipboard()->setText(text_.text(from, to, u"\n"));
            replaceSelection({});
        }
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        anchor_ = {};
        moveCaret(text_.end(), true);
        return;
    }
    for (const MotionKey& motionKey : MotionKeys) {
        const bool select = event->matches(motionKey.select);
        if (!select && !event->matches(motionKey.move)) {
            continue;
        }
        const QTextLayout& rowLayout = layout(caret_.row);
        const auto length = static_cast<int>(text_.row(caret_.row).size());
        const QTextLine line = rowLayout.lineForTextPosition(caret_.column);
        const bool vertical =
            motionKey.motion == Motion::NextLine || motionKey.motion == Motion::PreviousLine ||
            motionKey.motion == Motion::NextPage || motionKey.motion == Motion::PreviousPage;
        if (vertical && goalX_ < 0) {
            goalX_ = qRound(line.isValid() ? line.cursorToX(caret_.column) : 0);
        }
        CheckTextPosition to = caret_;
        switch (motionKey.motion) {
        case Motion::NextChar:
        case Motion::NextWord:
            if (caret_.column < length) {
                to.column = rowLayout.nextCursorPosition(caret_.column, motionKey.motion == Motion::NextWord
                                                                            ? QTextLayout::SkipWords
                                                                            : QTextLayout::SkipCharacters);
            } else if (caret_.row + 1 < text_.rowCount()) {
                to = {caret_.row + 1, 0};
            }
            break;
        case Motion::PreviousChar:
        case Motion::PreviousWord:
            if (caret_.column > 0) {
                to.column = rowLayout.previousCursorPosition(
                    caret_.column, motionKey.motion == Motion::PreviousWord ? QTextLayout::SkipWords
                                                                            : QTextLayout::SkipCharacters);
            } else if (caret_.row > 0) {
                to = {caret_.row - 1, static_cast<int>(text_.row(caret_.row - 1).size())};
            }
            break;
        case Motion::LineStart:
            to.column = line.isValid() ? line.textStart() : 0;
            break;
        case Motion::LineEnd:
            to.column = line.isValid() ? line.textStart() + line.textLength() : length;
            if (line.isValid() && line.lineNumber() + 1 < rowLayout.lineCount()) {
                to.column = rowLayout.previousCursorPosition(to.column); // before the wrap, not after it
            }
            break;
        case Motion::NextLine:
            to = movedByLines(caret_, 1);
            break;
        case Motion::PreviousLine:
            to = movedByLines(caret_, -1);
            break;
        case Motion::NextPage:
            to = movedByLines(caret_, visibleLines());
            scrollLines(visibleLines());
            break;
        case Motion::PreviousPage:
            to = movedByLines(caret_, -visibleLines());
            scrollLines(-visibleLines());
            break;
        case Motion::TextStart:
            to = {};
            break;
        case Motion::TextEnd:
            to = text_.end();
            break;
        }
        if (!vertical) {
            goalX_ = -1;
        }
        moveCaret(to, select);
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (anchor_ == caret_) {
            const bool back = event->key() == Qt::Key_Backspace;
            CheckTextPosition& end = back ? anchor_ : caret_;
            const std::int64_t row = end.row;
            const auto length = static_cast<int>(text_.row(row).size());
            if (back && end.column > 0) {
                end.column = layout(row).previousCursorPosition(end.column);
            } else if (back && row > 0) {
                const auto previousLength = static_cast<int>(text_.row(row - 1).size());
                // Between the rows of one long line there is no break to take away, but its last character.
                end = {row - 1, text_.breakAfter(row - 1)
                                    ? previousLength
                                    : layout(row - 1).previousCursorPosition(previousLength)};
            } else if (!back && end.column < length) {
                end.column = layout(row).nextCursorPosition(end.column);
            } else if (!back && row + 1 < text_.rowCount()) {
                end = {row + 1, text_.breakAfter(row) ? 0 : layout(row + 1).nextCursorPosition(0)};
            }
        }
        replaceSelection({});
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (printable) {
        replaceSelection(typed.toStdU16String());
        return;
    }
    event->ignore(); // Enter puts no line break into the view
}

void CheckView::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        preedit_.clear();
        replaceSelection(event->commitString().toStdU16String());
    }
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCursor_ = attribute.start;
        }
    }
    layouts_.erase(caret_.row);
    viewport()->update();
    event->accept();
}

QVariant CheckView::inputMethodQuery(Qt::InputMethodQuery query) const {
    const std::u16string_view row = text_.row(caret_.row);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return caret_.column;
    case Qt::ImAnchorPosition:
        return anchor_.row == caret_.row ? anchor_.column : caret_.column;
    case Qt::ImSurroundingText:
        return QStringView(row).toString();
    case Qt::ImCurrentSelection: {
        if (anchor_.row != caret_.row) {
            return QString();
        }
        const auto [from, to] = std::minmax(anchor_.column, caret_.column);
        return QStringView(row).mid(from, to - from).toString();
    }
    case Qt::ImCursorRectangle: {
        // The caret's line, counted from the top while it is on screen.
        ScreenLine line = top_;
        int y = top_ == ScreenLine{} ? Margin : 0;
        const ScreenLine caretLine = lineOf(caret_);
        for (int shown = 0; line < caretLine && shown <= visibleLines(); ++shown) {
            y += lineHeight(line);
            if (!nextLine(line)) {
                break;
            }
        }
        const QTextLine textLine = layout(caret_.row).lineAt(caretLine.line);
        const QRect inView(Margin + qRound(textLine.cursorToX(caret_.column)), y, 1, lineHeight(caretLine));
        return inView.translated(viewport()->pos());
    }
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// --- Mouse and focus ---

void CheckView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    goalX_ = -1;
    dragging_ = true;
    moveCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void CheckView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        return;
    }
    QPoint point = event->position().toPoint();
    if (point.y() < 0) {
        scrollLines(-1);
    } else if (point.y() > viewport()->height()) {
        scrollLines(1);
    }
    point.setY(std::clamp(point.y(), 0, viewport()->height()));
    moveCaret(positionAt(point), true);
}

void CheckView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
    }
}

void CheckView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const CheckTextPosition at = positionAt(event->position().toPoint());
    const QString row = RowString(text_.row(at.row));
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, row);
    words.setPosition(at.column);
    const qsizetype end =
        words.isAtBoundary() && at.column == row.size() ? at.column : words.toNextBoundary();
    words.setPosition(at.column);
    const qsizetype start = words.isAtBoundary() ? at.column : words.toPreviousBoundary();
    anchor_ = {at.row, static_cast<int>(std::max<qsizetype>(0, start))};
    moveCaret({at.row, static_cast<int>(end < 0 ? row.size() : end)}, true);
    dragging_ = false;
}

void CheckView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void CheckView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    caretShown_ = false;
    viewport()->update();
}

void CheckView::restartBlink() {
    caretShown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0 && hasFocus()) {
        blink_.start(flash / 2, this);
    } else {
        blink_.stop();
    }
}

void CheckView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != blink_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    caretShown_ = !caretShown_;
    viewport()->update();
}

// --- Painting and events ---

void CheckView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextCharFormat selected;
    selected.setBackground(palette().brush(group, QPalette::Highlight));
    selected.setForeground(palette().brush(group, QPalette::HighlightedText));
    const auto [from, to] = std::minmax(anchor_, caret_);
    qreal y = (top_ == ScreenLine{} ? Margin : 0) - layout(top_.row).lineAt(top_.line).y();
    for (std::int64_t row = top_.row; row < text_.rowCount() && y < viewport()->height(); ++row) {
        QTextLayout& rowLayout = layout(row);
        QList<QTextLayout::FormatRange> selections;
        if (from != to && row >= from.row && row <= to.row) {
            const int start = row == from.row ? from.column : 0;
            const int end = row == to.row ? to.column : static_cast<int>(text_.row(row).size());
            selections.append({start, end - start, selected});
        }
        rowLayout.draw(&painter, QPointF(Margin, y), selections);
        if (row == caret_.row && caretShown_ && hasFocus()) {
            rowLayout.drawCursor(&painter, QPointF(Margin, y),
                                 caret_.column + (preedit_.isEmpty() ? 0 : preeditCursor_));
        }
        y += rowLayout.boundingRect().height();
    }
}

void CheckView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    forgetLayouts();
    updateScrollRange();
}

void CheckView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        forgetLayouts();
        updateScrollRange();
        viewport()->update();
    }
}

bool CheckView::event(QEvent* event) {
    // A copy or paste key not taken here runs the window's command.
    return RouteTextControlEvent(*event) != TextControlEvent::LeaveToWindow &&
           QAbstractScrollArea::event(event);
}

bool CheckView::viewportEvent(QEvent* event) {
    if (RouteTextControlEvent(*event) == TextControlEvent::Drop) {
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        emit MouseDown(mouse.button(), mouse.globalPosition().toPoint());
    }
    return QAbstractScrollArea::viewportEvent(event);
}

} // namespace parlowen
