#pragma once

#include "MainWindowLayout.h"
#include "KeyCodes.h"
#include "LogLoader.h"
#include "MessageBoxes.h"
#include "ProgramState.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class QAction;
class QMenu;

namespace parlowen {

class ColourButton;
class FocusMark;
class Form1Operations;
class Form2;
class PaletteHandOff;

// What the main window remembers between its handlers.
struct Form1State {
    QString LogFolder;                           // the program's folder, ending in "/"
    std::int16_t LastListKey = 0;                // key code of the last key pressed in File1, or 0
    std::int16_t RemoveBlankLines = StoredFalse; // the answers of the last load
    std::int16_t RemoveSeparatorLines = StoredFalse;
    QByteArray LogFileBytes; // the name in Text2 as the file system spells it
};

// The main window: the file list, the HTML options, the text check window and the buttons. The controls
// carry their own behaviour (Form1Layout makes them); the handlers here turn their signals into calls of the
// log operations and the rules.
class Form1 : public QWidget {
    Q_OBJECT

  public:
    // programFolder is where the logs are listed from: the program's own folder unless the command line
    // named one or the program is installed (StartLocation).
    Form1(Module1& module, MessageBoxes& messageBoxes,
          const QString& programFolder = QCoreApplication::applicationDirPath(), QWidget* parent = nullptr);
    ~Form1() override;

    const Form1State& State() const { return state_; }

    // Selects a listed log without loading it, as a log named on the command line is offered.
    void SelectLog(const QByteArray& nativeName);

    void File1_KeyDown(std::int16_t& keyCode, std::int16_t shift);
    void File1_Click();
    void File1_GotFocus();
    void Text2_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Label4_Click();
    void Label5_Click();
    void Command5_Click(int index);
    void Command6_Click();
    void Command7_Click();
    void Command5_GotFocus(int index);
    void Command6_GotFocus();
    void Command7_GotFocus();
    void Text3_GotFocus();
    void Text1_MouseDown(Qt::MouseButton button, QPoint position);
    void Text4_MouseDown(int index, Qt::MouseButton button, QPoint position);
    void mnuCopy_Click();
    void mnuPaste_Click();

    // The background of Text3: the page colour as previewed so far.
    QColor PagePreviewColour() const;
    // The palette window while it exists (it is built by the first colour button and destroyed when
    // closed through its frame).
    Form2* Palette() const;

  signals:
    // The window was closed: the program is over.
    void Ended();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // The first showing reports the rewrites a killed run left and this start finished.
    void showEvent(QShowEvent* event) override;

  private:
    void CreateMenus();
    void SetupShortcuts();
    void SetupConnections();
    void Form_Load(const QString& programFolder);
    void ControlGotFocus(QWidget* widget);

    void ResetOptionsForLoad();
    void LoadSelectedLog();
    bool FileNamed();
    std::string NativePath(const QByteArray& fileName) const;
    std::array<std::u16string, SpeakerRows> SpeakerKeywords() const;

    Module1& module_;
    MessageBoxes& messageBoxes_;
    Form1State state_;
    double dotsPerInch_ = 96;
    Form1Controls ui_;
    std::unique_ptr<Form1Operations> operations_;
    std::unique_ptr<PaletteHandOff> paletteHandOff_;
    QPointer<QWidget> ClipTarget; // the control the last copy or paste worked on
    QMenu* mnuTextCopy = nullptr;
    QMenu* mnuTextPaste = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QMetaObject::Connection focusChanges_;
    bool recoveriesReported_ = false;
    FocusMark* focusMark_ = nullptr;
};

} // namespace parlowen
