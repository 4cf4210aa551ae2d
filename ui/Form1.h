#pragma once

#include "Form1Layout.h"
#include "KeyCodes.h"
#include "LogLoader.h"
#include "MessageBoxes.h"
#include "Module1.h"
#include "Navigation.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace parlowen {

class Form1Operations;
class Form2;

// What the main window remembers between its handlers.
struct Form1State {
    QString LogFolder;                           // the program's folder, ending in "/"
    std::int16_t LastListKey = 0;                // key code of the last key pressed in File1, or 0
    std::int16_t RemoveBlankLines = StoredFalse; // the answers of the last load
    std::int16_t RemoveSeparatorLines = StoredFalse;
    QByteArray LogFileBytes; // the name in Text2 as the file system spells it
};

// The main window: the file list, the HTML options, the text check window and the buttons. Handlers only
// turn events into calls of the log operations and the rules.
class Form1 : public QWidget {
    Q_OBJECT

  public:
    // programFolder is where the logs are listed from; the program passes its own folder.
    Form1(Module1& module, MessageBoxes& messageBoxes,
          const QString& programFolder = QCoreApplication::applicationDirPath(), QWidget* parent = nullptr);
    ~Form1() override;

    const Form1State& State() const { return state_; }

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
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void SetTabOrder(std::vector<std::pair<int, QWidget*>> focusable);
    void SetupConnections();
    void Form_Load(const QString& programFolder);
    void ResetOptionsForLoad();
    void LoadSelectedLog();
    bool HandleKeyPress(QObject* watched, const QKeyEvent& event);
    void ListSelectionChanged();
    void CreateMenus();
    void OpenPalette(QPushButton* target);
    bool Navigate(QObject* watched, const KeyPress& key);
    QWidget* WidgetOf(const ControlRef& control) const;
    void ApplyPreview(QPushButton* button);

    bool FileNamed();
    std::string NativePath(const QByteArray& fileName) const;
    std::array<std::u16string, SpeakerRows> SpeakerKeywords() const;

    template <typename Widget> Widget* Control(const QString& objectName) const;

    Module1& module_;
    MessageBoxes& messageBoxes_;
    Form1State state_;
    double dotsPerInch_ = 96;
    QHash<QString, QWidget*> controls_;
    std::unique_ptr<Form1Operations> operations_;
    bool listMousePressed_ = false;
    QPointer<Form2> palette_;
    QHash<const QObject*, ControlRef> navigable_;
    QPointer<QWidget> ClipTarget; // the control the last copy or paste worked on
    QMenu* mnuTextCopy = nullptr;
    QMenu* mnuTextPaste = nullptr;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QListWidget* File1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    std::array<QLineEdit*, SpeakerRows> Text4{};
    QPlainTextEdit* Text1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    std::array<QPushButton*, SpeakerRows> Command5{};
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
};

} // namespace parlowen
