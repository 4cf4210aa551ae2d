#include "QtMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using CloseBox = std::function<void(QMessageBox&)>;

// What the box showed, "title|text|icon|role:button|role:button", once it is up; then closes it.
void WhenShown(QString& seen, CloseBox close) {
    QTimer::singleShot(0, [&seen, close] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->windowTitle() + '|' + box->text() + '|' + QString::number(box->icon());
        QStringList buttons;
        for (QAbstractButton* button : box->buttons()) {
            buttons << QString::number(box->buttonRole(button)) + ':' + button->text();
        }
        buttons.sort(); // the order on screen is the platform's
        seen += '|' + buttons.join('|');
        close(*box);
    });
}

TEST(QtMessageBoxesTest, QuestionsAreOkOrCancelInJapaneseWithoutIcon) {
    InstallProgramLocale();
    parlowen::QtMessageBoxes boxes;
    const std::pair<CloseBox, bool> ways[] = {
        {[](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); }, true},
        {[](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, true},
        {[](QMessageBox& box) { box.button(QMessageBox::Cancel)->click(); }, false},
        {[](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, false},
        {[](QMessageBox& box) { box.close(); }, false},
    };
    for (const auto& [close, answer] : ways) {
        QString seen;
        WhenShown(seen, close);
        EXPECT_EQ(boxes.AskOkCancel("Message:Log Change & Save", u"一行目\r\n二行目"_qs), answer);
        EXPECT_EQ(seen, u"Message:Log Change & Save|一行目\n二行目|0|0:OK|1:キャンセル"_qs);
    }
    QString seen;
    WhenShown(seen, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    boxes.ShowNotice("Complete Massage", "Text change complete!");
    EXPECT_EQ(seen, "Complete Massage|Text change complete!|0|0:OK");
}

// Regression: the convert warning and the write failure notice were wrapped at 500 pixels, leaving "す。" or
// "ん。" alone on the last line. Now the box takes the width of the text, and a line too long for any box is
// broken after a sentence: the text is kept, and no line is wrapped short of its end.
TEST(QtMessageBoxesTest, LongNoticesKeepTheirTextAndAreNotWrappedShortOfALineEnd) {
    InstallProgramLocale();
    QWidget owner;
    parlowen::QtMessageBoxes boxes;
    boxes.SetOwner(&owner);
    const QString written =
        u"」に書き込めませんでした。元のファイルは変更されていません。\r\nアクセスが許可されていません。"_qs;
    const QString texts[] = {
        u"変換すると、元のテキストファイルは失われ、変換後のファイルに置き換えられます。\r\nよろしいですか？"_qs,
        u"「/home/hanako/log.txt"_qs + written,
        u"「/home/hanako/チャットログ/２０２６年１２月/ともだちとの会話.html"_qs + written,
    };
    for (const QString& text : texts) {
        QString shown;
        int wrappedHeight = 0, unwrappedHeight = 0;
        QWidget* parent = nullptr;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            auto* label = box->findChild<QLabel*>("qt_msgbox_label");
            ASSERT_NE(label, nullptr);
            shown = label->text();
            parent = box->parentWidget();
            // As the label lays its text out: at its width, and without any width limit.
            const QFontMetrics metrics(label->font());
            wrappedHeight =
                metrics
                    .boundingRect(QRect(0, 0, label->contentsRect().width(), 100000), Qt::TextWordWrap, shown)
                    .height();
            unwrappedHeight = metrics.boundingRect(QRect(0, 0, 100000, 100000), 0, shown).height();
            box->close();
        });
        boxes.ShowNotice("Err:File write", text);
        EXPECT_EQ(parent, &owner) << "with no active window the box belongs to the main window";
        QString joined = shown;
        EXPECT_EQ(joined.remove('\n'), QString(text).remove("\r\n"));
        for (qsizetype at = shown.indexOf('\n'); at >= 0; at = shown.indexOf('\n', at + 1)) {
            EXPECT_TRUE(shown.left(at).endsWith(u'。') || shown.left(at).endsWith(u'？'))
                << shown.toStdString();
        }
        EXPECT_EQ(wrappedHeight, unwrappedHeight) << shown.toStdString();
    }
}

} // namespace

// Regression: a short notice made a box so narrow that the window manager cut its title ("Com... ge").
TEST(QtMessageBoxesTest, AShortNoticeLeavesItsTitleRoom) {
    InstallProgramLocale();
    parlowen::QtMessageBoxes boxes;
    for (const char* title : {"Complete Massage", "Message:HTML Change & Save"}) {
        int boxWidth = 0, needed = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QFont bold = box->font();
            bold.setBold(true);
            // The title in bold, and a close, a maximise and a minimise button each a line high.
            needed = QFontMetrics(bold).horizontalAdvance(title) + 3 * QFontMetrics(box->font()).height();
            boxWidth = box->sizeHint().width();
            box->close();
        });
        boxes.ShowNotice(title, "OK");
        EXPECT_GT(boxWidth, needed) << title;
    }
}
