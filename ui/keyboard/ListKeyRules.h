#pragma once

#include <cstdint>

namespace parlowen {

enum class ListKeyAction {
    None,                  // the key keeps its ordinary meaning in the list
    Load,                  // load the selected log
    FocusProductInfoButton // step back to the last button of the window
};

// A key in the file list. Enter is rewritten to Tab in keyCode, so that the two are handled alike from here
// on; a plain Tab loads, Shift+Tab steps back, everything else is left to the list.
ListKeyAction LogListKeyRule(std::int16_t& keyCode, std::int16_t shift);

// A click or selection change in the file list: true when it is a mouse choice that loads. After a key in
// the list lastListKey is not 0; the selection change that key caused is then swallowed and the key
// forgotten, so walking through the list with the arrow keys loads nothing.
bool LogListClickLoads(std::int16_t& lastListKey);

// Up, Down, Home, End, Page Up or Page Down in a list where nothing is selected selects the row that has the
// focus instead of moving on from it, as every list box does, so that a single log can be chosen too.
bool MovingKeySelectsFocusedRow(std::int16_t keyCode, bool anySelected);

} // namespace parlowen
