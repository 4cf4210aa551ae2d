#include "MainWindow.h"

#include "CheckView.h"
#include "ClickableLabel.h"
#include "ClipboardText.h"
#include "ColourButton.h"
#include "CopyPasteMenus.h"
#include "Dialogues.h"
#include "FocusMark.h"
#include "HtmlExporter.h"
#include "InformationMessages.h"
#include "KeyboardNavigation.h"
#include "ListKeyRules.h"
#include "LogConverter.h"
#include "LogFiles.h"
#include "LogList.h"
#include "LogOperationRunner.h"
#include "MainWindowOperations.h"
#include "PaletteHandOff.h"
#include "QtText.h"
#include "TextBox.h"
#include "Twips.h"
#include "UserTexts.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
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

MainWindow::MainWindow(ProgramState& programState, MessageBoxes& messageBoxes, const QString& programFolder,
                       QWidget* parent)
    : QWidget(parent), programState_(programState), messageBoxes_(messageBoxes) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(ToQString(MainWindowLayout::Title));
    dotsPerInch_ = screen()->logicalDotsPerInchX();
    setFixedSize(TwipsToPixels(MainWindowLayout::ClientWidth, dotsPerInch_),
                 TwipsToPixels(MainWindowLayout::ClientHeight, dotsPerInch_));
    MainWindowLayout::SetRoleColour(*this, QPalette::Window, MainWindowLayout::Background);
    setAutoFillBackground(true);
    setFont(MainWindowLayout::MakeFont(MainWindowLayout::WindowFont));

    ui_ = MainWindowLayout::CreateControls(*this, dotsPerInch_);
    // The file name only ever comes from the list.
    ui_.logNameBox->setReadOnly(true);
    ui_.entryKeywordBox->setMaxLength(KeywordLength);
    operations_ = std::make_unique<MainWindowOperations>(
        messageBoxes_, MainWindowOperations::Controls{ui_.beforeAfterLabel, ui_.lineCounter, ui_.checkView,
                                                      ui_.logList, ui_.emphasisBox});
    operationRunner_ = std::make_unique<LogOperationRunner>(*this, *operations_);
    paletteHandOff_ = std::make_unique<PaletteHandOff>(programState_, messageBoxes_, *this, ui_);
    focusMark_ = new FocusMark(*this);
    copyPasteMenus_ = std::make_unique<CopyPasteMenus>(*this, ui_);
    SetupShortcuts();
    SetupConnections();
    startUp(programFolder);
}

MainWindow::~MainWindow() {
    // The controls change the focus as they go; the handlers must not hear of it.
    for (auto control = ui_.refs.cbegin(); control != ui_.refs.cend(); ++control) {
        disconnect(control.key(), nullptr, this, nullptr);
    }
    // Before the controls: a focus frame whose control goes first makes itself a window of its own.
    delete focusMark_;
}

PaletteWindow* MainWindow::Palette() const {
    return paletteHandOff_->Palette();
}

// The keys that work anywhere in the window besides copy and paste (CopyPasteMenus).
void MainWindow::SetupShortcuts() {
    auto* exit = new QShortcut(this);
    exit->setContext(Qt::WidgetWithChildrenShortcut);
    exit->setKeys(F12WithAnyModifiers());
    connect(exit, &QShortcut::activated, ui_.exitButton, &QAbstractButton::click);
}

void MainWindow::SetupConnections() {
    connect(ui_.logList, &LogList::KeyDown, this, &MainWindow::onLogListKey);
    connect(ui_.logList, &LogList::Chosen, this, &MainWindow::onLogListClicked);
    connect(ui_.logList, &LogList::FocusEntered, this, &MainWindow::onLogListFocused);
    connect(ui_.entryKeywordBox, &TextBox::FocusEntered, this, &MainWindow::onEntryKeywordFocused);
    connect(ui_.pageColourButton, &ColourButton::FocusEntered, this, &MainWindow::onPageColourFocused);
    connect(ui_.entryColourButton, &ColourButton::FocusEntered, this, &MainWindow::onEntryColourFocused);
    connect(ui_.logNameBox, &TextBox::Clicked, this, &MainWindow::onLogNameClicked);
    connect(ui_.entryOptionsHeading, &ClickableLabel::Clicked, this,
            &MainWindow::onEntryOptionsHeadingClicked);
    connect(ui_.speakerHeading, &ClickableLabel::Clicked, this, &MainWindow::onSpeakerHeadingClicked);
    connect(ui_.convertButton, &QPushButton::clicked, this, &MainWindow::onConvertClicked);
    connect(ui_.exitButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_.exportButton, &QPushButton::clicked, this, &MainWindow::onExportClicked);
    connect(ui_.productInfoButton, &QPushButton::clicked, this, &MainWindow::onProductInfoClicked);
    connect(ui_.pageColourButton, &QPushButton::clicked, this, &MainWindow::onPageColourClicked);
    connect(ui_.entryColourButton, &QPushButton::clicked, this, &MainWindow::onEntryColourClicked);
    speakerColourButtons_ = new QButtonGroup(this);
    speakerColourButtons_->setExclusive(false);
    for (int i = 0; i < SpeakerRows; ++i) {
        speakerColourButtons_->addButton(ui_.speakerColourButton[i], i);
        connect(ui_.speakerColourButton[i], &ColourButton::FocusEntered, this,
                [this, i] { onSpeakerColourFocused(i); });
    }
    connect(speakerColourButtons_, &QButtonGroup::idClicked, this, &MainWindow::onSpeakerColourClicked);
    new KeyboardNavigation(ui_, this);
}

