#include "CheckView.h"
#include "HtmlExporter.h"
#include "LogLoader.h"
#include "MappedFile.h"
#include "ui/UiTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTemporaryFile>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <fcntl.h>
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

QStringList Rows(const CheckText& text) {
    QStringList rows;
    for (std::int64_t row = 0; row < text.rowCount(); ++row) {
        rows += QString::fromStdU16String(text.row(row)) + (text.breakAfter(row) ? "|" : "");
    }
    return rows;
}

CheckText Made(const std::u16string& text) {
    CheckText made;
    made.assign(text);
    return made;
}

TEST(CheckText, RowsEndAtLineBreaks) {
    const struct {
        std::u16string text;
        QStringList rows; // "|": a line break follows
    } cases[] = {
        {u"", {""}},
        {u"\r\nA\r\nB", {"|", "A|", "B"}},
        {u"A\nB", {"A|", "B"}},     // a lone LF ends a line
        {u"A\rB", {"A\rB"}},        // a lone CR does not
        {u"上\n《", {"上|", "《"}}, // U+4E0A and U+300A hold a byte 0x0A
        {u"a\r\n", {"a|", ""}},     // a last line break leaves an empty last row
        {u"a\r\n\r\n\r\nb", {"a|", "|", "|", "b"}},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(Rows(Made(test.text)), test.rows) << QString::fromStdU16String(test.text).toStdString();
    }
}

TEST(CheckText, LongLinesAreRowsWithoutBreaks) {
    std::u16string longLine(3 * CheckText::RowLength + 5, u'x');
    longLine[CheckText::RowLength - 1] = u'\xD83D'; // a surrogate pair across the first cut
    longLine[CheckText::RowLength] = u'\xDE00';
    const CheckText text = Made(longLine + u"\r\nend");
    ASSERT_EQ(text.rowCount(), 5);
    EXPECT_EQ(text.row(0).size(), std::size_t{CheckText::RowLength - 1}) << "a pair is never cut";
    EXPECT_FALSE(text.breakAfter(0));
    EXPECT_FALSE(text.breakAfter(2));
    EXPECT_TRUE(text.breakAfter(3));
    // A line of exactly one row's length, with its CR LF just past the row, is one row.
    EXPECT_EQ(Made(std::u16string(CheckText::RowLength, u'y') + u"\r\nz").rowCount(), 2);
    EXPECT_EQ(text.text({}, text.end(), u"\r\n").toStdU16String(), longLine + u"\r\nend");
}

// A check text read from a file that holds other bytes before and after the text.
CheckText FromFile(const std::string& bytes, bool utf8, QTemporaryFile& file) {
    EXPECT_TRUE(file.open());
    file.write("HEAD\n");
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.write("\nTAIL");
    file.flush();
    CheckText text;
    text.assignFile({FileDescriptor(::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY)), 5,
                     5 + bytes.size(), utf8});
    return text;
}

TEST(CheckText, AFileIsReadInPartsAndDecodedARowAtATime) {
    // "x" and then characters of two (Shift-JIS) or three (UTF-8) bytes past one row.
    const struct {
        bool utf8;
        std::string character; // あ
    } cases[] = {{false, "\x82\xA0"}, {true, "\xE3\x81\x82"}};
    for (const auto& test : cases) {
        std::string bytes = "x";
        for (int count = 0; count < 20000; ++count) {
            bytes += test.character;
        }
        QTemporaryFile file;
        const CheckText text = FromFile(bytes + "\r\n<br>\r\n", test.utf8, file);
        ASSERT_EQ(text.rowCount(), 4) << test.utf8;
        EXPECT_FALSE(text.breakAfter(0));
        const std::u16string first = text.row(0);
        EXPECT_EQ(first.size(), test.utf8 ? 10923u : 16384u) << "no character is cut";
        EXPECT_EQ(first.back(), u'あ');
        EXPECT_EQ(text.text({}, text.end(), u"|").toStdU16String(),
                  u"x" + std::u16string(20000, u'あ') + u"|<br>|");
    }
    // Megabytes of lines of every length, some of several rows, have the rows of the same text held whole,
    // wherever a part of the reading ends.
    std::string lines;
    for (std::size_t line = 0; lines.size() < (std::size_t{5} << 19); ++line) {
        lines.append(line % 97 == 0 ? 2 * CheckText::RowLength + line % 5 : line % 300, 'a' + line % 26);
        lines += line % 3 == 0 ? "\n" : "\r\n";
    }
    lines += "end";
    QTemporaryFile file;
    CheckText text = FromFile(lines, false, file);
    const CheckText whole = Made(std::u16string(lines.begin(), lines.end()));
    ASSERT_EQ(text.rowCount(), whole.rowCount());
    for (std::int64_t row = 0; row < text.rowCount(); ++row) {
        if (text.row(row) != whole.row(row) || text.breakAfter(row) != whole.breakAfter(row)) {
            ADD_FAILURE() << "row " << row << " differs";
            break;
        }
    }
    QString joined = QString::fromStdString(lines);
    EXPECT_TRUE(text.text({}, text.end(), u"\n") == joined.replace("\r\n", "\n"));
    // Rows cut short by another program show as far as they can be read.
    ASSERT_TRUE(file.resize(5 + 100));
    EXPECT_EQ(text.row(0), std::u16string(100, u'a'));
    EXPECT_EQ(text.row(text.rowCount() - 1), u"");
}

