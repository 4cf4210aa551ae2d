#include "MainWindow.h"

#include "CheckView.h"
#include "ClickableLabel.h"
#include "ClipboardText.h"
#include "ColourButton.h"
#include "Dialogues.h"
#include "FocusMark.h"
#include "MainWindowOperations.h"
#include "HtmlExporter.h"
#include "InformationMessages.h"
#include "KeyboardNavigation.h"
#include "ListKeyRules.h"
#include "LogConverter.h"
#include "LogFiles.h"
#include "LogList.h"
#include "PaletteHandOff.h"
#include "QtText.h"
#include "TextBox.h"
#include "Twips.h"
#include "UserTexts.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>

namespace parlowen {

namespace {

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb White = qRgb(255, 255, 255);

} // namespace

Form1::Form1(Module1& module, MessageBoxes& messageBoxes, const QString& programFolder, QWidget* parent)
    : QWidget(parent), module_(module), messageBoxes_(messageBoxes) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ToQString(Form1Layout::Title));
    dotsPerInch_ = screen()->logicalDotsPerInchX();
    setFixedSize(TwipsToPixels(Form1Layout::ClientWidth, dotsPerInch_),
                 TwipsToPixels(Form1Layout::ClientHeight, dotsPerInch_));
    Form1Layout::SetRoleColour(*this, QPalette::Window, Form1Layout::Background);
    setAutoFillBackground(true);
    setFont(Form1Layout::MakeFont(Form1Layout::WindowFont));

    ui_ = Form1Layout::CreateControls(*this, dotsPerInch_);
    // The file name only ever comes from the list.
    ui_.Text2->setReadOnly(true);
    ui_.Text3->setMaxLength(KeywordLength);
    operations_ = std::make_unique<Form1Operations>(
        messageBoxes_, Form1Operations::Controls{ui_.Label6, ui_.Label8, ui_.Text1, ui_.File1, ui_.Check1});
    paletteHandOff_ = std::make_unique<PaletteHandOff>(module_, messageBoxes_, *this, ui_);
    focusMark_ = new FocusMark(*this);
    CreateMenus();
    SetupShortcuts();
    SetupConnections();
    Form_Load(programFolder);
}

Form1::~Form1() {
    // The controls change the focus as they go; the handlers must not hear of it.
    disconnect(focusChanges_);
    // Before the controls: a focus frame whose control goes first makes itself a window of its own.
    delete focusMark_;
}

Form2* Form1::Palette() const {
    return paletteHandOff_->Palette();
}

void Form1::CreateMenus() {
    mnuTextCopy = new QMenu(QStringLiteral("テキストコピー"), this);
    mnuCopy = mnuTextCopy->addAction(QStringLiteral("コピー(&C)"));
    mnuTextPaste = new QMenu(QStringLiteral("テキストペースト"), this);
    mnuPaste = mnuTextPaste->addAction(QStringLiteral("ペースト(&V)"));
}

// Every key that works anywhere in the window, in one place. The text controls leave the copy and paste
// keys to these commands.
void Form1::SetupShortcuts() {
    mnuCopy->setShortcuts(QKeySequence::Copy);
    mnuPaste->setShortcuts(QKeySequence::Paste);
    // Not in the palette, which is a window of this one but has its own keys.
    mnuCopy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    mnuPaste->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(mnuCopy);
    addAction(mnuPaste);
    auto* exit = new QShortcut(this);
    exit->setContext(Qt::WidgetWithChildrenShortcut);
    exit->setKeys(F12WithAnyModifiers());
    connect(exit, &QShortcut::activated, this, &Form1::Command2_Click);
}

