#include "QtMessageBoxes.h"
#include "ui/UiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
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

} // namespace