// A loaded log shown from its file has the very text of the log loaded as text, but for a log whose line ends
// the view would read otherwise, which is loaded as text.
TEST(CheckText, ALoadedLogReadFromItsFileIsTheTextLoaded) {
    const std::string longLine(CheckText::RowLength + 100, 'x');
    std::string longWide; // あ, two bytes each, past one row
    for (int count = 0; count < 20000; ++count) {
        longWide += "\x82\xA0";
    }
    const struct {
        const char* name;
        std::string log;
        bool fromFile;
    } cases[] = {
        {"CR LF, spaces, separators and blank lines", "  a b\r\n----\r\n\r\n \r\n  -- \r\nend\r\n", true},
        {"LF alone, no last line end", "a\n  b\n\n----\nc", true},
        {"long lines", longLine + "\r\n  " + longWide + "\r\nend", true},
        {"UTF-8 with its mark", "\xEF\xBB\xBF  \xE3\x81\x82\r\n\xE3\x81\x84", true},
        {"empty", "", true},
        {"a lone CR", "a\rb\r\nc\r\n", false},
        {"a lone LF among CR LF", "a\nb\r\nc\r\n", false},
        {"a CR at the end", "a\r\nb\r", false},
    };
    for (const auto& test : cases) {
        QTemporaryFile file;
        ASSERT_TRUE(file.open());
        file.write(test.log.data(), static_cast<qint64>(test.log.size()));
        file.flush();
        const std::string path = QFile::encodeName(file.fileName()).toStdString();
        for (const LoadAnswers answers : {LoadAnswers{true, true}, LoadAnswers{false, false}}) {
            const LoadResult asText = LoadLog(path, answers, {});
            LoadResult asLines = LoadLogLines(path, answers, {});
            ASSERT_EQ(asLines.lines.file.file.Valid(), test.fromFile) << test.name;
            EXPECT_EQ(asLines.lineCount, asText.lineCount) << test.name;
            if (!test.fromFile) {
                EXPECT_TRUE(asLines.logText == asText.logText) << test.name;
                continue;
            }
            CheckText text;
            text.assignLines(std::move(asLines.lines));
            EXPECT_TRUE(text.text({}, text.end(), u"\r\n").toStdU16String() == asText.logText) << test.name;
        }
    }
}

// A page's body shown from the page, its lines found as it was written: long lines too.
TEST(CheckText, APageBodyReadFromThePageIsTheBodyWritten) {
    QTemporaryFile log;
    ASSERT_TRUE(log.open());
    const std::string longLine(CheckText::RowLength + 10, 'x');
    log.write(("a & b\r\n" + longLine + "\r\n<c>\r\n").c_str());
    log.flush();
    MappedFile mapped;
    ASSERT_TRUE(MappedFile::Open(QFile::encodeName(log.fileName()).toStdString(), mapped).Ok());
    QTemporaryFile page;
    ASSERT_TRUE(page.open());
    page.write("HEAD\r\n");
    std::string body;
    std::vector<std::uint64_t> starts;
    WriteHtmlBody(
        mapped, HtmlOptions{}, {}, 0, {},
        [&](std::string_view bytes) {
            body += bytes;
            page.write(bytes.data(), static_cast<qint64>(bytes.size()));
            return FileStatus{};
        },
        &starts);
    page.write("TAIL");
    page.flush();
    CheckText text;
    text.assignLines({{FileDescriptor(::open(QFile::encodeName(page.fileName()).constData(), O_RDONLY)), 6,
                       6 + body.size(), false},
                      std::move(starts)});
    EXPECT_TRUE(text.text({}, text.end(), u"\r\n").toStdString() == body);
    EXPECT_EQ(text.rowCount(), 5) << "the long line in two rows, and the empty one after the body";
}

