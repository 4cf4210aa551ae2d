#pragma once

#include <QKeyCombination>

namespace parlowen {

enum class ListKeyAction {
    None,                  // the key keeps its ordinary meaning in the list
    Load,                  // load the selected log
    FocusProductInfoButton // step back to the last button of the window
};

// A key in the log list. Enter is handled as Tab: a plain one loads, with Shift it steps back, with any
// other modifier, like every other key, it is left to the list.
ListKeyAction LogListKeyRule(QKeyCombination key);

// A click or selection change in the log list: true when it is a mouse choice that loads. After a key in
// the list keyPending is set; the selection change that key caused is then swallowed and the key
// forgotten, so walking through the list with the arrow keys loads nothing.
bool LogListClickLoads(bool& keyPending);

// Up, Down, Home, End, Page Up or Page Down in a list where nothing is selected selects the row that has the
// focus instead of moving on from it, as every list box does, so that a single log can be chosen too.
bool MovingKeySelectsFocusedRow(Qt::Key key, bool anySelected);

} // namespace parlowen
