#pragma once

#include "CheckText.h"

#include <QFont>
#include <QString>
#include <QTextLayout>

#include <map>
#include <memory>
#include <optional>

class QKeyEvent;

namespace parlowen {

// A line on screen: a row of the check text and one of the lines it wraps into.
struct ScreenLine {
    std::int64_t row = 0;
    int line = 0;
    auto operator<=>(const ScreenLine&) const = default;
};

// Where a key takes the caret.
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
    Motion motion;
    bool select; // with Shift, the selection follows
};
// The motion of a key of the platform's keyboard, if it is one.
std::optional<MotionKey> MotionOf(const QKeyEvent& key);

// The check view's rows laid out at the view's width, only those asked for and a few hundred at most, with
// the moves of the caret over them.
class RowLayouts {
  public:
    explicit RowLayouts(const CheckText& text) : text_(text) {}
    ~RowLayouts();

    // Forgets every layout when the font or width changes.
    void setGeometry(const QFont& font, int width);
    // The words an input method is composing, shown at a position until committed.
    void setPreedit(CheckTextPosition at, const QString& preedit);
    void forget();

    QTextLayout& layout(std::int64_t row) const;
    bool next(ScreenLine& line) const;
    bool previous(ScreenLine& line) const;
    int height(ScreenLine line) const;
    ScreenLine lineOf(CheckTextPosition position) const;
    CheckTextPosition at(ScreenLine line, qreal x) const;
    // The highest line, not above stop, from which the lines down to bottom fit into height pixels.
    ScreenLine topFilling(ScreenLine bottom, int height, ScreenLine stop = {}) const;
    // Whether the lines from top on reach past height pixels.
    bool reachesPast(ScreenLine top, int height) const;

    // Where motion takes the caret from; a page is pageLines lines. goalX keeps the caret's x over a run of
    // up and down moves (negative: not yet taken).
    CheckTextPosition moved(CheckTextPosition from, Motion motion, int pageLines, int& goalX) const;
    // The other end of what Backspace (back) or Delete removes at a caret with nothing selected.
    CheckTextPosition deletionEnd(CheckTextPosition caret, bool back) const;

  private:
    int Length(std::int64_t row) const; // without decoding it again

    const CheckText& text_;
    QFont font_;
    int width_ = 1;
    CheckTextPosition preeditAt_;
    QString preedit_;
    mutable std::map<std::int64_t, std::unique_ptr<QTextLayout>> layouts_;
};

} // namespace parlowen
