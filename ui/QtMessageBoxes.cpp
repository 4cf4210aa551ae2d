#include "QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace parlowen {

namespace {

int Show(const QString& title, const QString& text, QMessageBox::StandardButtons buttons) {
    // A label breaks lines at LF; a CR left in front of it would be drawn as a stray glyph.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::NoIcon, title, shown, buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok);
    return box.exec();
}

} // namespace

bool QtMessageBoxes::AskOkCancel(const QString& title, const QString& text) {
    return Show(title, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtMessageBoxes::ShowNotice(const QString& title, const QString& text) {
    Show(title, text, QMessageBox::Ok);
}

void QtMessageBoxes::Beep() {
    QApplication::beep();
}

} // namespace parlowen