void MainWindow::startUp(const QString& programFolder) {
    state_.logFolder = WithTrailingSeparator(programFolder);
    for (const LogFileName& log : ListLogFiles(state_.logFolder)) {
        auto* item = new QListWidgetItem(log.shown, ui_.logList);
        item->setData(Qt::UserRole, log.native);
    }
    PlaceCentredWithLift(*this, dotsPerInch_);
    for (QPushButton* button :
         {ui_.convertButton, ui_.exportButton, static_cast<QPushButton*>(ui_.pageColourButton),
          static_cast<QPushButton*>(ui_.entryColourButton)}) {
        button->setEnabled(false);
    }
    ui_.emphasisBox->setCheckState(Qt::Unchecked);
    ui_.checkView->clear();
    ui_.logNameBox->clear();
    ui_.entryKeywordBox->clear();
    for (int i = 0; i < SpeakerRows; ++i) {
        ui_.speakerKeywordBox[i]->clear();
        ui_.speakerColourButton[i]->setEnabled(false);
    }
    ui_.beforeAfterLabel->clear();
    ui_.lineCounter->clear();
    ui_.logList->setFocus(ProgramFocusReason);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (recoveriesReported_ || event->spontaneous()) {
        return;
    }
    recoveriesReported_ = true;
    // Once the window is on the screen, so that the notice of a finished rewrite has a window to belong to.
    QTimer::singleShot(0, this, [this] {
        operationRunner_->runInBackground([](WindowOperations& window) { RecoverJournals(window); });
    });
}

void MainWindow::SelectLog(const QByteArray& nativeName) {
    for (int row = 0; row < ui_.logList->count(); ++row) {
        QListWidgetItem* item = ui_.logList->item(row);
        if (item->data(Qt::UserRole).toByteArray() == nativeName) {
            // A selection change from the program is not a click: it must not load.
            const QSignalBlocker blocker(ui_.logList);
            ui_.logList->setCurrentItem(item);
            return;
        }
    }
}

void MainWindow::onLogListKey(QKeyCombination key) {
    state_.listKeyPending = true;
    switch (LogListKeyRule(key)) {
    case ListKeyAction::Load:
        LoadSelectedLog();
        break;
    case ListKeyAction::FocusProductInfoButton:
        ui_.productInfoButton->setFocus(Qt::BacktabFocusReason);
        break;
    case ListKeyAction::None:
        break;
    }
}

void MainWindow::onLogListClicked() {
    if (LogListClickLoads(state_.listKeyPending)) {
        onLogListKey(QKeyCombination(Qt::Key_Return));
    }
}

void MainWindow::onLogListFocused() {
    state_.listKeyPending = false;
}

void MainWindow::onLogNameClicked() {
    QWidget* target =
        ui_.logNameBox->text().isEmpty() ? static_cast<QWidget*>(ui_.logList) : ui_.convertButton;
    if (!target->isEnabled()) {
        target = ui_.logList;
    }
    target->setFocus(ProgramFocusReason);
}

std::string MainWindow::NativePath(const QByteArray& fileName) const {
    return (QFile::encodeName(state_.logFolder) + fileName).toStdString();
}

void MainWindow::ResetOptionsForLoad() {
    const QList<QListWidgetItem*> selected = ui_.logList->selectedItems();
    ui_.logNameBox->setText(selected.isEmpty() ? QString() : selected.first()->text());
    state_.logFileNativeName =
        selected.isEmpty() ? QByteArray() : selected.first()->data(Qt::UserRole).toByteArray();
    ui_.logNameBox->repaint();
    ui_.checkView->clear();
    programState_.loadedLineCount = 0;
    programState_.colourTable.Reset();
    ui_.emphasisBox->setCheckState(Qt::Unchecked);
    ui_.pageColourButton->setEnabled(true);
    ui_.entryColourButton->setEnabled(true);
    MainWindowLayout::SetRoleColour(*ui_.entryKeywordBox, QPalette::Base, White);
    ui_.entryKeywordBox->clear();
    ui_.beforeAfterLabel->clear();
    ui_.beforeAfterLabel->repaint();
    for (int i = 0; i < SpeakerRows; ++i) {
        ui_.speakerColourButton[i]->setEnabled(true);
        ui_.speakerKeywordBox[i]->clear();
        MainWindowLayout::SetRoleColour(*ui_.speakerKeywordBox[i], QPalette::Base, White);
        MainWindowLayout::SetRoleColour(*ui_.speakerKeywordBox[i], QPalette::Text, Black);
    }
}

