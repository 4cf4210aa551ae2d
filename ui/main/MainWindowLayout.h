#pragma once

#include "ControlId.h"

#include <QHash>
#include <QPalette>
#include <QRgb>
#include <QString>

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace parlowen {

class CheckView;
class ClickableLabel;
class ColourButton;
class LogList;
class TextBox;

enum class ControlKind {
    Label,
    LogList,
    TextBox,
    Frame,
    CheckBox,
    Button,
    TextView, // the check view
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

struct MainWindowControls;
using ControlBinding = void (*)(MainWindowControls& controls, QWidget* widget, int index);

// One control of the main window as it is laid out; positions of controls in the frame are relative to it.
struct ControlDefinition {
    std::u16string_view name;
    ControlRef ref; // who the control is to the rules and the handlers
    ControlKind kind = ControlKind::Label;
    bool inFrame = false;
    std::u16string_view caption;
    std::u16string_view tooltip;
    std::optional<FontChoice> font; // none: the window's own font
    std::optional<QRgb> textColour;
    std::optional<QRgb> background;
    TwipsRect rect;
    int tabIndex = 0;
    std::u16string_view spokenName;        // what a screen reader calls a control its caption does not name
    std::optional<std::size_t> colourSlot; // a colour button's slot in the colour table
    ControlBinding bind = nullptr;         // puts the made control into its member of MainWindowControls
};

// The main window's controls, typed, each made from its row of the layout table.
struct MainWindowControls {
    ClickableLabel *pasteHint{}, *listHeading{}, *checkViewHeading{}, *entryOptionsHeading{},
        *speakerHeading{}, *beforeAfterLabel{}, *keyboardHint{}, *lineCounter{};
    QGroupBox* htmlOptionsFrame{};
    LogList* logList{};
    TextBox *logNameBox{}, *entryKeywordBox{};
    std::array<TextBox*, SpeakerRows> speakerKeywordBox{};
    CheckView* checkView{};
    QCheckBox* emphasisBox{};
    QPushButton *convertButton{}, *exitButton{}, *exportButton{}, *productInfoButton{};
    std::array<ColourButton*, SpeakerRows> speakerColourButton{};
    ColourButton *pageColourButton{}, *entryColourButton{};

    // The control a rule names.
    QWidget* Widget(const ControlRef& control) const;
    // Who a widget of the window is, if it is one of the controls.
    std::optional<ControlRef> RefOf(const QObject* widget) const;

    QHash<const QObject*, ControlRef> refs;
    std::map<std::pair<ControlId, int>, QWidget*> widgets;
};

namespace MainWindowLayout {

inline constexpr std::u16string_view Title = u"チャットログ編集ツールParlowen";
// The size inside the frame, in twips.
inline constexpr int ClientWidth = 13590;
inline constexpr int ClientHeight = 8715;
inline constexpr QRgb Background = qRgb(192, 192, 255);
inline constexpr FontChoice WindowFont{u"ＭＳ Ｐゴシック", 9, false};

// Every control, the frame before the controls inside it, the keyword rows generated from their pattern.
std::vector<ControlDefinition> Controls();

// "speakerKeywordBox(3)" for an array member, the plain name otherwise: the control's object name.
QString ObjectName(const ControlDefinition& control);

// The name a screen reader reads: the spoken name, else the caption; the keyword rows numbered from 1.
// Empty for the status labels, which are then read by their live text.
QString AccessibleName(const ControlDefinition& control);

// Makes every control of the table in the window, placed in twips at its resolution, with its font,
// colours, tooltip and names, and chains the focusable ones in tab order.
MainWindowControls CreateControls(QWidget& window, double dotsPerInch);

QFont MakeFont(const FontChoice& font);
void SetRoleColour(QWidget& widget, QPalette::ColorRole role, QRgb colour);

} // namespace MainWindowLayout

} // namespace parlowen
