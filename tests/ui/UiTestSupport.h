#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>
#include <string>

// A test program built with UiTestSupport.cpp has one QApplication for its whole run.

// Qt's Japanese button texts and the font substitutes, as the program installs them at start-up.
void InstallProgramLocale();

// Runs action in the event loop as the program does; true when the loop then ends by itself, as it does
// once the last of the program's windows has closed.
bool EndsTheProgram(const std::function<void()>& action);

// The text in code page 932, through the C library rather than the program's own codec.
std::string ToShiftJis(const QString& text);
QString CrLfLines(const QStringList& lines); // each line followed by CR LF
void WriteBytes(const QString& path, const std::string& bytes);
std::string ReadBytes(const QString& path);

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
