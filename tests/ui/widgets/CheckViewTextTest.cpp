#include "CheckViewText.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace parlowen {
namespace {

QString Lines(int count) {
    QString lines;
    for (int line = 0; line < count; ++line) {
        lines += QString::number(line % 10) + "\r\n";
    }
    return lines;
}

TEST(CheckViewText, LineBreaksBecomeSeparatorsInBoundedParagraphs) {
    EXPECT_EQ(ToCheckWindow(u""), "");
    EXPECT_EQ(ToCheckWindow(u"\r\nA\r\nB"), QString(QChar::LineSeparator) + "A" + QChar::LineSeparator + "B");
    EXPECT_EQ(ToCheckWindow(u"A\nB"), QString("A") + QChar::LineSeparator + "B"); // a lone LF inside a line

    const QString shown = ToCheckWindow(Lines(250).toStdU16String());
    EXPECT_EQ(shown.count('\n'), 2) << "250 lines make three paragraphs";
    EXPECT_EQ(shown.split('\n').first().count(QChar::LineSeparator), CheckWindowLinesPerParagraph - 1);

    const std::u16string longLine(3 * CheckWindowParagraphLength + 5, u'x');
    const QString pieces = ToCheckWindow(longLine);
    EXPECT_EQ(pieces.count('\n'), 3);
    EXPECT_EQ(pieces.size(), static_cast<qsizetype>(longLine.size()) + 3);
}

TEST(CheckViewText, RoundTripsThroughTheView) {
    for (const QString& text :
         {Lines(1), Lines(99), Lines(100), Lines(101), Lines(1234), QString("a\r\n\r\n\r\nb")}) {
        EXPECT_EQ(FromCheckWindow(ToCheckWindow(text.toStdU16String())), text) << text.size();
    }
    // A selection across paragraphs carries U+2029.
    EXPECT_EQ(FromCheckWindow(QString("a") + QChar::ParagraphSeparator + "b"), "a\r\nb");
}

} // namespace
} // namespace parlowen
