#include "FileStore.h"

#include "ScriptedWindow.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parlowen {
namespace {

mode_t Mode(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(FileStore, ReplaceKeepsPermissionBits) {
    TemporaryFolder folder;
    folder.Write("log.txt", "old");
    ::chmod(folder.Path("log.txt").c_str(), 0640);
    ASSERT_TRUE(FileStore::Replace(folder.Path("log.txt"), "new").Ok());
    EXPECT_EQ(folder.Read("log.txt"), "new");
    EXPECT_EQ(Mode(folder.Path("log.txt")), 0640u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"});
}

TEST(FileStore, ReplaceCreatesAMissingFile) {
    TemporaryFolder folder;
    ASSERT_TRUE(FileStore::Replace(folder.Path("page.html"), "<html>").Ok());
    EXPECT_EQ(folder.Read("page.html"), "<html>");
}

TEST(FileStore, ReplaceWritesThroughASymbolicLink) {
    TemporaryFolder folder;
    std::filesystem::create_directory(folder.Path("logs"));
    folder.Write("logs/real.txt", "old");
    std::filesystem::create_symlink("logs/real.txt", folder.Path("link.txt"));
    ASSERT_TRUE(FileStore::Replace(folder.Path("link.txt"), "new").Ok());
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path("link.txt")));
    EXPECT_EQ(folder.Read("logs/real.txt"), "new");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"link.txt", "logs"}));
}

TEST(FileStore, RefusesReadOnlyFilesAndFolders) {
    TemporaryFolder folder;
    folder.Write("log.txt", "old");
    ::chmod(folder.Path("log.txt").c_str(), 0444);
    EXPECT_EQ(FileStore::Replace(folder.Path("log.txt"), "new").kind, FileStatus::Kind::ReadOnly);
    EXPECT_EQ(folder.Read("log.txt"), "old");

    std::filesystem::create_directory(folder.Path("dir.txt"));
    EXPECT_EQ(FileStore::Replace(folder.Path("dir.txt"), "new").kind, FileStatus::Kind::NotAFile);
    std::string bytes;
    EXPECT_EQ(FileStore::ReadAll(folder.Path("dir.txt"), bytes).kind, FileStatus::Kind::NotAFile);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"dir.txt", "log.txt"}));
}

// A disk that fills up in the middle of the write: the limit stops the new content part-way, and the log
// must still hold every old byte, with no temporary file left behind.
TEST(FileStore, WriteFailingPartWayLeavesTheOldFile) {
    TemporaryFolder folder;
    const std::string old(10000, 'o');
    folder.Write("log.txt", old);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const FileStatus status = FileStore::Replace(folder.Path("log.txt"), std::string(20000, 'n'));
        ::_exit(status.kind == FileStatus::Kind::System && status.errorNumber == EFBIG ? 0 : 1);
    }
    int wait = 0;
    ASSERT_EQ(::waitpid(child, &wait, 0), child);
    ASSERT_TRUE(WIFEXITED(wait));
    EXPECT_EQ(WEXITSTATUS(wait), 0) << "the write did not fail with EFBIG";
    EXPECT_EQ(folder.Read("log.txt"), old);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"});
}

TEST(FileStore, DescribesFailuresInJapanese) {
    EXPECT_EQ(DescribeFailure(FileStatus::FromErrno(ENOENT)), u"ファイルが見つかりません。");
    EXPECT_EQ(DescribeFailure(FileStatus::FromErrno(ENOSPC)), u"ディスクの空き容量が足りません。");
    EXPECT_EQ(DescribeFailure({FileStatus::Kind::ReadOnly, 0}), u"読み取り専用のファイルです。");
    // An unusual error still names itself rather than showing nothing.
    EXPECT_NE(DescribeFailure(FileStatus::FromErrno(ELOOP)).find(u"システムエラー"), std::u16string::npos);
}

} // namespace
} // namespace parlowen
