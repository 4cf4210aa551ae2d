#include "Form1.h"

#include "CheckWindowText.h"
#include "ClipboardText.h"
#include "ColorChoice.h"
#include "Form1Operations.h"
#include "Form2.h"
#include "HtmlExporter.h"
#include "InformationMessages.h"
#include "ListKeyRules.h"
#include "LogConverter.h"
#include "LogFiles.h"
#include "Twips.h"
#include "VbKeys.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace parlowen {

namespace {

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb White = qRgb(255, 255, 255);

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QFont MakeFont(const FontChoice& control) {
    QFont font(ToQString(control.family));
    font.setPointSizeF(control.pointSize);
    font.setBold(control.bold);
    return font;
}

void SetRoleColour(QWidget* widget, QPalette::ColorRole role, QRgb colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, QColor(colour));
    widget->setPalette(palette);
}

QWidget* CreateWidget(const ControlDefinition& control, QWidget* parent) {
    const QString caption = ToQString(control.caption);
    switch (control.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(caption, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        return label;
    }
    case ControlKind::FileList: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        return list;
    }
    case ControlKind::TextBox:
        return new QLineEdit(parent);
    case ControlKind::Frame:
        return new QGroupBox(caption, parent);
    case ControlKind::CheckBox:
        return new QCheckBox(caption, parent);
    case ControlKind::Button: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::TextView: {
        auto* view = new QPlainTextEdit(parent);
        view->setReadOnly(true);
        view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        view->setUndoRedoEnabled(false);
        view->setTabChangesFocus(true);
        view->setFocusPolicy(Qt::StrongFocus);
        return view;
    }
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
    case ControlKind::FileList:
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

bool TakesFocus(ControlKind kind) {
    return kind != ControlKind::Label && kind != ControlKind::Frame;
}

} // namespace

Form1::Form1(Module1& module, MessageBoxes& messageBoxes, const QString& programFolder, QWidget* parent)
    : QWidget(parent), module_(module), messageBoxes_(messageBoxes) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ToQString(Form1Layout::Title));
    dotsPerInch_ = screen()->logicalDotsPerInchX();
    setFixedSize(TwipsToPixels(Form1Layout::ClientWidth, dotsPerInch_),
                 TwipsToPixels(Form1Layout::ClientHeight, dotsPerInch_));
    SetRoleColour(this, QPalette::Window, Form1Layout::Background);
    setAutoFillBackground(true);
    setFont(MakeFont(Form1Layout::WindowFont));

    CreateControls();
    operations_ = std::make_unique<Form1Operations>(
        messageBoxes_, Form1Operations::Controls{Label6, Label8, Text1, File1, Check1});
    SetupConnections();
    Form_Load(programFolder);
}

Form1::~Form1() {
    delete palette_;
}

Form2* Form1::Palette() const {
    return palette_;
}

template <typename Widget> Widget* Form1::Control(const QString& objectName) const {
    auto* widget = qobject_cast<Widget*>(controls_.value(objectName));
    Q_ASSERT_X(widget, "Form1::Control", qPrintable(objectName));
    return widget;
}