void Form1::SetupConnections() {
    connect(mnuCopy, &QAction::triggered, this, &Form1::mnuCopy_Click);
    connect(mnuPaste, &QAction::triggered, this, &Form1::mnuPaste_Click);
    connect(ui_.File1, &LogList::KeyDown, this,
            [this](KeyPress key) { File1_KeyDown(key.keyCode, key.shift); });
    connect(ui_.File1, &LogList::Chosen, this, &Form1::File1_Click);
    connect(ui_.Text1, &CheckWindow::MouseDown, this, &Form1::Text1_MouseDown);
    connect(ui_.Text2, &TextBox::Clicked, this, &Form1::Text2_Click);
    connect(ui_.Label4, &ClickableLabel::Clicked, this, &Form1::Label4_Click);
    connect(ui_.Label5, &ClickableLabel::Clicked, this, &Form1::Label5_Click);
    connect(ui_.Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(ui_.Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(ui_.Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(ui_.Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(ui_.Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(ui_.Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    focusChanges_ = connect(qApp, &QApplication::focusChanged, this,
                            [this](QWidget*, QWidget* now) { ControlGotFocus(now); });
    for (int i = 0; i < SpeakerRows; ++i) {
        connect(ui_.Command5[i], &QPushButton::clicked, this, [this, i] { Command5_Click(i); });
        connect(ui_.Text4[i], &TextBox::MouseDown, this,
                [this, i](Qt::MouseButton button, QPoint position) { Text4_MouseDown(i, button, position); });
    }
    new KeyboardNavigation(ui_, this);
}

void Form1::Form_Load(const QString& programFolder) {
    state_.LogFolder = WithTrailingSeparator(programFolder);
    for (const LogFileName& log : ListLogFiles(state_.LogFolder)) {
        auto* item = new QListWidgetItem(log.shown, ui_.File1);
        item->setData(Qt::UserRole, log.native);
    }
    PlaceCentredWithLift(*this, dotsPerInch_);
    for (QPushButton* button : {ui_.Command1, ui_.Command3, static_cast<QPushButton*>(ui_.Command6),
                                static_cast<QPushButton*>(ui_.Command7)}) {
        button->setEnabled(false);
    }
    ui_.Check1->setCheckState(Qt::Unchecked);
    ui_.Text1->clear();
    ui_.Text2->clear();
    ui_.Text3->clear();
    for (int i = 0; i < SpeakerRows; ++i) {
        ui_.Text4[i]->clear();
        ui_.Command5[i]->setEnabled(false);
    }
    ui_.Label6->clear();
    ui_.Label8->clear();
    ui_.File1->setFocus(ProgramFocusReason);
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (recoveriesReported_ || event->spontaneous()) {
        return;
    }
    recoveriesReported_ = true;
    // Once the window is on the screen, so that the notice of a finished rewrite has a window to belong to.
    QTimer::singleShot(0, this, [this] { RecoverJournals(*operations_); });
}

void Form1::SelectLog(const QByteArray& nativeName) {
    for (int row = 0; row < ui_.File1->count(); ++row) {
        QListWidgetItem* item = ui_.File1->item(row);
        if (item->data(Qt::UserRole).toByteArray() == nativeName) {
            // A selection change from the program is not a click: it must not load.
            const QSignalBlocker blocker(ui_.File1);
            ui_.File1->setCurrentItem(item);
            return;
        }
    }
}

void Form1::File1_KeyDown(std::int16_t& keyCode, std::int16_t shift) {
    state_.LastListKey = keyCode;
    switch (File1KeyRule(keyCode, shift)) {
    case ListKeyAction::Load:
        LoadSelectedLog();
        break;
    case ListKeyAction::FocusCommand4:
        ui_.Command4->setFocus(Qt::BacktabFocusReason);
        break;
    case ListKeyAction::None:
        break;
    }
}

void Form1::File1_Click() {
    if (File1ClickLoads(state_.LastListKey)) {
        std::int16_t keyCode = KeyCode::Return;
        File1_KeyDown(keyCode, ShiftBits::None);
    }
}

void Form1::File1_GotFocus() {
    state_.LastListKey = 0;
}

void Form1::Text2_Click() {
    QWidget* target = ui_.Text2->text().isEmpty() ? static_cast<QWidget*>(ui_.File1) : ui_.Command1;
    if (!target->isEnabled()) {
        target = ui_.File1;
    }
    target->setFocus(ProgramFocusReason);
}

std::string Form1::NativePath(const QByteArray& fileName) const {
    return (QFile::encodeName(state_.LogFolder) + fileName).toStdString();
}

void Form1::ResetOptionsForLoad() {
    const QList<QListWidgetItem*> selected = ui_.File1->selectedItems();
    ui_.Text2->setText(selected.isEmpty() ? QString() : selected.first()->text());
    state_.LogFileBytes =
        selected.isEmpty() ? QByteArray() : selected.first()->data(Qt::UserRole).toByteArray();
    ui_.Text2->repaint();
    ui_.Text1->clear();
    module_.LoadedLineCount = 0;
    module_.ColorTable.Reset();
    ui_.Check1->setCheckState(Qt::Unchecked);
    ui_.Command6->setEnabled(true);
    ui_.Command7->setEnabled(true);
    Form1Layout::SetRoleColour(*ui_.Text3, QPalette::Base, White);
    ui_.Text3->clear();
    ui_.Label6->clear();
    ui_.Label6->repaint();
    for (int i = 0; i < SpeakerRows; ++i) {
        ui_.Command5[i]->setEnabled(true);
        ui_.Text4[i]->clear();
        Form1Layout::SetRoleColour(*ui_.Text4[i], QPalette::Base, White);
        Form1Layout::SetRoleColour(*ui_.Text4[i], QPalette::Text, Black);
    }
}

void Form1::LoadSelectedLog() {
    ResetOptionsForLoad();
    const QString fileName = ui_.Text2->text();
    const LoadOutcome outcome =
        RunLoad(*operations_, LoadRequest{NativePath(state_.LogFileBytes), fileName.toStdU16String()});
    module_.LoadedLineCount = outcome.loadedLineCount;
    if (!fileName.isEmpty()) {
        state_.RemoveBlankLines = outcome.answers.RemoveBlankLines;
        state_.RemoveSeparatorLines = outcome.answers.RemoveSeparatorLines;
    }
    if (outcome.loaded) {
        ui_.Command1->setEnabled(true);
        ui_.Command3->setEnabled(true);
    }
}

bool Form1::FileNamed() {
    if (!ui_.Text2->text().isEmpty()) {
        return true;
    }
    // A load with nothing selected leaves the save buttons as they were; there is still nothing to save.
    messageBoxes_.ShowNotice(ToQString(UserTexts::SelectTitle), ToQString(UserTexts::NothingSelected));
    ui_.File1->setFocus(ProgramFocusReason);
    return false;
}

void Form1::Command1_Click() {
    if (!FileNamed()) {
        return;
    }
    const QString fileName = ui_.Text2->text();
    RunConvertAndSave(*operations_,
                      ConvertRequest{NativePath(state_.LogFileBytes), fileName.toStdU16String(),
                                     LoadAnswers{state_.RemoveBlankLines, state_.RemoveSeparatorLines},
                                     module_.LoadedLineCount});
}

std::array<std::u16string, SpeakerRows> Form1::SpeakerKeywords() const {
    std::array<std::u16string, SpeakerRows> keywords;
    for (int i = 0; i < SpeakerRows; ++i) {
        keywords[i] = ui_.Text4[i]->text().toStdU16String();
    }
    return keywords;
}

void Form1::Command3_Click() {
    if (!FileNamed()) {
        return;
    }
    // Only a checked box emphasises; the partly checked state counts as unchecked.
    const bool emphasis = ui_.Check1->checkState() == Qt::Checked;
    const std::u16string entryKeyword = ui_.Text3->text().toStdU16String();
    const HtmlOptions options =
        MakeHtmlOptions(module_.ColorTable, emphasis, entryKeyword, SpeakerKeywords());

    const QString fileName = ui_.Text2->text();
    const QString baseName = PageBaseName(fileName);
    ExportHtml(*operations_, options,
               ExportRequest{NativePath(state_.LogFileBytes), NativePath(PageFileName(state_.LogFileBytes)),
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

void Form1::Text1_MouseDown(Qt::MouseButton button, QPoint position) {
    if (button == Qt::RightButton) {
        mnuTextCopy->popup(position);
    }
}

void Form1::Text4_MouseDown(int /*index*/, Qt::MouseButton button, QPoint position) {
    // The same menu for every box; the paste goes to whichever control has the focus.
    if (button == Qt::RightButton) {
        mnuTextPaste->popup(position);
    }
}

void Form1::mnuCopy_Click() {
    ClipTarget = focusWidget();
    QString selected;
    if (auto* box = qobject_cast<QLineEdit*>(ClipTarget)) {
        selected = KeywordCut(box->selectedText());
    } else if (auto* view = qobject_cast<CheckWindow*>(ClipTarget)) {
        selected = view->SelectedText();
    } else {
        return; // a button, the check box or the list has no text to copy; the clipboard keeps its own
    }
    QGuiApplication::clipboard()->setText(selected);
}

void Form1::mnuPaste_Click() {
    ClipTarget = focusWidget();
    const QString pasted = QGuiApplication::clipboard()->text();
    if (auto* box = qobject_cast<TextBox*>(ClipTarget)) {
        box->PasteText(pasted);
    } else if (auto* view = qobject_cast<CheckWindow*>(ClipTarget)) {
        view->PasteText(pasted);
    }
}

// The GotFocus handlers, by who received the focus.
void Form1::ControlGotFocus(QWidget* widget) {
    const std::optional<ControlRef> control = ui_.RefOf(widget);
    const ControlId id = control ? control->id : ControlId::Frame1;
    // clang-format off
    switch (id) {
    case ControlId::File1: return File1_GotFocus();
    case ControlId::Text3: return Text3_GotFocus();
    case ControlId::Command5: return Command5_GotFocus(control->index);
    case ControlId::Command6: return Command6_GotFocus();
    case ControlId::Command7: return Command7_GotFocus();
    default: return; // the other controls have no focus handler
    }
    // clang-format on
}

void Form1::Text3_GotFocus() {
    ui_.Text3->selectAll();
    // A click places the caret after the focus has arrived; selecting again once it has keeps the rule.
    QTimer::singleShot(0, ui_.Text3, [box = QPointer<QLineEdit>(ui_.Text3)] {
        if (box && box->hasFocus()) {
            box->selectAll();
        }
    });
}

void Form1::Command5_Click(int index) {
    paletteHandOff_->Open(ui_.Command5[static_cast<std::size_t>(index)]);
}

void Form1::Command6_Click() {
    paletteHandOff_->Open(ui_.Command6);
}

void Form1::Command7_Click() {
    paletteHandOff_->Open(ui_.Command7);
}

QColor Form1::PagePreviewColour() const {
    return paletteHandOff_->PagePreviewColour();
}

void Form1::Command5_GotFocus(int index) {
    paletteHandOff_->ShowPreview(ui_.Command5[static_cast<std::size_t>(index)]);
}

void Form1::Command6_GotFocus() {
    paletteHandOff_->ShowPreview(ui_.Command6);
}

void Form1::Command7_GotFocus() {
    paletteHandOff_->ShowPreview(ui_.Command7);
}

} // namespace parlowen
