#pragma once

#include <QString>

namespace parlowen {

// The modal boxes and the beep the program uses to talk to the user. Texts may carry CR LF line breaks.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;

    // OK and Cancel, no icon; any way of closing the box other than OK is Cancel.
    virtual bool AskOkCancel(const QString& title, const QString& text) = 0;
    // OK only, no icon.
    virtual void ShowNotice(const QString& title, const QString& text) = 0;
    virtual void Beep() = 0;
};

} // namespace parlowen
