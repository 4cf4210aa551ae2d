#include "CheckView.h"

#include "CheckViewAccessible.h"
#include "ClipboardText.h"
#include "Cp932Codec.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <array>
#include <limits>

namespace parlowen {

namespace {

constexpr int Margin = 4; // as a text document's margin

} // namespace

CheckView::CheckView(QWidget* parent) : QAbstractScrollArea(parent) {
    static const bool accessible = (QAccessible::installFactory(&CheckViewAccessible::Create), true);
    Q_UNUSED(accessible);
    // Built as the window opens, the code page's tables do not hold up the first rows a load shows. On this
    // thread: a fork while another thread builds them would leave the child waiting for them forever.
    static const bool prepared = (QTimer::singleShot(0, [] { Cp932Codec::Prepare(); }), true);
    Q_UNUSED(prepared);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // lines wrap at the window's width
    viewport()->setCursor(Qt::IBeamCursor);
    rows_.setGeometry(font(), viewport()->width() - 2 * Margin);
}

CheckView::~CheckView() = default;

void CheckView::setText(std::u16string text) {
    text_.assign(std::move(text));
    reset();
}

void CheckView::setFile(CheckFile file) {
    text_.assignFile(std::move(file));
    reset();
}

void CheckView::setLines(CheckLines lines) {
    text_.assignLines(std::move(lines));
    reset();
}

void CheckView::reset() {
    rows_.forget();
    anchor_ = caret_ = {};
    top_ = {};
    goalX_ = -1;
    preedit_.clear();
    rows_.setPreedit({}, preedit_);
    updateScrollRange();
    viewport()->update();
    CheckViewAccessible::Notify(this);
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
    replaceSelection(KeywordCut(text).toStdU16String());
}

// --- The rows on screen ---

int CheckView::visibleLines() const {
    return std::max(1, viewport()->height() / std::max(1, fontMetrics().lineSpacing()));
}

CheckTextPosition CheckView::positionAt(QPoint point) const {
    ScreenLine line = top_;
    int y = top_ == ScreenLine{} ? Margin : 0;
    for (ScreenLine next = line; point.y() >= y + rows_.height(line) && rows_.next(next); line = next) {
        y += rows_.height(line);
    }
    const QTextLine textLine = rows_.layout(line.row).lineAt(line.line);
    return {line.row, textLine.xToCursor(point.x() - Margin)};
}

// --- Scrolling ---

void CheckView::setTop(ScreenLine top) {
    top_ = top;
    movingScrollBar_ = true;
    verticalScrollBar()->setValue(static_cast<int>(top.row));
    movingScrollBar_ = false;
    viewport()->update();
    CheckViewAccessible::Notify(this);
}

void CheckView::scrollLines(int lines) {
    ScreenLine top = top_;
    const auto endsBelow = [&] {
        return top.row < verticalScrollBar()->maximum() ||
               rows_.reachesPast(top, viewport()->height() - Margin);
    };
    for (; lines > 0 && endsBelow() && rows_.next(top); --lines) {
    }
    for (; lines < 0 && rows_.previous(top); ++lines) {
    }
    setTop(top);
}

void CheckView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    if (movingScrollBar_) {
        return; // the top line is already set, perhaps within its row
    }
    top_ = {verticalScrollBar()->value(), 0};
    viewport()->update();
    CheckViewAccessible::Notify(this);
}

void CheckView::updateScrollRange() {
    // The last top row is the one from which the rest of the text fills the view.
    const ScreenLine line = rows_.topFilling(rows_.lineOf(text_.end()), viewport()->height() - Margin);
    const std::int64_t last = line.line == 0 ? line.row : std::min(line.row + 1, text_.rowCount() - 1);
    // The scroll bar counts rows in an int; past that many rows it stops short of the end.
    const int maximum = static_cast<int>(std::min<std::int64_t>(last, std::numeric_limits<int>::max()));
    if (top_.row > maximum) {
        top_ = {maximum, 0};
    }
    // Narrower, the top row may wrap into fewer lines than before.
    top_.line = std::min(top_.line, std::max(0, rows_.layout(top_.row).lineCount() - 1));
    // Not quietly: the scroll area shows and hides the bar as its range changes.
    movingScrollBar_ = true;
    verticalScrollBar()->setRange(0, maximum);
    verticalScrollBar()->setPageStep(visibleLines());
    verticalScrollBar()->setValue(static_cast<int>(top_.row));
    movingScrollBar_ = false;
}

