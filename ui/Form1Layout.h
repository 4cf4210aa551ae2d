#pragma once

#include "Navigation.h"

#include <QRgb>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace parlowen {

enum class ControlKind {
    Label,
    FileList,
    TextBox,
    Frame,
    CheckBox,
    Button,
    TextView, // the text check window
};

struct FontChoice {
    std::u16string_view family;
    double pointSize = 9;
    bool bold = false;
};

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// One control of the main window as it is laid out; positions of controls in the frame are relative to it.
struct ControlDefinition {
    std::u16string_view name;
    int index = -1; // the member's index in a control array, -1 for a single control
    ControlKind kind = ControlKind::Label;
    bool inFrame = false;
    std::u16string_view caption;
    std::u16string_view tooltip;
    std::optional<FontChoice> font; // none: the window's own font
    std::optional<QRgb> textColour;
    std::optional<QRgb> background;
    TwipsRect rect;
    int tabIndex = 0;
    std::u16string_view spokenName; // what a screen reader calls a control whose caption does not name it
};

namespace Form1Layout {

inline constexpr std::u16string_view Title = u"チャットログ編集ツールParlowen";
inline constexpr int ClientWidth = 13590;
inline constexpr int ClientHeight = 8715;
inline constexpr QRgb Background = qRgb(192, 192, 255);
inline constexpr FontChoice WindowFont{u"ＭＳ Ｐゴシック", 9, false};

// Every control, the frame before the controls inside it, the keyword rows generated from their pattern.
std::vector<ControlDefinition> Controls();

// "Text4(3)" for an array member, the plain name otherwise: the control's object name.
QString ObjectName(const ControlDefinition& control);

// The name a screen reader reads: the spoken name, else the caption; the keyword rows numbered from 1.
// Empty for the status labels, which are then read by their live text.
QString AccessibleName(const ControlDefinition& control);

} // namespace Form1Layout

} // namespace parlowen