TEST(CheckText, TextRoundTripsAndStopsAtTheLimit) {
    for (const QString& original : {Lines(1), Lines(1234), QString("a\r\n\r\n\r\nb")}) {
        const CheckText text = Made(original.toStdU16String());
        EXPECT_EQ(text.text({}, text.end(), u"\r\n"), original);
    }
    const CheckText text = Made(u"たろう> abc\r\nはなこ> de");
    EXPECT_EQ(text.text({0, 5}, {1, 3}, u"\r\n"), "abc\r\nはなこ");
    EXPECT_EQ(text.text({0, 5}, {1, 3}, u"\r\n", 4), "abc\r") << "CR LF counts two";
    EXPECT_EQ(text.wordAt({0, 6}), std::make_pair(CheckTextPosition{0, 5}, CheckTextPosition{0, 8}));
}

TEST(CheckText, ReplacingJoinsAndSplitsRows) {
    const struct {
        CheckTextPosition from, to;
        std::u16string inserted;
        QStringList rows;
        CheckTextPosition caret;
    } cases[] = {
        {{1, 1}, {1, 1}, u"X", {"ab|", "cXd|", "ef"}, {1, 2}},
        {{0, 2}, {1, 0}, u"", {"abcd|", "ef"}, {0, 2}}, // Backspace at a row's start
        {{0, 1}, {2, 1}, u"", {"af"}, {0, 1}},          // a selection over three rows
        {{1, 1}, {1, 1}, u"1\r\n2\n3", {"ab|", "c1|", "2|", "3d|", "ef"}, {3, 1}},
        {{2, 2}, {2, 2}, u"\r\n", {"ab|", "cd|", "ef|", ""}, {3, 0}},
    };
    for (const auto& test : cases) {
        CheckText text = Made(u"ab\r\ncd\r\nef");
        EXPECT_EQ(text.replace(test.from, test.to, test.inserted), test.caret)
            << test.rows.join("").toStdString();
        EXPECT_EQ(Rows(text), test.rows);
    }
    // Rows of one long line stay joined without a break once edited.
    CheckText text = Made(std::u16string(CheckText::RowLength + 1, u'x') + u"\r\ny");
    text.replace({0, 0}, {0, 1}, u"Z");
    text.replace({1, 0}, {1, 1}, u"Z");
    EXPECT_EQ(text.text({}, text.end(), u"|").size(), CheckText::RowLength + 3);
}

