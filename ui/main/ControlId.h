#pragma once

#include "ColorTable.h"

namespace parlowen {

// The speaker rows of the main window, a keyword box and a colour button each: one per speaker colour.
inline constexpr int SpeakerRows = static_cast<int>(ColorTable::SpeakerCount);

// Every control of the main window; speakerKeywordBox and speakerColourButton carry a row index.
enum class ControlId {
    LogList,
    EmphasisBox,
    EntryKeywordBox,
    EntryColourButton,
    PageColourButton,
    SpeakerKeywordBox,
    SpeakerColourButton,
    CheckView,
    ConvertButton,
    ExportButton,
    ExitButton,
    ProductInfoButton,
    LogNameBox,
    HtmlOptionsFrame,
    PasteHint,
    ListHeading,
    CheckViewHeading,
    EntryOptionsHeading,
    SpeakerHeading,
    BeforeAfterLabel,
    KeyboardHint,
    LineCounter,
};

struct ControlRef {
    ControlId id = ControlId::LogList;
    int index = 0;
    friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

} // namespace parlowen
