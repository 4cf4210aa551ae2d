#pragma once

#include <QFocusFrame>

namespace parlowen {

// The reason the program gives when it moves the focus itself: a keyboard one, so that the controls show
// the focus as they do after a Tab (a line edit selects its text, the style draws its focus cues).
inline constexpr Qt::FocusReason ProgramFocusReason = Qt::ShortcutFocusReason;

// A black frame, two pixels wide, around whichever control of a window has (or last had) the focus. It lies
// on the window's own background just outside the control, so it shows on every control whatever their
// colours, where the style's own cues are faint (a 1.6:1 border on a button) or missing (a list, a check
// box).
class FocusMark : public QFocusFrame {
    Q_OBJECT

  public:
    explicit FocusMark(QWidget& window);

  private:
    void follow(QWidget* focused);

    QWidget& window_;
};

} // namespace parlowen
