#pragma once

#include "Keys.h"
#include "LogLoader.h"
#include "MainWindowLayout.h"
#include "MessageBoxes.h"
#include "ProgramState.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

class QButtonGroup;

namespace parlowen {

class ColourButton;
class CopyPasteMenus;
class FocusMark;
class LogOperationRunner;
class MainWindowOperations;
class PaletteWindow;
class PaletteHandOff;

// What the main window remembers between its handlers.
struct MainWindowState {
    QString logFolder;             // the folder the logs are listed from, ending in "/"
    bool listKeyPending = false;   // a key was pressed in logList since its last click or focus
    bool removeBlankLines = false; // the answers of the last load
    bool removeSeparatorLines = false;
    QByteArray logFileNativeName; // the name in logNameBox as the file system spells it
};

// The main window: the log list, the HTML options, the check view and the buttons. The controls
// carry their own behaviour (MainWindowLayout makes them); the handlers here turn their signals into calls of
// the log operations and the rules.
class MainWindow : public QWidget {
    Q_OBJECT

  public:
    // programFolder is where the logs are listed from: the program's own folder unless the command line
    // named one or the program is installed (StartLocation).
    MainWindow(ProgramState& programState, MessageBoxes& messageBoxes,
               const QString& programFolder = QCoreApplication::applicationDirPath(),
               QWidget* parent = nullptr);
    ~MainWindow() override;

    const MainWindowState& State() const { return state_; }

    // Selects a listed log without loading it, as a log named on the command line is offered.
    void SelectLog(const QByteArray& nativeName);

    // The background of entryKeywordBox: the page colour as previewed so far.
    QColor PagePreviewColour() const;
    // The palette window while it exists (it is built by the first colour button and destroyed when
    // closed through its frame).
    PaletteWindow* Palette() const;

  protected:
    // The first showing reports the rewrites a killed run left and this start finished.
    void showEvent(QShowEvent* event) override;

  private:
    void SetupShortcuts();
    void SetupConnections();
    void startUp(const QString& programFolder);

    void onLogListKey(QKeyCombination key);
    void onLogListClicked();
    void onLogListFocused();
    void onLogNameClicked();
    void onConvertClicked();
    void onExportClicked();
    void onProductInfoClicked();
    void onEntryOptionsHeadingClicked();
    void onSpeakerHeadingClicked();
    void onSpeakerColourClicked(int index);
    void onPageColourClicked();
    void onEntryColourClicked();
    void onSpeakerColourFocused(int index);
    void onPageColourFocused();
    void onEntryColourFocused();
    void onEntryKeywordFocused();

    void ResetOptionsForLoad();
    void LoadSelectedLog();
    bool FileNamed();
    std::string NativePath(const QByteArray& fileName) const;
    LoadAnswers Answers() const;
    std::array<std::u16string, SpeakerRows> SpeakerKeywords() const;

    ProgramState& programState_;
    MessageBoxes& messageBoxes_;
    MainWindowState state_;
    double dotsPerInch_ = 96;
    MainWindowControls ui_;
    std::unique_ptr<MainWindowOperations> operations_;
    std::unique_ptr<LogOperationRunner> operationRunner_;
    std::unique_ptr<PaletteHandOff> paletteHandOff_;
    std::unique_ptr<CopyPasteMenus> copyPasteMenus_;
    QButtonGroup* speakerColourButtons_ = nullptr;
    bool recoveriesReported_ = false;
    FocusMark* focusMark_ = nullptr;
};

} // namespace parlowen
