#pragma once

#include "ColorTable.h"

namespace parlowen {

// The speaker rows of the main window, a keyword box and a colour button each: one per speaker colour.
inline constexpr int SpeakerRows = static_cast<int>(ColorTable::SpeakerCount);

// Every control of the main window; Text4 and Command5 carry a row index.
enum class ControlId {
    File1,
    Check1,
    Text3,
    Command7,
    Command6,
    Text4,
    Command5,
    Text1,
    Command1,
    Command3,
    Command2,
    Command4,
    Text2,
    Frame1,
    Label1,
    Label2,
    Label3,
    Label4,
    Label5,
    Label6,
    Label7,
    Label8,
};

struct ControlRef {
    ControlId id = ControlId::File1;
    int index = 0;
    friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

} // namespace parlowen
