#include "LogFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace parlowen;

TEST(LogFilesTest, FolderEndsInExactlyOneSeparator) {
    EXPECT_EQ(WithTrailingSeparator("/opt/parlowen").toStdString(), "/opt/parlowen/");
    EXPECT_EQ(WithTrailingSeparator("/opt/parlowen/").toStdString(), "/opt/parlowen/");
    EXPECT_EQ(WithTrailingSeparator("/").toStdString(), "/");
}

TEST(LogFilesTest, ListsTheTxtFilesSortedWithoutCaseAndNothingElse) {
    QTemporaryDir folder;
    for (const char* name : {"b.txt", "A.TXT", "c.Txt", "B.txt", "notes.md", "a.txt.bak", "atxt", ".txt"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.txt"));
    EXPECT_EQ(ListLogFiles(folder.path() + "/").join(',').toStdString(), ".txt,A.TXT,B.txt,b.txt,c.Txt");
    EXPECT_TRUE(ListLogFiles(folder.filePath("missing")).isEmpty());
}

TEST(LogFilesTest, PageBaseNameDropsTheLastFourCharacters) {
    EXPECT_EQ(PageBaseName("chat.txt").toStdString(), "chat");
    EXPECT_EQ(PageBaseName(u"ログ.TXT"_qs), u"ログ"_qs);
    EXPECT_EQ(PageBaseName("ab").toStdString(), "");
}
