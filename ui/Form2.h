#pragma once

#include "MessageBoxes.h"
#include "Module1.h"
#include "PaletteTable.h"

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace parlowen {

// The palette window: 216 colour cells, each a swatch whose text is the colour a confirmation stores in
// the colour table slot of the button that opened it.
class Form2 : public QWidget {
    Q_OBJECT

  public:
    // What the palette needs of the main window: its page colour preview, which becomes the palette's own
    // background, and the way back to the colour button that opened the palette.
    struct MainWindow {
        QWidget* window = nullptr;
        std::function<QColor()> pagePreview;
        std::function<void(QWidget* target)> focusTarget; // moves the focus there and shows its preview
    };

    Form2(Module1& module, MessageBoxes& messageBoxes, MainWindow mainWindow);

    // Shows the palette, or brings it forward when it is open already, with freshly filled cells.
    void Open();

    QLineEdit* Cell(int index) const { return Text2[static_cast<std::size_t>(index)]; }

    void Form_Activate();
    void Command1_Click();
    void Text2_Click(int index);
    void Text2_GotFocus(int index);
    void Text2_KeyDown(int index, int keyCode, int shift);

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void Form_Load();
    void ReturnToMainWindow();
    int CellIndex(const QObject* object) const;

    Module1& module_;
    MessageBoxes& messageBoxes_;
    MainWindow mainWindow_;
    double dotsPerInch_ = 96;

    std::array<QLabel*, 2> Label4{};
    std::array<QLineEdit*, PaletteSize> Text2{};
    QPushButton* Command1 = nullptr;
};

} // namespace parlowen
