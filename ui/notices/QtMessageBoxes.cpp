#include "QtMessageBoxes.h"

#include "NoticeText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

namespace parlowen {

namespace {

// The widest a box's text may be: QMessageBox never grows beyond the screen's width less 480 pixels (at
// most 1000), or the whole width of a small screen; its margins take the rest of what is left out here.
int WidestText(const QScreen& screen) {
    const int screenWidth = screen.availableGeometry().width();
    const int boxLimit = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
    return boxLimit - 120;
}

int Show(QWidget* owner, const QString& title, const QString& text, QMessageBox::StandardButtons buttons) {
    // A label breaks lines at LF; a CR left in front of it would be drawn as a stray glyph.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QWidget* parent = QApplication::activeWindow() ? QApplication::activeWindow() : owner;
    QMessageBox box(QMessageBox::NoIcon, title, shown, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok);
    // The box would wrap every text at 500 pixels, a Japanese one anywhere; it is made as wide as its
    // longest line instead, as far as the screen allows, and a longer line is broken after a sentence.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        const QFontMetrics metrics(label->font());
        const int widest = WidestText(*(parent ? parent->screen() : QGuiApplication::primaryScreen()));
        shown = BreakAtSentenceEnds(
            shown, [&](const QString& line) { return metrics.horizontalAdvance(line) <= widest; });
        box.setText(shown);
        int textWidth = 0;
        for (const QString& line : shown.split(QLatin1Char('\n'))) {
            textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
        }
        // A short notice would also cut its title in the title bar ("Com... ge"): the box is made wide
        // enough for the title in a window manager's larger bold face, its icon and its three buttons.
        QFont titleFont = label->font();
        titleFont.setBold(true);
        const int titleWidth =
            QFontMetrics(titleFont).horizontalAdvance(title) * 5 / 4 + 6 * metrics.height();
        label->setMinimumWidth(std::min(std::max(textWidth + 1, titleWidth), widest));
    }
    return box.exec();
}

} // namespace

void QtMessageBoxes::SetOwner(QWidget* window) {
    owner_ = window;
}

bool QtMessageBoxes::AskOkCancel(const QString& title, const QString& text) {
    return Show(owner_, title, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtMessageBoxes::ShowNotice(const QString& title, const QString& text) {
    Show(owner_, title, text, QMessageBox::Ok);
}

void QtMessageBoxes::Beep() {
    QApplication::beep();
}

} // namespace parlowen