TEST(RowLayouts, MoveTheCaretOverRowsAndWrappedLines) {
    // Row 2 is the first of the two rows of one long line, which wraps; nothing else does.
    const CheckText text =
        Made(u"ab cd\r\nab\r\n" + std::u16string(CheckText::RowLength + 1, u'x') + u"\r\nend");
    RowLayouts rows(text);
    rows.setGeometry(QFont(), 2000);
    const QTextLine firstWrapped = rows.layout(2).lineAt(0);
    const struct {
        CheckTextPosition from;
        Motion motion;
        CheckTextPosition to;
    } cases[] = {
        {{0, 5}, Motion::NextChar, {1, 0}}, // over the line break
        {{1, 0}, Motion::PreviousChar, {0, 5}},
        {{0, 0}, Motion::NextWord, {0, 3}},
        {{0, 4}, Motion::LineStart, {0, 0}},
        {{0, 1}, Motion::LineEnd, {0, 5}},
        {{2, 0}, Motion::LineEnd, {2, firstWrapped.textLength() - 1}}, // before the wrap
        {{0, 1}, Motion::NextLine, {1, 1}},
        {{0, 4}, Motion::NextLine, {1, 2}}, // a shorter line: its end
        {{2, 1}, Motion::NextLine, {2, firstWrapped.textLength() + 1}},
        {{0, 1}, Motion::PreviousLine, {0, 0}}, // above the first line: the start
        {{4, 1}, Motion::NextLine, {4, 3}},     // below the last: the end
        {{1, 1}, Motion::TextEnd, {4, 3}},
    };
    for (const auto& test : cases) {
        int goalX = -1;
        EXPECT_EQ(rows.moved(test.from, test.motion, 3, goalX), test.to)
            << test.from.row << ":" << test.from.column << " motion " << static_cast<int>(test.motion);
    }

    const struct {
        CheckTextPosition caret;
        bool back;
        CheckTextPosition end;
    } deletions[] = {
        {{1, 0}, true, {0, 5}},
        {{0, 5}, false, {1, 0}},
        {{3, 0}, true, {2, CheckText::RowLength - 1}}, // no break between the rows of one line
        {{2, CheckText::RowLength}, false, {3, 1}},
        {{0, 0}, true, {0, 0}},
        {{4, 3}, false, {4, 3}},
    };
    for (const auto& test : deletions) {
        EXPECT_EQ(rows.deletionEnd(test.caret, test.back), test.end)
            << test.caret.row << ":" << test.caret.column;
    }

    // The top that shows the last line at the bottom of three lines' height, and never above a given stop.
    const ScreenLine last = rows.lineOf(text.end());
    const int lineHeight = rows.height(last);
    EXPECT_EQ(rows.topFilling(last, 3 * lineHeight), (ScreenLine{2, rows.layout(2).lineCount() - 1}));
    EXPECT_EQ(rows.topFilling(last, 3 * lineHeight, {4, 0}), (ScreenLine{4, 0}));
    EXPECT_TRUE(rows.reachesPast({3, 0}, lineHeight));
    EXPECT_FALSE(rows.reachesPast({3, 0}, 3 * lineHeight));
}

class CheckViewTest : public ::testing::Test {
  protected:
    CheckViewTest() {
        view_.resize(400, 200);
        view_.show();
        view_.setFocus();
    }
    void Keys(std::initializer_list<QKeyCombination> keys) {
        for (const QKeyCombination key : keys) {
            QTest::keyClick(&view_, key.key(), key.keyboardModifiers());
        }
    }
    CheckView view_;
};

TEST_F(CheckViewTest, EditsLikeATextBox) {
    view_.setText(u"たろう> abc\r\nはなこ> de");
    Keys({Qt::Key_Down, Qt::Key_Home, Qt::Key_Backspace}); // joins the two lines
    EXPECT_EQ(view_.toPlainText(), "たろう> abcはなこ> de");
    Keys({Qt::Key_Delete, Qt::Key_Delete, Qt::Key_Delete});
    QTest::keyClicks(&view_, "Z");
    EXPECT_EQ(view_.toPlainText(), "たろう> abcZ> de");
    Keys({Qt::Key_Return, Qt::Key_Enter});
    EXPECT_EQ(view_.toPlainText(), "たろう> abcZ> de") << "Enter puts no line break";
    Keys({Qt::Key_End | Qt::ControlModifier, Qt::Key_Backspace});
    EXPECT_EQ(view_.toPlainText(), "たろう> abcZ> d");
    QInputMethodEvent composing("はな", {});
    QApplication::sendEvent(&view_, &composing);
    EXPECT_EQ(view_.toPlainText(), "たろう> abcZ> d") << "a word being composed is not text yet";
    QInputMethodEvent committed;
    committed.setCommitString("花");
    QApplication::sendEvent(&view_, &committed);
    EXPECT_EQ(view_.toPlainText(), "たろう> abcZ> d花");

    view_.setText(u"ab\r\ncd");
    Keys({Qt::Key_End, Qt::Key_Right | Qt::ShiftModifier, Qt::Key_Right | Qt::ShiftModifier});
    EXPECT_EQ(view_.SelectedText(), "\r\nc");
    view_.PasteText("1\r\n2345678901234");
    EXPECT_EQ(view_.toPlainText(), "ab1\n2345678d") << "ten characters, CR LF counting two";
    Keys({Qt::Key_A | Qt::ControlModifier});
    EXPECT_EQ(view_.SelectedText(), "ab1\r\n23456");
    Keys({Qt::Key_X | Qt::ControlModifier});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "ab1\n2345678d") << "a cut takes the whole selection";
    EXPECT_EQ(view_.toPlainText(), "");
}

