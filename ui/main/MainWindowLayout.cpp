#include "MainWindowLayout.h"

#include "CheckView.h"
#include "ClickableLabel.h"
#include "ColourButton.h"
#include "LogList.h"
#include "QtText.h"
#include "TextBox.h"
#include "Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include <algorithm>
#include <iterator>
#include <type_traits>

namespace parlowen::MainWindowLayout {

namespace {

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb Blue = qRgb(0, 0, 255);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb LogNameYellow = qRgb(255, 255, 192);

constexpr FontChoice Heading{u"ＭＳ Ｐゴシック", 12, true};
constexpr FontChoice SubHeading{u"ＭＳ Ｐゴシック", 11.25, true};
constexpr FontChoice BeforeAfterFont{u"ＭＳ Ｐゴシック", 9.75, true};
constexpr FontChoice CheckViewFont{u"ＭＳ Ｐゴシック", 9, false};
constexpr FontChoice FixedSmall{u"ＭＳ ゴシック", 9, false};

constexpr std::u16string_view NoReloadTip =
    u"再読み込みはしません。したいときは、一度ソフトを終了させて、起動しなおしてね。";
// Mended: earlier versions read "発言死者", a slip for "発言者" (speaker).
constexpr std::u16string_view SpeakerTip = u"普通は発言者の名前をペーストするところ。";
constexpr std::u16string_view ColourCaption = u"色設定";

using K = ControlKind;
using Id = ControlId;
using C = MainWindowControls;

// Puts a made control into its member of MainWindowControls; a member array takes it at the control's index.
template <auto Member> void Into(MainWindowControls& controls, QWidget* widget, int index) {
    auto& member = controls.*Member;
    using Member_t = std::remove_reference_t<decltype(member)>;
    if constexpr (std::is_pointer_v<Member_t>) {
        member = static_cast<Member_t>(widget);
    } else {
        member.at(static_cast<std::size_t>(index)) = static_cast<typename Member_t::value_type>(widget);
    }
}

// The single controls, one a line: name, identity, kind, in the frame, caption, tooltip, font, text colour,
// background, left, top, width and height in twips, tab index, spoken name, colour slot, typed member. The
// frame comes before the controls inside it.
// clang-format off
constexpr ControlDefinition SingleControls[] = {
    {u"listHeading", {Id::ListHeading}, K::Label, false, u"ログファイル選択", NoReloadTip, Heading, Blue, {}, {330, 150, 3015, 495}, 30, {}, {}, Into<&C::listHeading>},
    {u"logList", {Id::LogList}, K::LogList, false, {}, NoReloadTip, {}, {}, {}, {300, 420, 3105, 1350}, 0, u"ログファイル選択", {}, Into<&C::logList>},
    {u"logNameBox", {Id::LogNameBox}, K::TextBox, false, {}, u"選んだファイル名がここに表示されるよ。", {}, {}, LogNameYellow,
     {300, 1770, 3090, 315}, 1, u"ファイル名", {}, Into<&C::logNameBox>},
    {u"htmlOptionsFrame", {Id::HtmlOptionsFrame}, K::Frame, false, u"HTML生成用オプション", {}, Heading, Blue, Background,
     {3510, 300, 9675, 2685}, 34, {}, {}, Into<&C::htmlOptionsFrame>},
    {u"entryOptionsHeading", {Id::EntryOptionsHeading}, K::Label, true, u"入退場＆ページ背景オプション", {}, SubHeading, Blue, {},
     {180, 450, 3195, 1365}, 35, {}, {}, Into<&C::entryOptionsHeading>},
    {u"emphasisBox", {Id::EmphasisBox}, K::CheckBox, true, u"キーワードではじまる行を強調", {}, {}, {}, Background,
     {420, 690, 2655, 345}, 2, {}, {}, Into<&C::emphasisBox>},
    {u"entryKeywordBox", {Id::EntryKeywordBox}, K::TextBox, true, {}, u"普通はチャットの入退場メッセージをここにペーストするところ。", {}, {}, White,
     {420, 1050, 1695, 315}, 3, u"入退場キーワード", {}, Into<&C::entryKeywordBox>},
    {u"entryColourButton", {Id::EntryColourButton}, K::Button, true, ColourCaption, {}, FixedSmall, {}, {}, {2100, 1050, 795, 320}, 4,
     u"入退場の色設定", ColorTable::EntrySlot, Into<&C::entryColourButton>},
    {u"pageColourButton", {Id::PageColourButton}, K::Button, true, u"ページ背景色設定", {}, FixedSmall, {}, {}, {420, 1410, 1680, 320}, 5, {},
     ColorTable::PageSlot, Into<&C::pageColourButton>},
    {u"speakerHeading", {Id::SpeakerHeading}, K::Label, true, u"発言者別色指定：キーワードを指定してください。", {}, SubHeading, Blue, {},
     {3690, 210, 5655, 285}, 36, {}, {}, Into<&C::speakerHeading>},
    {u"pasteHint", {Id::PasteHint}, K::Label, true,
     u"テキストチェックウィンドウでコピーして、キーワードボックスにペーストできるよ。　　　　　"
     u"キーワード選択は行の左端からお願いします。１０文字まで自動揃えでペーストします。",
     {}, {}, {}, {}, {210, 1860, 3375, 795}, 37, {}, {}, Into<&C::pasteHint>},
    {u"checkViewHeading", {Id::CheckViewHeading}, K::Label, false, u"テキストチェックウィンドウ", {}, Heading, Blue, {}, {210, 3090, 2850, 285}, 31, {}, {}, Into<&C::checkViewHeading>},
    {u"beforeAfterLabel", {Id::BeforeAfterLabel}, K::Label, false, {}, u"ここに変換前/後を表示します。", BeforeAfterFont, {}, {}, {3060, 3060, 1185, 285}, 32, {}, {}, Into<&C::beforeAfterLabel>},
    {u"lineCounter", {Id::LineCounter}, K::Label, false, {}, u"ここに現在処理中の行数を表示します。", {}, {}, {}, {4260, 3060, 2055, 285}, 38, {}, {}, Into<&C::lineCounter>},
    {u"keyboardHint", {Id::KeyboardHint}, K::Label, false, u"Shiftキー+Enterキーで、いっこ前に戻るよ。", {}, {}, {}, {}, {6480, 3120, 4095, 195}, 33, {}, {}, Into<&C::keyboardHint>},
    {u"checkView", {Id::CheckView}, K::TextView, false, {}, {}, CheckViewFont, {}, {}, {210, 3450, 12945, 4275}, 39,
     u"テキストチェックウィンドウ", {}, Into<&C::checkView>},
    {u"convertButton", {Id::ConvertButton}, K::Button, false, u"変換して保存", {}, {}, {}, {}, {120, 7920, 1695, 375}, 26, {}, {}, Into<&C::convertButton>},
    {u"exportButton", {Id::ExportButton}, K::Button, false, u"HTMLにして保存", {}, {}, {}, {}, {2070, 7920, 1695, 375}, 27, {}, {}, Into<&C::exportButton>},
    {u"exitButton", {Id::ExitButton}, K::Button, false, u"終了(F12)", {}, {}, {}, {}, {9690, 7920, 1185, 375}, 28, {}, {}, Into<&C::exitButton>},
    {u"productInfoButton", {Id::ProductInfoButton}, K::Button, false, u"Product Information", {}, {}, {}, {}, {11130, 7920, 2145, 375}, 29, {}, {}, Into<&C::productInfoButton>},
};
// clang-format on

// The speaker rows: two columns of five, a keyword box and its colour button on each row.
// clang-format off
ControlDefinition SpeakerKeyword(int i) {
    const TwipsRect rect{i < 5 ? 3660 : 6600, 510 + 330 * (i % 5), 2055, 315};
    return {u"speakerKeywordBox", {Id::SpeakerKeywordBox, i}, K::TextBox, true, {}, SpeakerTip, FixedSmall, {}, {}, rect, 6 + 2 * i, {}, {},
            Into<&C::speakerKeywordBox>};
}

ControlDefinition SpeakerColourButton(int i) {
    const TwipsRect rect{i < 5 ? 5700 : 8640, 510 + 330 * (i % 5), i == 0 ? 795 : 765, 320};
    return {u"speakerColourButton", {Id::SpeakerColourButton, i}, K::Button, true, ColourCaption, {}, FixedSmall, {}, {}, rect, 7 + 2 * i,
            {}, ColorTable::SpeakerSlot(static_cast<std::size_t>(i)), Into<&C::speakerColourButton>};
}
// clang-format on

bool InRow(const ControlRef& ref) {
    return ref.id == Id::SpeakerKeywordBox || ref.id == Id::SpeakerColourButton;
}

QWidget* CreateWidget(const ControlDefinition& control, QWidget* parent) {
    const QString caption = ToQString(control.caption);
    switch (control.kind) {
    case ControlKind::Label:
        return new ClickableLabel(caption, parent);
    case ControlKind::LogList:
        return new LogList(parent);
    case ControlKind::TextBox:
        return new TextBox(parent);
    case ControlKind::Frame:
        return new QGroupBox(caption, parent);
    case ControlKind::CheckBox:
        return new QCheckBox(caption, parent);
    case ControlKind::Button: {
        if (control.colourSlot) {
            return new ColourButton(caption, *control.colourSlot, parent);
        }
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::TextView:
        return new CheckView(parent);
    }
    return nullptr;
}

// Only the roles the layout names are set, so that everything else (disabled buttons included) keeps the
// style's look; every text colour is set, so that nothing inherits the blue of the frame's title.
void ApplyColours(QWidget* widget, const ControlDefinition& control) {
    QPalette palette;
    const QColor text(control.textColour.value_or(Black));
    switch (control.kind) {
    case ControlKind::Frame:
        palette.setColor(QPalette::Text, text); // the group box title
        [[fallthrough]];
    case ControlKind::Label:
    case ControlKind::CheckBox:
        palette.setColor(QPalette::WindowText, text);
        break;
    case ControlKind::TextBox:
    case ControlKind::TextView:
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::Base, QColor(control.background.value_or(White)));
        break;
    case ControlKind::LogList:
    case ControlKind::Button:
        break;
    }
    if (control.background && (control.kind == ControlKind::Frame || control.kind == ControlKind::CheckBox)) {
        // A check box paints its background in the Button role, a frame in the Window role.
        palette.setColor(widget->backgroundRole(), QColor(*control.background));
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

} // namespace

std::vector<ControlDefinition> Controls() {
    std::vector<ControlDefinition> controls;
    controls.assign(std::begin(SingleControls), std::end(SingleControls));
    for (int i = 0; i < SpeakerRows; ++i) {
        controls.push_back(SpeakerKeyword(i));
        controls.push_back(SpeakerColourButton(i));
    }
    return controls;
}

QString ObjectName(const ControlDefinition& control) {
    QString name = ToQString(control.name);
    if (InRow(control.ref)) {
        name += QStringLiteral("(%1)").arg(control.ref.index);
    }
    return name;
}

QString AccessibleName(const ControlDefinition& control) {
    if (control.ref.id == Id::SpeakerKeywordBox) {
        return QStringLiteral("話者%1のキーワード").arg(control.ref.index + 1);
    }
    if (control.ref.id == Id::SpeakerColourButton) {
        return QStringLiteral("話者%1の色設定").arg(control.ref.index + 1);
    }
    return ToQString(control.spokenName.empty() ? control.caption : control.spokenName);
}

QFont MakeFont(const FontChoice& font) {
    QFont made(ToQString(font.family));
    made.setPointSizeF(font.pointSize);
    made.setBold(font.bold);
    return made;
}

void SetRoleColour(QWidget& widget, QPalette::ColorRole role, QRgb colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, QColor(colour));
    widget.setPalette(palette);
}

MainWindowControls CreateControls(QWidget& window, double dotsPerInch) {
    MainWindowControls controls;
    std::vector<std::pair<int, QWidget*>> focusable;
    for (const ControlDefinition& control : Controls()) {
        QWidget* widget = CreateWidget(control, control.inFrame ? controls.htmlOptionsFrame : &window);
        widget->setObjectName(ObjectName(control));
        const TwipsRect& rect = control.rect;
        widget->setGeometry(TwipsToPixels(rect.left, dotsPerInch), TwipsToPixels(rect.top, dotsPerInch),
                            TwipsToPixels(rect.width, dotsPerInch), TwipsToPixels(rect.height, dotsPerInch));
        // Set on every control, so that none inherits the frame's title font.
        widget->setFont(MakeFont(control.font.value_or(WindowFont)));
        ApplyColours(widget, control);
        const QString tooltip = ToQString(control.tooltip);
        widget->setToolTip(tooltip);
        widget->setAccessibleName(AccessibleName(control));
        widget->setAccessibleDescription(tooltip);
        control.bind(controls, widget, control.ref.index);
        controls.refs.insert(widget, control.ref);
        controls.widgets.emplace(std::pair(control.ref.id, control.ref.index), widget);
        if (control.kind == ControlKind::Label || control.kind == ControlKind::Frame) {
            widget->setFocusPolicy(Qt::NoFocus);
        } else {
            focusable.emplace_back(control.tabIndex, widget);
        }
    }
    std::sort(focusable.begin(), focusable.end(),
              [](const auto& left, const auto& right) { return left.first < right.first; });
    for (std::size_t i = 1; i < focusable.size(); ++i) {
        QWidget::setTabOrder(focusable[i - 1].second, focusable[i].second);
    }
    return controls;
}

} // namespace parlowen::MainWindowLayout

namespace parlowen {

QWidget* MainWindowControls::Widget(const ControlRef& control) const {
    return widgets.at({control.id, control.index});
}

std::optional<ControlRef> MainWindowControls::RefOf(const QObject* widget) const {
    const auto found = refs.constFind(widget);
    return found == refs.cend() ? std::nullopt : std::optional<ControlRef>(*found);
}

} // namespace parlowen