void Form1::CreateControls() {
    std::vector<std::pair<int, QWidget*>> focusable;
    for (const ControlDefinition& control : Form1Layout::Controls()) {
        QWidget* widget = CreateWidget(control, control.inFrame ? static_cast<QWidget*>(Frame1) : this);
        const QString name = Form1Layout::ObjectName(control);
        widget->setObjectName(name);
        const TwipsRect& rect = control.rect;
        widget->setGeometry(TwipsToPixels(rect.left, dotsPerInch_), TwipsToPixels(rect.top, dotsPerInch_),
                            TwipsToPixels(rect.width, dotsPerInch_),
                            TwipsToPixels(rect.height, dotsPerInch_));
        // Set on every control, so that none inherits the frame's title font.
        widget->setFont(MakeFont(control.font.value_or(Form1Layout::WindowFont)));
        ApplyColours(widget, control);
        const QString tooltip = ToQString(control.tooltip);
        widget->setToolTip(tooltip);
        widget->setAccessibleName(control.caption.empty() ? tooltip : ToQString(control.caption));
        controls_.insert(name, widget);
        if (control.kind == ControlKind::Frame) {
            Frame1 = qobject_cast<QGroupBox*>(widget);
        }
        if (TakesFocus(control.kind)) {
            focusable.emplace_back(control.tabIndex, widget);
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
    }

    Label1 = Control<QLabel>(QStringLiteral("Label1"));
    Label2 = Control<QLabel>(QStringLiteral("Label2"));
    Label3 = Control<QLabel>(QStringLiteral("Label3"));
    Label4 = Control<QLabel>(QStringLiteral("Label4"));
    Label5 = Control<QLabel>(QStringLiteral("Label5"));
    Label6 = Control<QLabel>(QStringLiteral("Label6"));
    Label7 = Control<QLabel>(QStringLiteral("Label7"));
    Label8 = Control<QLabel>(QStringLiteral("Label8"));
    File1 = Control<QListWidget>(QStringLiteral("File1"));
    Text1 = Control<QPlainTextEdit>(QStringLiteral("Text1"));
    Text2 = Control<QLineEdit>(QStringLiteral("Text2"));
    Text3 = Control<QLineEdit>(QStringLiteral("Text3"));
    Check1 = Control<QCheckBox>(QStringLiteral("Check1"));
    Command1 = Control<QPushButton>(QStringLiteral("Command1"));
    Command2 = Control<QPushButton>(QStringLiteral("Command2"));
    Command3 = Control<QPushButton>(QStringLiteral("Command3"));
    Command4 = Control<QPushButton>(QStringLiteral("Command4"));
    Command6 = Control<QPushButton>(QStringLiteral("Command6"));
    Command7 = Control<QPushButton>(QStringLiteral("Command7"));
    for (int i = 0; i < Form1Layout::KeywordRows; ++i) {
        Text4[i] = Control<QLineEdit>(QStringLiteral("Text4(%1)").arg(i));
        Command5[i] = Control<QPushButton>(QStringLiteral("Command5(%1)").arg(i));
    }

    // The file name only ever comes from the list.
    Text2->setReadOnly(true);
    Text3->setMaxLength(KeywordLength);
    // The keyword boxes take text only through the paste command, which cuts it to ten characters: no
    // default menu, no dragging in, no middle-button paste.
    for (QWidget* box : std::initializer_list<QWidget*>{Text1, Text2, Text3}) {
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setAcceptDrops(false);
    }
    for (QLineEdit* box : Text4) {
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setAcceptDrops(false);
    }

    navigable_ = {{File1, {ControlId::File1}},       {Check1, {ControlId::Check1}},
                  {Text3, {ControlId::Text3}},       {Command7, {ControlId::Command7}},
                  {Command6, {ControlId::Command6}}, {Text1, {ControlId::Text1}},
                  {Command1, {ControlId::Command1}}, {Command3, {ControlId::Command3}},
                  {Command2, {ControlId::Command2}}, {Command4, {ControlId::Command4}},
                  {Text2, {ControlId::Text2}}};
    for (int i = 0; i < Form1Layout::KeywordRows; ++i) {
        navigable_.insert(Text4[i], {ControlId::Text4, i});
        navigable_.insert(Command5[i], {ControlId::Command5, i});
    }
    CreateMenus();
    // The check window has neither caption nor tooltip; its heading names it.
    Text1->setAccessibleName(Label3->text());

    SetTabOrder(std::move(focusable));
}

void Form1::SetTabOrder(std::vector<std::pair<int, QWidget*>> focusable) {
    std::sort(focusable.begin(), focusable.end(),
              [](const auto& left, const auto& right) { return left.first < right.first; });
    for (std::size_t i = 1; i < focusable.size(); ++i) {
        setTabOrder(focusable[i - 1].second, focusable[i].second);
    }
}

void Form1::SetupConnections() {
    connect(File1, &QListWidget::itemClicked, this, &Form1::File1_Click);
    connect(File1, &QListWidget::itemSelectionChanged, this, &Form1::ListSelectionChanged);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    for (int i = 0; i < Form1Layout::KeywordRows; ++i) {
        connect(Command5[i], &QPushButton::clicked, this, [this, i] { Command5_Click(i); });
    }

    // One filter sees the keys, clicks and focus changes of every control: the window-wide key rules, the
    // list's own keys and the clicks of controls that have no click signal.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

void Form1::Form_Load(const QString& programFolder) {
    state_.LogFolder = WithTrailingSeparator(programFolder);
    File1->addItems(ListLogFiles(state_.LogFolder));
    PlaceCentredWithLift(*this, dotsPerInch_);
    for (QPushButton* button : {Command1, Command3, Command6, Command7}) {
        button->setEnabled(false);
    }
    Check1->setCheckState(Qt::Unchecked);
    Text1->clear();
    Text2->clear();
    Text3->clear();
    for (int i = 0; i < Form1Layout::KeywordRows; ++i) {
        Text4[i]->clear();
        Command5[i]->setEnabled(false);
    }
    Label6->clear();
    Label8->clear();
    File1->setFocus(Qt::OtherFocusReason);
    RecoverJournals(*operations_);
}

void Form1::File1_KeyDown(std::int16_t& keyCode, std::int16_t shift) {
    state_.LastListKey = keyCode;
    switch (File1KeyRule(keyCode, shift)) {
    case ListKeyAction::Load:
        LoadSelectedLog();
        break;
    case ListKeyAction::FocusCommand4:
        Command4->setFocus(Qt::BacktabFocusReason);
        break;
    case ListKeyAction::None:
        break;
    }
}

void Form1::File1_Click() {
    if (File1ClickLoads(state_.LastListKey)) {
        std::int16_t keyCode = VbKey::Return;
        File1_KeyDown(keyCode, VbShift::None);
    }
}

void Form1::File1_GotFocus() {
    state_.LastListKey = 0;
}

void Form1::ListSelectionChanged() {
    // A mouse press changes the selection before the click is complete; the click itself is File1_Click.
    if (!listMousePressed_) {
        File1_Click();
    }
}

void Form1::Text2_Click() {
    QWidget* target = Text2->text().isEmpty() ? static_cast<QWidget*>(File1) : Command1;
    if (!target->isEnabled()) {
        target = File1;
    }
    target->setFocus(Qt::OtherFocusReason);
}

QString Form1::SelectedFileName() const {
    const QList<QListWidgetItem*> selected = File1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

std::string Form1::NativePath(const QString& fileName) const {
    return QFile::encodeName(state_.LogFolder + fileName).toStdString();
}

void Form1::ResetOptionsForLoad() {
    Text2->setText(SelectedFileName());
    Text2->repaint();
    Text1->clear();
    module_.LoadedLineCount = 0;
    module_.ColorTable.Reset();
    Check1->setCheckState(Qt::Unchecked);
    Command6->setEnabled(true);
    Command7->setEnabled(true);
    SetRoleColour(Text3, QPalette::Base, White);
    Text3->clear();
    Label6->clear();
    Label6->repaint();
    for (int i = 0; i < Form1Layout::KeywordRows; ++i) {
        Command5[i]->setEnabled(true);
        Text4[i]->clear();
        SetRoleColour(Text4[i], QPalette::Base, White);
        SetRoleColour(Text4[i], QPalette::Text, Black);
    }
}

void Form1::LoadSelectedLog() {
    ResetOptionsForLoad();
    const QString fileName = Text2->text();
    const LoadOutcome outcome =
        RunLoad(*operations_, LoadRequest{NativePath(fileName), fileName.toStdU16String()});
    module_.LoadedLineCount = outcome.loadedLineCount;
    if (!fileName.isEmpty()) {
        state_.RemoveBlankLines = outcome.answers.RemoveBlankLines;
        state_.RemoveSeparatorLines = outcome.answers.RemoveSeparatorLines;
    }
    if (outcome.loaded) {
        Command1->setEnabled(true);
        Command3->setEnabled(true);
    }
}

void Form1::Command1_Click() {
    const QString fileName = Text2->text();
    RunConvertAndSave(*operations_,
                      ConvertRequest{NativePath(fileName), fileName.toStdU16String(),
                                     LoadAnswers{state_.RemoveBlankLines, state_.RemoveSeparatorLines},
                                     module_.LoadedLineCount});
}

std::array<std::u16string, Form1Layout::KeywordRows> Form1::SpeakerKeywords() const {
    std::array<std::u16string, Form1Layout::KeywordRows> keywords;
    for (int i = 0; i < Form1Layout::KeywordRows; ++i) {
        keywords[i] = Text4[i]->text().toStdU16String();
    }
    return keywords;
}

void Form1::Command3_Click() {
    // Only a checked box emphasises; the partly checked state counts as unchecked.
    const bool emphasis = Check1->checkState() == Qt::Checked;
    const std::u16string entryKeyword = Text3->text().toStdU16String();
    const HtmlOptions options =
        MakeHtmlOptions(module_.ColorTable, emphasis, entryKeyword, SpeakerKeywords());

    const QString fileName = Text2->text();
    const QString baseName = PageBaseName(fileName);
    ExportHtml(*operations_, options,
               ExportRequest{NativePath(fileName), NativePath(baseName + QStringLiteral(".html")),
                             fileName.toStdU16String(), baseName.toStdU16String(),
                             LoadAnswers{state_.RemoveBlankLines, state_.RemoveSeparatorLines},
                             module_.LoadedLineCount});
}

void Form1::Command2_Click() {
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, so no other window of it may stay behind.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this) {
            window->close();
        }
    }
    event->accept();
    emit Ended();
}

void Form1::Command4_Click() {
    messageBoxes_.ShowNotice(InformationMessages::ProductInformationTitle(),
                             InformationMessages::ProductInformationText());
}

void Form1::Label4_Click() {
    messageBoxes_.ShowNotice(InformationMessages::ProductInformationTitle(),
                             InformationMessages::CreditText());
}

void Form1::Label5_Click() {
    messageBoxes_.ShowNotice(InformationMessages::VersionInformationTitle(),
                             InformationMessages::VersionInformationText());
}

void Form1::CreateMenus() {
    mnuTextCopy = new QMenu(QStringLiteral("テキストコピー"), this);
    QAction* mnuCopy = mnuTextCopy->addAction(QStringLiteral("コピー(&C)"));
    mnuCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(mnuCopy, &QAction::triggered, this, &Form1::mnuCopy_Click);
    mnuTextPaste = new QMenu(QStringLiteral("テキストペースト"), this);
    QAction* mnuPaste = mnuTextPaste->addAction(QStringLiteral("ペースト(&V)"));
    mnuPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(mnuPaste, &QAction::triggered, this, &Form1::mnuPaste_Click);
}

void Form1::mnuCopy_Click() {
    ClipTarget = focusWidget();
    QString selected;
    if (auto* box = qobject_cast<QLineEdit*>(ClipTarget)) {
        selected = box->selectedText();
    } else if (auto* view = qobject_cast<QPlainTextEdit*>(ClipTarget)) {
        // A line break in the selection counts as the two characters CR LF, as the log holds it.
        selected = FromCheckWindow(view->textCursor().selectedText().left(KeywordLength));
    } else {
        return; // a button, the check box or the list has no text to copy; the clipboard keeps its own
    }
    QGuiApplication::clipboard()->setText(KeywordCut(selected));
}

void Form1::mnuPaste_Click() {
    ClipTarget = focusWidget();
    auto* box = qobject_cast<QLineEdit*>(ClipTarget);
    if (!box || box->isReadOnly()) {
        return; // only the keyword boxes take pasted text
    }
    // Replaces the selection, or goes in at the caret, like typing.
    box->insert(KeywordCut(QGuiApplication::clipboard()->text()));
}

void Form1::Text3_GotFocus() {
    Text3->selectAll();
    // A click places the caret after the focus has arrived; selecting again once it has keeps the rule.
    QTimer::singleShot(0, Text3, [box = QPointer<QLineEdit>(Text3)] {
        if (box && box->hasFocus()) {
            box->selectAll();
        }
    });
}

QWidget* Form1::WidgetOf(const ControlRef& control) const {
    for (auto entry = navigable_.cbegin(); entry != navigable_.cend(); ++entry) {
        if (entry.value() == control) {
            return const_cast<QWidget*>(static_cast<const QWidget*>(entry.key()));
        }
    }
    return File1;
}

bool Form1::Navigate(QObject* watched, const VbKeyPress& key) {
    const auto control = navigable_.constFind(watched);
    if (control == navigable_.cend()) {
        return false;
    }
    NavigationState state;
    for (int i = 0; i < Form1Layout::KeywordRows; ++i) {
        state.keywordHoldsText[i] = !Text4[i]->text().isEmpty();
        state.command5Enabled[i] = Command5[i]->isEnabled();
    }
    state.command1Enabled = Command1->isEnabled();
    state.command3Enabled = Command3->isEnabled();
    state.command6Enabled = Command6->isEnabled();
    state.command7Enabled = Command7->isEnabled();
    const NavigationAction action = parlowen::Navigate(control.value(), key.keyCode, key.shift, state);
    switch (action.kind) {
    case NavigationAction::Kind::Focus:
        WidgetOf(action.target)->setFocus(key.shift == 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        break;
    case NavigationAction::Kind::Press:
        // A key press takes the mouse's path through the button's own click.
        if (auto* button = qobject_cast<QPushButton*>(WidgetOf(action.target))) {
            button->click();
        }
        break;
    case NavigationAction::Kind::None:
        if (watched == Command4 && key.keyCode == VbKey::Return && key.shift == 0) {
            Command4->click();
        }
        break;
    }
    return true;
}

void Form1::OpenPalette(QPushButton* target) {
    module_.ColorTarget = target;
    module_.PickedColor.clear();
    if (!palette_) {
        palette_ = new Form2(module_, messageBoxes_,
                             {this, [this] { return PagePreviewColour(); },
                              [this](QWidget* target) {
                                  // Whether the window system reports the focus coming back differs between
                                  // platforms, so the preview is shown here as well.
                                  target->setFocus(Qt::OtherFocusReason);
                                  if (auto* button = qobject_cast<QPushButton*>(target)) {
                                      ApplyPreview(button);
                                  }
                              }});
    }
    palette_->Open();
}

void Form1::Command5_Click(int index) {
    OpenPalette(Command5[static_cast<std::size_t>(index)]);
}

void Form1::Command6_Click() {
    OpenPalette(Command6);
}

void Form1::Command7_Click() {
    OpenPalette(Command7);
}

QColor Form1::PagePreviewColour() const {
    return Text3->palette().color(QPalette::Base);
}

void Form1::ApplyPreview(QPushButton* button) {
    // Only the button that opened the palette shows what was picked there; and a palette closed without
    // a choice leaves the previews as they were rather than painting a colour nobody chose.
    if (module_.ColorTarget != button || focusWidget() != button || module_.PickedColor.isEmpty()) {
        return;
    }
    const int packed = PickedColorValue(module_.PickedColor);
    const QRgb colour = qRgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
    if (button == Command7) {
        SetRoleColour(Text3, QPalette::Text, colour);
    } else if (button == Command6) {
        SetRoleColour(Text3, QPalette::Base, colour);
        SetRoleColour(Text1, QPalette::Base, colour);
        for (QLineEdit* box : Text4) {
            SetRoleColour(box, QPalette::Base, colour);
        }
    } else {
        for (int i = 0; i < Form1Layout::KeywordRows; ++i) {
            if (button == Command5[i]) {
                SetRoleColour(Text4[i], QPalette::Text, colour);
            }
        }
    }
}

void Form1::Command5_GotFocus(int index) {
    ApplyPreview(Command5[static_cast<std::size_t>(index)]);
}

void Form1::Command6_GotFocus() {
    ApplyPreview(Command6);
}

void Form1::Command7_GotFocus() {
    ApplyPreview(Command7);
}

bool Form1::HandleKeyPress(QObject* watched, const QKeyEvent& event) {
    const VbKeyPress key = ToVbKey(event.keyCombination());
    if (key.keyCode == VbKey::F12) {
        Command2_Click();
        return true;
    }
    // The widgets' own copy, cut and paste would move whole texts past the ten-character cut.
    if (event.matches(QKeySequence::Copy)) {
        mnuCopy_Click();
        return true;
    }
    if (event.matches(QKeySequence::Paste)) {
        mnuPaste_Click();
        return true;
    }
    if (event.matches(QKeySequence::Cut)) {
        return true;
    }
    if (watched == File1) {
        std::int16_t keyCode = key.keyCode;
        File1_KeyDown(keyCode, key.shift);
        // Enter arrives here as Tab; neither reaches the list, every other key keeps its meaning there.
        return keyCode == VbKey::Tab;
    }
    if (key.keyCode == VbKey::Tab || key.keyCode == VbKey::Return) {
        // Tab and Enter only ever move or press: the characters never reach a control.
        return Navigate(watched, key);
    }
    return false;
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return HandleKeyPress(watched, static_cast<const QKeyEvent&>(*event));
    case QEvent::FocusIn:
        if (watched == File1) {
            File1_GotFocus();
        } else if (watched == Text3) {
            Text3_GotFocus();
        } else if (watched == Command6) {
            Command6_GotFocus();
        } else if (watched == Command7) {
            Command7_GotFocus();
        } else {
            for (int i = 0; i < Form1Layout::KeywordRows; ++i) {
                if (watched == Command5[i]) {
                    Command5_GotFocus(i);
                }
            }
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (watched == File1->viewport()) {
            listMousePressed_ = true;
        }
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        if (mouse.button() == Qt::MiddleButton) {
            return true; // the X11 selection paste would go past the ten-character cut
        }
        if (mouse.button() == Qt::RightButton && event->type() == QEvent::MouseButtonPress) {
            if (watched == Text1->viewport()) {
                mnuTextCopy->popup(mouse.globalPosition().toPoint());
                return true;
            }
            if (std::find(Text4.begin(), Text4.end(), watched) != Text4.end()) {
                mnuTextPaste->popup(mouse.globalPosition().toPoint());
                return true;
            }
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        if (watched == File1->viewport()) {
            listMousePressed_ = false;
        }
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        if (mouse.button() != Qt::LeftButton) {
            break;
        }
        if (watched == Label4) {
            Label4_Click();
        } else if (watched == Label5) {
            Label5_Click();
        } else if (watched == Text2) {
            Text2_Click();
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace parlowen