void CheckView::ensureCaretVisible() {
    const ScreenLine caretLine = rows_.lineOf(caret_);
    if (caretLine < top_) {
        setTop(caretLine);
        return;
    }
    // Back from the caret's line as far as the view reaches: the top is either met, or the new top.
    const ScreenLine line = rows_.topFilling(caretLine, viewport()->height() - Margin, top_);
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
    CheckViewAccessible::Notify(this);
}

void CheckView::replaceSelection(std::u16string_view text) {
    const auto [from, to] = std::minmax(anchor_, caret_);
    const CheckTextPosition end = text_.replace(from, to, text);
    rows_.forget();
    goalX_ = -1;
    updateScrollRange();
    moveCaret(end, false);
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
    if (const std::optional<MotionKey> key = MotionOf(*event)) {
        const CheckTextPosition to = rows_.moved(caret_, key->motion, visibleLines(), goalX_);
        if (key->motion == Motion::NextPage || key->motion == Motion::PreviousPage) {
            scrollLines(key->motion == Motion::NextPage ? visibleLines() : -visibleLines());
        }
        moveCaret(to, key->select);
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (anchor_ == caret_) {
            anchor_ = rows_.deletionEnd(caret_, event->key() == Qt::Key_Backspace);
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
        rows_.setPreedit(caret_, preedit_);
        replaceSelection(event->commitString().toStdU16String());
    }
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCursor_ = attribute.start;
        }
    }
    rows_.setPreedit(caret_, preedit_);
    viewport()->update();
    event->accept();
}

QVariant CheckView::inputMethodQuery(Qt::InputMethodQuery query) const {
    const std::u16string row = text_.row(caret_.row);
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
    case Qt::ImCursorRectangle:
        return caretRect(caret_);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

QRect CheckView::caretRect(CheckTextPosition at) const {
    // The position's line, counted from the top while it is on screen.
    ScreenLine line = top_;
    int y = top_ == ScreenLine{} ? Margin : 0;
    const ScreenLine atLine = rows_.lineOf(at);
    for (int shown = 0; line < atLine && shown <= visibleLines(); ++shown) {
        y += rows_.height(line);
        if (!rows_.next(line)) {
            break;
        }
    }
    const QTextLine textLine = rows_.layout(at.row).lineAt(atLine.line);
    const QRect inView(Margin + qRound(textLine.cursorToX(at.column)), y, 1, rows_.height(atLine));
    return inView.translated(viewport()->pos());
}

std::int64_t CheckView::lastRowShown() const {
    qreal y = (top_ == ScreenLine{} ? Margin : 0) - rows_.layout(top_.row).lineAt(top_.line).y();
    std::int64_t row = top_.row;
    for (; row + 1 < text_.rowCount(); ++row) {
        y += rows_.layout(row).boundingRect().height();
        if (y >= viewport()->height()) {
            break;
        }
    }
    return row;
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
    const auto [start, end] = text_.wordAt(positionAt(event->position().toPoint()));
    anchor_ = start;
    moveCaret(end, true);
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
    qreal y = (top_ == ScreenLine{} ? Margin : 0) - rows_.layout(top_.row).lineAt(top_.line).y();
    for (std::int64_t row = top_.row; row < text_.rowCount() && y < viewport()->height(); ++row) {
        QTextLayout& rowLayout = rows_.layout(row);
        QList<QTextLayout::FormatRange> selections;
        if (from != to && row >= from.row && row <= to.row) {
            const int start = row == from.row ? from.column : 0;
            const int end = row == to.row ? to.column : static_cast<int>(rowLayout.text().size());
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
    rows_.setGeometry(font(), viewport()->width() - 2 * Margin);
    updateScrollRange();
}

void CheckView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        rows_.setGeometry(font(), viewport()->width() - 2 * Margin);
        updateScrollRange();
        viewport()->update();
    }
}

bool CheckView::event(QEvent* event) {
    // A copy or paste key not taken here runs the window's copy or paste action.
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
