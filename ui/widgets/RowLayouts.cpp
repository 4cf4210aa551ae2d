#include "RowLayouts.h"

#include <QKeyEvent>
#include <QTextLayout>

#include <algorithm>
#include <array>

namespace parlowen {

namespace {

constexpr std::size_t LayoutsKept = 512;

struct MotionKeys {
    QKeySequence::StandardKey move;
    QKeySequence::StandardKey select;
    Motion motion;
};

constexpr std::array Motions{
    MotionKeys{QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Motion::NextChar},
    MotionKeys{QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Motion::PreviousChar},
    MotionKeys{QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, Motion::NextWord},
    MotionKeys{QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, Motion::PreviousWord},
    MotionKeys{QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Motion::LineStart},
    MotionKeys{QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Motion::LineEnd},
    MotionKeys{QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Motion::NextLine},
    MotionKeys{QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Motion::PreviousLine},
    MotionKeys{QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Motion::NextPage},
    MotionKeys{QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Motion::PreviousPage},
    MotionKeys{QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, Motion::TextStart},
    MotionKeys{QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Motion::TextEnd},
};

} // namespace

std::optional<MotionKey> MotionOf(const QKeyEvent& key) {
    for (const MotionKeys& keys : Motions) {
        if (key.matches(keys.select)) {
            return MotionKey{keys.motion, true};
        }
        if (key.matches(keys.move)) {
            return MotionKey{keys.motion, false};
        }
    }
    return std::nullopt;
}

RowLayouts::~RowLayouts() = default;

int RowLayouts::Length(std::int64_t row) const {
    return static_cast<int>(layout(row).text().size());
}

void RowLayouts::forget() {
    layouts_.clear();
}

void RowLayouts::setGeometry(const QFont& font, int width) {
    if (font != font_ || width != width_) {
        font_ = font;
        width_ = std::max(1, width);
        forget();
    }
}

void RowLayouts::setPreedit(CheckTextPosition at, const QString& preedit) {
    layouts_.erase(preeditAt_.row);
    layouts_.erase(at.row);
    preeditAt_ = at;
    preedit_ = preedit;
}

QTextLayout& RowLayouts::layout(std::int64_t row) const {
    if (const auto found = layouts_.find(row); found != layouts_.end()) {
        return *found->second;
    }
    if (layouts_.size() >= LayoutsKept) {
        layouts_.clear();
    }
    auto layout = std::make_unique<QTextLayout>(QString::fromStdU16String(text_.row(row)), font_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    if (!preedit_.isEmpty() && row == preeditAt_.row) {
        layout->setPreeditArea(preeditAt_.column, preedit_);
    }
    qreal y = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width_);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return *layouts_.emplace(row, std::move(layout)).first->second;
}

bool RowLayouts::next(ScreenLine& line) const {
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

bool RowLayouts::previous(ScreenLine& line) const {
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

int RowLayouts::height(ScreenLine line) const {
    return qCeil(layout(line.row).lineAt(line.line).height());
}

ScreenLine RowLayouts::lineOf(CheckTextPosition position) const {
    const QTextLayout& rowLayout = layout(position.row);
    const QTextLine line = rowLayout.lineForTextPosition(position.column);
    return {position.row, line.isValid() ? line.lineNumber() : std::max(0, rowLayout.lineCount() - 1)};
}

CheckTextPosition RowLayouts::at(ScreenLine line, qreal x) const {
    return {line.row, layout(line.row).lineAt(line.line).xToCursor(x)};
}

ScreenLine RowLayouts::topFilling(ScreenLine bottom, int height, ScreenLine stop) const {
    ScreenLine top = bottom;
    int filled = this->height(bottom);
    for (ScreenLine line = top; top != stop && previous(line); top = line) {
        filled += this->height(line);
        if (filled > height) {
            break;
        }
    }
    return top;
}

bool RowLayouts::reachesPast(ScreenLine top, int height) const {
    int filled = 0;
    for (ScreenLine line = top; filled <= height; filled += this->height(line)) {
        if (!next(line)) {
            return filled + this->height(line) > height;
        }
    }
    return true;
}

CheckTextPosition RowLayouts::moved(CheckTextPosition from, Motion motion, int pageLines, int& goalX) const {
    const QTextLayout& rowLayout = layout(from.row);
    const int length = Length(from.row);
    const QTextLine line = rowLayout.lineForTextPosition(from.column);
    const auto skip = [motion] {
        return motion == Motion::NextWord || motion == Motion::PreviousWord ? QTextLayout::SkipWords
                                                                            : QTextLayout::SkipCharacters;
    };
    int lines = 0;
    switch (motion) {
    case Motion::NextChar:
    case Motion::NextWord:
        goalX = -1;
        if (from.column < length) {
            return {from.row, rowLayout.nextCursorPosition(from.column, skip())};
        }
        return from.row + 1 < text_.rowCount() ? CheckTextPosition{from.row + 1, 0} : from;
    case Motion::PreviousChar:
    case Motion::PreviousWord:
        goalX = -1;
        if (from.column > 0) {
            return {from.row, rowLayout.previousCursorPosition(from.column, skip())};
        }
        return from.row > 0 ? CheckTextPosition{from.row - 1, Length(from.row - 1)} : from;
    case Motion::LineStart:
        goalX = -1;
        return {from.row, line.isValid() ? line.textStart() : 0};
    case Motion::LineEnd: {
        goalX = -1;
        if (!line.isValid()) {
            return {from.row, length};
        }
        const int end = line.textStart() + line.textLength();
        // A wrapped line ends before the wrap, not after it.
        return {from.row,
                line.lineNumber() + 1 < rowLayout.lineCount() ? rowLayout.previousCursorPosition(end) : end};
    }
    case Motion::TextStart:
        goalX = -1;
        return {};
    case Motion::TextEnd:
        goalX = -1;
        return text_.end();
    case Motion::NextLine:
        lines = 1;
        break;
    case Motion::PreviousLine:
        lines = -1;
        break;
    case Motion::NextPage:
        lines = pageLines;
        break;
    case Motion::PreviousPage:
        lines = -pageLines;
        break;
    }
    if (goalX < 0) {
        goalX = qRound(line.isValid() ? line.cursorToX(from.column) : 0);
    }
    ScreenLine screenLine = lineOf(from);
    for (; lines > 0; --lines) {
        if (!next(screenLine)) {
            return text_.end();
        }
    }
    for (; lines < 0; ++lines) {
        if (!previous(screenLine)) {
            return {};
        }
    }
    return at(screenLine, goalX);
}

CheckTextPosition RowLayouts::deletionEnd(CheckTextPosition caret, bool back) const {
    const std::int64_t row = caret.row;
    if (back && caret.column > 0) {
        return {row, layout(row).previousCursorPosition(caret.column)};
    }
    if (back && row > 0) {
        const int previousLength = Length(row - 1);
        // Between the rows of one long line there is no break to take away, but its last character.
        return {row - 1, text_.breakAfter(row - 1) ? previousLength
                                                   : layout(row - 1).previousCursorPosition(previousLength)};
    }
    if (!back && caret.column < Length(row)) {
        return {row, layout(row).nextCursorPosition(caret.column)};
    }
    if (!back && row + 1 < text_.rowCount()) {
        return {row + 1, text_.breakAfter(row) ? 0 : layout(row + 1).nextCursorPosition(0)};
    }
    return caret;
}

} // namespace parlowen
