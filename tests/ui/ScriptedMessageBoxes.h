#pragma once

#include "MessageBoxes.h"

#include <QString>

#include <deque>
#include <initializer_list>
#include <ostream>
#include <vector>

// Answers questions from a script and records every box and beep, with whether the busy pointer was on.
class ScriptedMessageBoxes final : public parlowen::MessageBoxes {
  public:
    struct Call {
        char kind = 'N'; // 'Q'uestion, 'N'otice or 'B'eep
        QString title;
        QString text;
        bool busy = false;
        friend bool operator==(const Call&, const Call&) = default;
    };

    void Answer(std::initializer_list<bool> answers) { answers_.insert(answers_.end(), answers); }
    bool AllAnswersUsed() const { return answers_.empty(); }
    std::vector<Call> Take(); // the calls so far, forgetting them

    bool AskOkCancel(const QString& title, const QString& text) override;
    void ShowNotice(const QString& title, const QString& text) override { Record('N', title, text); }
    void Beep() override { Record('B', {}, {}); }

  private:
    void Record(char kind, const QString& title, const QString& text);

    std::deque<bool> answers_;
    std::vector<Call> calls_;
};

// Expected calls; a box shown under the busy pointer never matches them.
inline ScriptedMessageBoxes::Call Question(const QString& title, const QString& text) {
    return {'Q', title, text};
}
inline ScriptedMessageBoxes::Call Notice(const QString& title, const QString& text) {
    return {'N', title, text};
}
inline ScriptedMessageBoxes::Call BeepCall() {
    return {'B', {}, {}};
}

inline void PrintTo(const ScriptedMessageBoxes::Call& call, std::ostream* out) {
    *out << call.kind << "(\"" << call.title.toStdString() << "\", \"" << call.text.toStdString() << "\""
         << (call.busy ? ", busy" : "") << ")";
}