void MainWindow::LoadSelectedLog() {
    if (operationRunner_->isRunning()) {
        return;
    }
    ResetOptionsForLoad();
    const QString fileName = ui_.logNameBox->text();
    const LoadRequest request{NativePath(state_.logFileNativeName), fileName.toStdU16String()};
    LoadOutcome outcome;
    operationRunner_->runInBackground([&](WindowOperations& window) { outcome = RunLoad(window, request); });
    programState_.loadedLineCount = outcome.loadedLineCount;
    if (!fileName.isEmpty()) {
        state_.removeBlankLines = outcome.answers.removeBlankLines;
        state_.removeSeparatorLines = outcome.answers.removeSeparatorLines;
    }
    if (outcome.loaded) {
        ui_.convertButton->setEnabled(true);
        ui_.exportButton->setEnabled(true);
    }
}

bool MainWindow::FileNamed() {
    if (!ui_.logNameBox->text().isEmpty()) {
        return true;
    }
    // A load with nothing selected leaves the save buttons as they were; there is still nothing to save.
    messageBoxes_.ShowNotice(ToQString(UserTexts::SelectTitle), ToQString(UserTexts::NothingSelected));
    ui_.logList->setFocus(ProgramFocusReason);
    return false;
}

void MainWindow::onConvertClicked() {
    if (!FileNamed()) {
        return;
    }
    const QString fileName = ui_.logNameBox->text();
    const ConvertRequest request{NativePath(state_.logFileNativeName), fileName.toStdU16String(), Answers(),
                                 programState_.loadedLineCount};
    operationRunner_->runInBackground([&](WindowOperations& window) { RunConvertAndSave(window, request); });
}

LoadAnswers MainWindow::Answers() const {
    return LoadAnswers{state_.removeBlankLines, state_.removeSeparatorLines};
}

std::array<std::u16string, SpeakerRows> MainWindow::SpeakerKeywords() const {
    std::array<std::u16string, SpeakerRows> keywords;
    for (int i = 0; i < SpeakerRows; ++i) {
        keywords[i] = ui_.speakerKeywordBox[i]->text().toStdU16String();
    }
    return keywords;
}

void MainWindow::onExportClicked() {
    if (!FileNamed()) {
        return;
    }
    // Only a checked box emphasises; the partly checked state counts as unchecked.
    const bool emphasis = ui_.emphasisBox->checkState() == Qt::Checked;
    const std::u16string entryKeyword = ui_.entryKeywordBox->text().toStdU16String();
    const HtmlOptions options =
        MakeHtmlOptions(programState_.colourTable, emphasis, entryKeyword, SpeakerKeywords());

    const QString fileName = ui_.logNameBox->text();
    const QString baseName = PageBaseName(fileName);
    const ExportRequest request{NativePath(state_.logFileNativeName),
                                NativePath(PageFileName(state_.logFileNativeName)),
                                fileName.toStdU16String(),
                                baseName.toStdU16String(),
                                Answers(),
                                programState_.loadedLineCount};
    operationRunner_->runInBackground(
        [&](WindowOperations& window) { ExportHtml(window, options, request); });
}

void MainWindow::onProductInfoClicked() {
    messageBoxes_.ShowNotice(InformationMessages::ProductInformationTitle(),
                             InformationMessages::ProductInformationText());
}

void MainWindow::onEntryOptionsHeadingClicked() {
    messageBoxes_.ShowNotice(InformationMessages::ProductInformationTitle(),
                             InformationMessages::CreditText());
}

void MainWindow::onSpeakerHeadingClicked() {
    messageBoxes_.ShowNotice(InformationMessages::VersionInformationTitle(),
                             InformationMessages::VersionInformationText());
}

void MainWindow::onEntryKeywordFocused() {
    ui_.entryKeywordBox->selectAll();
    // A click places the caret after the focus has arrived; selecting again once it has keeps the rule.
    QTimer::singleShot(0, ui_.entryKeywordBox, [box = QPointer<QLineEdit>(ui_.entryKeywordBox)] {
        if (box && box->hasFocus()) {
            box->selectAll();
        }
    });
}

void MainWindow::onSpeakerColourClicked(int index) {
    paletteHandOff_->Open(ui_.speakerColourButton[static_cast<std::size_t>(index)]);
}

void MainWindow::onPageColourClicked() {
    paletteHandOff_->Open(ui_.pageColourButton);
}

void MainWindow::onEntryColourClicked() {
    paletteHandOff_->Open(ui_.entryColourButton);
}

QColor MainWindow::PagePreviewColour() const {
    return paletteHandOff_->PagePreviewColour();
}

void MainWindow::onSpeakerColourFocused(int index) {
    paletteHandOff_->ShowPreview(ui_.speakerColourButton[static_cast<std::size_t>(index)]);
}

void MainWindow::onPageColourFocused() {
    paletteHandOff_->ShowPreview(ui_.pageColourButton);
}

void MainWindow::onEntryColourFocused() {
    paletteHandOff_->ShowPreview(ui_.entryColourButton);
}

} // namespace parlowen