TEST_F(CheckViewTest, ShowsAndReachesEveryRowOfALargeText) {
    view_.setText(Lines(200000).toStdU16String());
    QScrollBar* bar = view_.verticalScrollBar();
    EXPECT_GT(bar->maximum(), 199980);
    QCoreApplication::processEvents(); // the scroll area shows its bar on a queued signal
    EXPECT_TRUE(bar->isVisible());
    Keys({Qt::Key_End | Qt::ControlModifier});
    EXPECT_EQ(view_.caret(), (CheckTextPosition{200000, 0}));
    EXPECT_EQ(bar->value(), bar->maximum()) << "the caret is scrolled into view";
    Keys({Qt::Key_PageUp, Qt::Key_Up});
    EXPECT_LT(view_.caret().row, 199990);
    EXPECT_LE(bar->value(), view_.caret().row);

    // Scrolled into the wrapped lines of one long row, then widened so that it wraps into fewer.
    view_.setText(std::u16string(1000, u'あ'));
    Keys({Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown});
    view_.resize(1600, 200);
    view_.viewport()->repaint();
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_GT(view_.caret().column, 0) << "the top line shown is one of the row's last";

    // The wheel scrolls through the lines of a row taller than the view, and no further than its end.
    const auto wheel = [this](int notches) {
        QWheelEvent event(QPointF(10, 10), view_.mapToGlobal(QPointF(10, 10)), {},
                          {0, notches * QWheelEvent::DefaultDeltasPerStep}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view_.viewport(), &event);
    };
    view_.resize(400, 200);
    view_.setText(std::u16string(1000, u'あ'));
    wheel(-1);
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, QPoint(6, 6));
    const int scrolledOnce = view_.caret().column;
    EXPECT_GT(scrolledOnce, 0);
    wheel(-1000);
    const auto clickedColumn = [this](int y) {
        QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, QPoint(6, y));
        return view_.caret().column;
    };
    const int bottom = clickedColumn(view_.viewport()->height() - 6);
    EXPECT_GT(bottom, 900) << "the row's last line is at the bottom of the view";
    EXPECT_LT(clickedColumn(6), bottom) << "and the view is full above it";
    wheel(1000);
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(view_.caret().column, 0);

    // A click picks the row under the pointer; a drag selects from there.
    view_.setText(u"one\r\ntwo\r\nthree");
    const int line = view_.fontMetrics().lineSpacing();
    QTest::mousePress(view_.viewport(), Qt::LeftButton, {}, QPoint(6, 4 + line + line / 2));
    QTest::mouseMove(view_.viewport(), QPoint(200, 4 + 2 * line + line / 2));
    QTest::mouseRelease(view_.viewport(), Qt::LeftButton, {}, QPoint(200, 4 + 2 * line + line / 2));
    EXPECT_EQ(view_.SelectedText(), "two\r\nthree");
}

TEST_F(CheckViewTest, AScreenReaderReadsTheRowsOnScreenAndMovesTheCaret) {
    view_.setText(Lines(200000).toStdU16String());
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&view_);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->role(), QAccessible::EditableText);
    QAccessibleTextInterface* text = view->textInterface();
    ASSERT_NE(text, nullptr);
    const int shown = static_cast<int>(view_.lastRowShown() + 1);
    EXPECT_GT(shown, 2);
    EXPECT_LT(shown, 1000) << "the rows on screen, not the whole text";
    EXPECT_EQ(text->text(0, text->characterCount()), Lines(shown).chopped(2).replace("\r\n", "\n"));

    text->setCursorPosition(5); // "0\n1\n2": the start of row 2
    EXPECT_EQ(view_.caret(), (CheckTextPosition{2, 1}));
    Keys({Qt::Key_Down});
    EXPECT_EQ(text->cursorPosition(), 7);
    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end).trimmed(),
              "3");
    // A point names the character drawn there.
    for (const int offset : {0, 5, 6}) {
        EXPECT_EQ(text->offsetAtPoint(text->characterRect(offset).center()), offset);
    }
    text->setSelection(0, 2, 5);
    EXPECT_EQ(view_.SelectedText(), "1\r\n2");
    text->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(2, 5));

    // Scrolled to the end, the text is the last rows, the caret after the last.
    Keys({Qt::Key_End | Qt::ControlModifier});
    EXPECT_GT(view_.firstRowShown(), 199000);
    EXPECT_EQ(text->cursorPosition(), text->characterCount());
    EXPECT_TRUE(text->text(0, text->characterCount()).endsWith("8\n9\n"));
}

} // namespace
} // namespace parlowen
