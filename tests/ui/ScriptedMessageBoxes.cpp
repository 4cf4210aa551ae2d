#include "ScriptedMessageBoxes.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <utility>

std::vector<ScriptedMessageBoxes::Call> ScriptedMessageBoxes::Take() {
    return std::exchange(calls_, {});
}

bool ScriptedMessageBoxes::AskOkCancel(const QString& title, const QString& text) {
    Record('Q', title, text);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedMessageBoxes::Record(char kind, const QString& title, const QString& text) {
    calls_.push_back({kind, title, text, QApplication::overrideCursor() != nullptr});
}
