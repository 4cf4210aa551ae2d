#include "Form1Layout.h"

#include <QString>

#include <iterator>

namespace parlowen::Form1Layout {

namespace {

constexpr QRgb Blue = qRgb(0, 0, 255);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb FileNameYellow = qRgb(255, 255, 192);

constexpr FontChoice Heading{u"ＭＳ Ｐゴシック", 12, true};
constexpr FontChoice SubHeading{u"ＭＳ Ｐゴシック", 11.25, true};
constexpr FontChoice StateFont{u"ＭＳ Ｐゴシック", 9.75, true};
constexpr FontChoice CheckWindowFont{u"ＭＳ Ｐゴシック", 9, false};
constexpr FontChoice FixedSmall{u"ＭＳ ゴシック", 9, false};

constexpr std::u16string_view NoReloadTip =
    u"再読み込みはしません。したいときは、一度ソフトを終了させて、起動しなおしてね。";
constexpr std::u16string_view SpeakerTip = u"普通は発言死者の名前をペーストするところ。";
constexpr std::u16string_view ColourCaption = u"色設定";

using K = ControlKind;

// The single controls, one a line: name, index, kind, in the frame, caption, tooltip, font, text colour,
// background, Left/Top/Width/Height in twips, tab index, spoken name. The frame comes before the controls
// inside it.
// clang-format off
constexpr ControlDefinition SingleControls[] = {
    {u"Label2", -1, K::Label, false, u"ログファイル選択", NoReloadTip, Heading, Blue, {}, {330, 150, 3015, 495}, 30, {}},
    {u"File1", -1, K::FileList, false, {}, NoReloadTip, {}, {}, {}, {300, 420, 3105, 1350}, 0, u"ログファイル選択"},
    {u"Text2", -1, K::TextBox, false, {}, u"選んだファイル名がここに表示されるよ。", {}, {}, FileNameYellow,
     {300, 1770, 3090, 315}, 1, u"ファイル名"},
    {u"Frame1", -1, K::Frame, false, u"HTML生成用オプション", {}, Heading, Blue, Background,
     {3510, 300, 9675, 2685}, 34, {}},
    {u"Label4", -1, K::Label, true, u"入退場＆ページ背景オプション", {}, SubHeading, Blue, {},
     {180, 450, 3195, 1365}, 35, {}},
    {u"Check1", -1, K::CheckBox, true, u"キーワードではじまる行を強調", {}, {}, {}, Background,
     {420, 690, 2655, 345}, 2, {}},
    {u"Text3", -1, K::TextBox, true, {}, u"普通はチャットの入退場メッセージをここにペーストするところ。", {}, {}, White,
     {420, 1050, 1695, 315}, 3, u"入退場キーワード"},
    {u"Command7", -1, K::Button, true, ColourCaption, {}, FixedSmall, {}, {}, {2100, 1050, 795, 320}, 4,
     u"入退場の色設定"},
    {u"Command6", -1, K::Button, true, u"ページ背景色設定", {}, FixedSmall, {}, {}, {420, 1410, 1680, 320}, 5, {}},
    {u"Label5", -1, K::Label, true, u"発言者別色指定：キーワードを指定してください。", {}, SubHeading, Blue, {},
     {3690, 210, 5655, 285}, 36, {}},
    {u"Label1", -1, K::Label, true,
     u"テキストチェックウィンドウでコピーして、キーワードボックスにペーストできるよ。　　　　　"
     u"キーワード選択は行の左端からお願いします。１０文字まで自動揃えでペーストします。",
     {}, {}, {}, {}, {210, 1860, 3375, 795}, 37, {}},
    {u"Label3", -1, K::Label, false, u"テキストチェックウィンドウ", {}, Heading, Blue, {}, {210, 3090, 2895, 285}, 31, {}},
    {u"Label6", -1, K::Label, false, {}, u"ここに変換前/後を表示します。", StateFont, {}, {}, {3060, 3060, 1185, 285}, 32, {}},
    {u"Label8", -1, K::Label, false, {}, u"ここに現在処理中の行数を表示します。", {}, {}, {}, {4260, 3060, 2055, 285}, 38, {}},
    {u"Label7", -1, K::Label, false, u"Shiftキー+Enterキーで、いっこ前に戻るよ。", {}, {}, {}, {}, {6480, 3120, 4095, 195}, 33, {}},
    {u"Text1", -1, K::TextView, false, {}, {}, CheckWindowFont, {}, {}, {210, 3450, 12945, 4275}, 39,
     u"テキストチェックウィンドウ"},
    {u"Command1", -1, K::Button, false, u"変換して保存", {}, {}, {}, {}, {120, 7920, 1695, 375}, 26, {}},
    {u"Command3", -1, K::Button, false, u"HTMLにして保存", {}, {}, {}, {}, {2070, 7920, 1695, 375}, 27, {}},
    {u"Command2", -1, K::Button, false, u"終了(F12)", {}, {}, {}, {}, {9690, 7920, 1185, 375}, 28, {}},
    {u"Command4", -1, K::Button, false, u"Product Information", {}, {}, {}, {}, {11130, 7920, 2145, 375}, 29, {}},
};
// clang-format on

// The speaker rows: two columns of five, a keyword box and its colour button on each row.
ControlDefinition SpeakerKeyword(int i) {
    const int left = i < 5 ? 3660 : 6600;
    const int top = 510 + 330 * (i % 5);
    return {u"Text4",  i, K::TextBox, true, {}, SpeakerTip, FixedSmall, {}, {}, {left, top, 2055, 315},
            6 + 2 * i, {}};
}

ControlDefinition SpeakerColourButton(int i) {
    const int left = i < 5 ? 5700 : 8640;
    const int top = 510 + 330 * (i % 5);
    const int width = i == 0 ? 795 : 765;
    return {u"Command5", i, K::Button, true, ColourCaption, {}, FixedSmall, {}, {}, {left, top, width, 320},
            7 + 2 * i,   {}};
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
    QString name = QString::fromUtf16(control.name.data(), control.name.size());
    if (control.index >= 0) {
        name += QStringLiteral("(%1)").arg(control.index);
    }
    return name;
}

QString AccessibleName(const ControlDefinition& control) {
    if (control.name == u"Text4") {
        return QStringLiteral("話者%1のキーワード").arg(control.index + 1);
    }
    if (control.name == u"Command5") {
        return QStringLiteral("話者%1の色設定").arg(control.index + 1);
    }
    const std::u16string_view name = control.spokenName.empty() ? control.caption : control.spokenName;
    return QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace parlowen::Form1Layout
