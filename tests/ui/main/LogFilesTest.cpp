#include "LogFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace parlowen;

namespace {

// Creates a file by the very bytes of its name, whatever the file system's encoding.
void CreateByBytes(const QString& folder, const QByteArray& name) {
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(descriptor, 0) << path.toStdString();
    ::close(descriptor);
}

QString Shown(const std::vector<LogFileName>& names) {
    QStringList shown;
    for (const LogFileName& name : names) {
        shown << name.shown;
    }
    return shown.join(',');
}

} // namespace

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
    EXPECT_EQ(Shown(ListLogFiles(folder.path() + "/")).toStdString(), ".txt,A.TXT,B.txt,b.txt,c.Txt");
    EXPECT_TRUE(ListLogFiles(folder.filePath("missing")).empty());
}

// A log copied from Windows keeps its Shift-JIS name; a folder of nothing else once listed nothing.
TEST(LogFilesTest, NamesThatAreNotUtf8AreShownAsShiftJisAndKeepTheirBytes) {
    QTemporaryDir folder;
    const QByteArray shiftJis("\x89\xEF\x98\x62\x83\x8D\x83\x4F.txt"); // 会話ログ.txt
    const QByteArray utf8 = u"ログ.txt"_qs.toUtf8();
    const QByteArray neither("\x80\xFF.txt"); // bytes no encoding makes a character of
    for (const QByteArray& name : {shiftJis, utf8, neither}) {
        CreateByBytes(folder.path(), name);
    }
    const std::vector<LogFileName> names = ListLogFiles(folder.path() + "/");
    ASSERT_EQ(names.size(), 3u);
    auto shownFor = [&](const QByteArray& native) {
        for (const LogFileName& name : names) {
            if (name.native == native) {
                return name.shown;
            }
        }
        return QStringLiteral("(not listed)");
    };
    EXPECT_EQ(shownFor(utf8), u"ログ.txt"_qs);
    EXPECT_EQ(shownFor(shiftJis), u"会話ログ.txt"_qs);
    EXPECT_TRUE(shownFor(neither).endsWith(".txt"));
}

TEST(LogFilesTest, PageNamesDropTheLastFourCharactersOrBytes) {
    EXPECT_EQ(PageBaseName("chat.txt").toStdString(), "chat");
    EXPECT_EQ(PageBaseName(u"ログ.TXT"_qs), u"ログ"_qs);
    EXPECT_EQ(PageBaseName("ab").toStdString(), "");
    EXPECT_EQ(PageFileName("\x89\xEF\x98\x62.txt"), QByteArray("\x89\xEF\x98\x62.html"));
    EXPECT_EQ(PageFileName("ab"), QByteArray(".html"));
}
