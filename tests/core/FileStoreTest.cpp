#include "FileStore.h"
#include "MappedFile.h"
#include "ReplacementFile.h"

#include "ScriptedWindow.h"

#include "RenameSeam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <sys/mount.h>
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

TEST(ReplacementFile, KeepsPermissionBits) {
    TemporaryFolder folder;
    folder.Write("log.txt", "old");
    ::chmod(folder.Path("log.txt").c_str(), 0640);
    ASSERT_TRUE(ReplacementFile::WriteWhole(folder.Path("log.txt"), {"new"}).Ok());
    EXPECT_EQ(folder.Read("log.txt"), "new");
    EXPECT_EQ(Mode(folder.Path("log.txt")), 0640u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"});
}

TEST(ReplacementFile, CreatesAMissingFile) {
    TemporaryFolder folder;
    ASSERT_TRUE(ReplacementFile::WriteWhole(folder.Path("page.html"), {"<html>"}).Ok());
    EXPECT_EQ(folder.Read("page.html"), "<html>");
}

// Regression: the page was written through a link at its name, onto the file the link named.
TEST(ReplacementFile, RefusesASymbolicLinkAndWritesNothingThroughIt) {
    TemporaryFolder folder;
    std::filesystem::create_directory(folder.Path("logs"));
    folder.Write("logs/real.txt", "old");
    std::filesystem::create_symlink("logs/real.txt", folder.Path("link.txt"));
    EXPECT_EQ(ReplacementFile::WriteWhole(folder.Path("link.txt"), {"new"}).kind, FileStatus::Kind::NotAFile);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path("link.txt")));
    EXPECT_EQ(folder.Read("logs/real.txt"), "old");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"link.txt", "logs"}));
}

TEST(ReplacementFile, RefusesReadOnlyFilesAndFolders) {
    TemporaryFolder folder;
    folder.Write("log.txt", "old");
    ::chmod(folder.Path("log.txt").c_str(), 0444);
    EXPECT_EQ(ReplacementFile::WriteWhole(folder.Path("log.txt"), {"new"}).kind, FileStatus::Kind::ReadOnly);
    EXPECT_EQ(folder.Read("log.txt"), "old");

    std::filesystem::create_directory(folder.Path("dir.txt"));
    EXPECT_EQ(ReplacementFile::WriteWhole(folder.Path("dir.txt"), {"new"}).kind, FileStatus::Kind::NotAFile);
    MappedFile mapped;
    EXPECT_EQ(MappedFile::Open(folder.Path("dir.txt"), mapped).kind, FileStatus::Kind::NotAFile);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"dir.txt", "log.txt"}));
}

// Regression: a named pipe where the log was made the read wait for a writer, and the window hung.
TEST(ReplacementFile, NamedPipeIsRefusedWithoutWaitingForAWriter) {
    TemporaryFolder folder;
    ASSERT_EQ(::mkfifo(folder.Path("log.txt").c_str(), 0666), 0);
    MappedFile mapped;
    EXPECT_EQ(MappedFile::Open(folder.Path("log.txt"), mapped).kind, FileStatus::Kind::NotAFile);
    EXPECT_EQ(mapped.Bytes(), "");
    EXPECT_EQ(ReplacementFile::WriteWhole(folder.Path("log.txt"), {"new"}).kind, FileStatus::Kind::NotAFile);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"});
}

// A disk that fills up in the middle of the write: the limit stops the new content part-way, and the log
// must still hold every old byte, with no temporary file left behind.
TEST(ReplacementFile, WriteFailingPartWayLeavesTheOldFile) {
    TemporaryFolder folder;
    const std::string old(10000, 'o');
    folder.Write("log.txt", old);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const FileStatus status =
            ReplacementFile::WriteWhole(folder.Path("log.txt"), {std::string(20000, 'n')});
        ::_exit(status.kind == FileStatus::Kind::System && status.errorNumber == EFBIG ? 0 : 1);
    }
    int wait = 0;
    ASSERT_EQ(::waitpid(child, &wait, 0), child);
    ASSERT_TRUE(WIFEXITED(wait));
    EXPECT_EQ(WEXITSTATUS(wait), 0) << "the write did not fail with EFBIG";
    EXPECT_EQ(folder.Read("log.txt"), old);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"});
}

// Small pieces are gathered and large ones written where they lie: the file holds them all in order.
TEST(ReplacementFile, PiecesOfEverySizeArriveInOrder) {
    TemporaryFolder folder;
    std::string expected;
    ReplacementFile file;
    ASSERT_TRUE(ReplacementFile::Create(folder.Path("page.html"), file).Ok());
    for (const std::size_t size : {10, 200000, 3, 1 << 20, 500000, 7, 9 << 20, 131072, 131071, 1}) {
        const std::string piece(size, static_cast<char>('a' + expected.size() % 26));
        expected += piece;
        ASSERT_TRUE(file.Append(piece).Ok());
    }
    ASSERT_TRUE(file.Commit().Ok());
    EXPECT_EQ(folder.Read("page.html"), expected);
}

// The check view reads a page through the file it was written to, whatever later takes the page's name; a
// temporary name that someone else's file has taken is not read.
TEST(ReplacementFile, IsReadBackThroughTheFileWrittenNotThroughItsName) {
    TemporaryFolder folder;
    ReplacementFile file;
    ASSERT_TRUE(ReplacementFile::Create(folder.Path("page.html"), file).Ok());
    FileDescriptor reader;
    ASSERT_TRUE(file.OpenForReading(reader).Ok());
    ASSERT_TRUE(file.Append("first page").Ok());
    ASSERT_TRUE(file.Commit().Ok());
    ASSERT_TRUE(ReplacementFile::WriteWhole(folder.Path("page.html"), {"second"}).Ok());
    char read[16] = {};
    EXPECT_EQ(std::string(read, static_cast<std::size_t>(::pread(reader.Get(), read, sizeof read, 0))),
              "first page");

    ReplacementFile swapped;
    ASSERT_TRUE(ReplacementFile::Create(folder.Path("page.html"), swapped).Ok());
    const std::vector<std::string> names = folder.Names();
    const auto temporary = std::find_if(names.begin(), names.end(), [](const std::string& name) {
        return name.size() == ReplacementFile::TemporaryNameLength;
    });
    ASSERT_NE(temporary, names.end());
    folder.Write("other.txt", "someone else's");
    std::filesystem::rename(folder.Path("other.txt"), folder.Path(*temporary));
    EXPECT_EQ(swapped.OpenForReading(reader).kind, FileStatus::Kind::Changed);
    std::filesystem::remove(folder.Path(*temporary));
    std::filesystem::create_symlink(folder.Path("page.html"), folder.Path(*temporary));
    EXPECT_FALSE(swapped.OpenForReading(reader).Ok());
}

TEST(FileStore, DescribesFailuresInJapanese) {
    EXPECT_EQ(DescribeFailure(FileStatus::FromErrno(ENOENT)), u"ファイルが見つかりません。");
    EXPECT_EQ(DescribeFailure(FileStatus::FromErrno(ENOSPC)), u"ディスクの空き容量が足りません。");
    EXPECT_EQ(DescribeFailure({FileStatus::Kind::ReadOnly, 0}), u"読み取り専用のファイルです。");
    EXPECT_EQ(DescribeFailure(FileStatus::FromErrno(ENOMEM)), u"メモリが足りません。");
    // An unusual error still names itself rather than showing nothing.
    EXPECT_NE(DescribeFailure(FileStatus::FromErrno(ELOOP)).find(u"システムエラー"), std::u16string::npos);
}

// The process is killed between its complete temporary file and the rename: the log is still all old, and
// the file it left is removed by the next replacement, which writes the log whole.
TEST(ReplacementFile, KilledBeforeTheRenameLeavesTheOldFileAndTheNextWriteCleansUp) {
    TemporaryFolder folder;
    const std::string old = "A\r\nB\r\n";
    const std::string next(100000, 'n');
    folder.Write("log.txt", old);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        StopBeforeRename();
        ReplacementFile::WriteWhole(folder.Path("log.txt"), {next});
        ::_exit(0);
    }
    int wait = 0;
    ASSERT_EQ(::waitpid(child, &wait, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(wait)) << "the child did not reach the rename";
    char process[9];
    std::snprintf(process, sizeof process, "%08x", static_cast<unsigned>(child));
    const std::string leftover = std::string(".parlowen-") + process;
    std::vector<std::string> names = folder.Names();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].substr(0, leftover.size()), leftover);
    EXPECT_EQ(names[0].size(), ReplacementFile::TemporaryNameLength);
    EXPECT_EQ(folder.Read(names[0]), next) << "the temporary file is not complete before the rename";
    EXPECT_EQ(folder.Read("log.txt"), old);

    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, &wait, 0), child);
    ASSERT_TRUE(WIFSIGNALED(wait));
    EXPECT_EQ(folder.Read("log.txt"), old);
    EXPECT_EQ(folder.Names(), names)
        << "the killed process's temporary file is there until the next replacement";

    ASSERT_TRUE(ReplacementFile::WriteWhole(folder.Path("log.txt"), {"C\r\n"}).Ok());
    EXPECT_EQ(folder.Read("log.txt"), "C\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"});
}

// Only a leftover of ours whose process has ended goes: another program's file, a name that is not quite
// ours and the temporary file of a process that still runs all stay.
TEST(ReplacementFile, RemovesOnlyLeftoversOfEndedProcesses) {
    TemporaryFolder folder;
    const pid_t ended = ::fork();
    ASSERT_GE(ended, 0);
    if (ended == 0) {
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    auto hex = [](pid_t process) {
        char text[9];
        std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(process));
        return std::string(text);
    };
    const std::string dead = hex(ended);
    const std::string alive = hex(::getpid());
    struct Case {
        std::string name;
        bool stays;
    };
    const Case cases[] = {
        {".parlowen-" + dead + "0000abcd.tmp", false},
        {".parlowen-" + dead + "ffffffff.tmp", false},
        {".parlowen-" + alive + "0000abcd.tmp", true},
        {".parlowen-" + dead + "0000abc.tmp", true},
        {".parlowen-" + dead + "0000abcg.tmp", true},
        {".parlowen-" + dead + "0000ABCD.tmp", true},
        {"parlowen-" + dead + "0000abcd.tmp", true},
        {".parlowen-" + dead + "0000abcd.tmp.bak", true},
        {".log.txt.12-123.tmp", true},
    };
    for (const Case& c : cases) {
        folder.Write(c.name, "left");
    }
    folder.Write("log.txt", "old");
    ASSERT_TRUE(ReplacementFile::WriteWhole(folder.Path("log.txt"), {"new"}).Ok());
    const std::vector<std::string> names = folder.Names();
    for (const Case& c : cases) {
        EXPECT_EQ(std::count(names.begin(), names.end(), c.name), c.stays ? 1 : 0) << c.name;
    }
    EXPECT_EQ(folder.Read("log.txt"), "new");
}

// A disk that is really full, made as a small tmpfs: the old log and nothing else is left.
TEST(ReplacementFile, FullDiskLeavesTheOldFile) {
    TemporaryFolder folder;
    std::filesystem::create_directory(folder.Path("disk"));
    if (::mount("tmpfs", folder.Path("disk").c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "), so no full disk can be made";
    }
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{folder.Path("disk")};
    const std::string old(20000, 'o');
    folder.Write("disk/log.txt", old);
    const FileStatus status =
        ReplacementFile::WriteWhole(folder.Path("disk/log.txt"), {std::string(60000, 'n')});
    EXPECT_EQ(status.kind, FileStatus::Kind::System);
    EXPECT_EQ(status.errorNumber, ENOSPC);
    EXPECT_EQ(folder.Read("disk/log.txt"), old);
    EXPECT_EQ(std::filesystem::directory_iterator(folder.Path("disk"))->path().filename(), "log.txt");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path("disk")),
                            std::filesystem::directory_iterator()),
              1);
}

// A folder that the user may not write: the temporary file cannot be made, so the log stays as it was.
TEST(ReplacementFile, ReadOnlyFolderRefusesAnUnprivilegedUser) {
    TemporaryFolder folder;
    folder.Write("log.txt", "old");
    ::chmod(folder.Path("log.txt").c_str(), 0666);
    ::chmod(folder.Path("").c_str(), 0555);
    const int exit = InChild([&] {
        if (!BecomeNobody()) {
            return 2;
        }
        const FileStatus status = ReplacementFile::WriteWhole(folder.Path("log.txt"), {"new"});
        return status.kind == FileStatus::Kind::System && status.errorNumber == EACCES ? 0 : 1;
    });
    EXPECT_EQ(exit, 0) << "2: could not become nobody, 1: the write was not refused with EACCES";
    EXPECT_EQ(folder.Read("log.txt"), "old");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"log.txt"});
}

// What is at the page's name decides: nothing or a page of our own is replaced; a link (to the log, to
// another file or to nothing) or a second name of the log is refused, and neither it nor what it points to
// changes. Folders, named pipes and read-only pages are refused in the tests above.
TEST(ReplacementFile, NeverWritesThroughWhatIsAtTheTarget) {
    struct Case {
        const char* name;
        std::function<void(const TemporaryFolder&)> place;
        FileStatus::Kind refusal; // Ok: the page is written
    };
    const Case cases[] = {
        {"nothing", [](const TemporaryFolder&) {}, FileStatus::Kind::Ok},
        {"an old page", [](const TemporaryFolder& f) { f.Write("b.html", "old page"); },
         FileStatus::Kind::Ok},
        {"a link to the log",
         [](const TemporaryFolder& f) { std::filesystem::create_symlink("b.txt", f.Path("b.html")); },
         FileStatus::Kind::NotAFile},
        {"a link to another file",
         [](const TemporaryFolder& f) {
             f.Write("other", "other");
             std::filesystem::create_symlink(f.Path("other"), f.Path("b.html"));
         },
         FileStatus::Kind::NotAFile},
        {"a dangling link",
         [](const TemporaryFolder& f) { std::filesystem::create_symlink("gone", f.Path("b.html")); },
         FileStatus::Kind::NotAFile},
        {"a second name of the log",
         [](const TemporaryFolder& f) {
             std::filesystem::create_hard_link(f.Path("b.txt"), f.Path("b.html"));
         },
         FileStatus::Kind::Linked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder;
        folder.Write("b.txt", "log");
        c.place(folder);
        const std::vector<std::string> before = folder.Names();
        const FileStatus status = ReplacementFile::WriteWhole(folder.Path("b.html"), {"<html>", "</html>"});
        EXPECT_EQ(status.kind, c.refusal);
        EXPECT_EQ(folder.Read("b.txt"), "log");
        if (c.refusal == FileStatus::Kind::Ok) {
            EXPECT_EQ(folder.Read("b.html"), "<html></html>");
            EXPECT_EQ(folder.Names(), (std::vector<std::string>{"b.html", "b.txt"}));
        } else {
            EXPECT_EQ(folder.Names(), before);
        }
        if (std::filesystem::exists(folder.Path("other"))) {
            EXPECT_EQ(folder.Read("other"), "other");
        }
    }
}

// Regression: the temporary name was the target's name and more, so a name near the system's limit of 255
// bytes (80 Japanese characters) could not be written at all.
TEST(ReplacementFile, LongestNameAndModeOfANewFile) {
    TemporaryFolder folder;
    std::string name;
    while (name.size() + 3 <= 250) {
        name += "\xE3\x83\xAD"; // ロ in UTF-8
    }
    name += ".html";
    const mode_t mask = ::umask(027);
    const FileStatus status = ReplacementFile::WriteWhole(folder.Path(name), {"page"});
    ::umask(mask);
    ASSERT_TRUE(status.Ok()) << Narrow(DescribeFailure(status));
    EXPECT_EQ(folder.Read(name), "page");
    EXPECT_EQ(Mode(folder.Path(name)), 0640u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{name});
}

// A page put at the name while ours was being written is not replaced; a page that is abandoned leaves no
// temporary file.
TEST(ReplacementFile, AppearingTargetAndAbandonedFile) {
    TemporaryFolder folder;
    {
        ReplacementFile file;
        ASSERT_TRUE(ReplacementFile::Create(folder.Path("p.html"), file).Ok());
        ASSERT_TRUE(file.Append("mine").Ok());
        folder.Write("p.html", "theirs");
        EXPECT_EQ(file.Commit().errorNumber, EEXIST);
    }
    EXPECT_EQ(folder.Read("p.html"), "theirs");
    {
        ReplacementFile file;
        ASSERT_TRUE(ReplacementFile::Create(folder.Path("q.html"), file).Ok());
        ASSERT_TRUE(file.Append("never committed").Ok());
    }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"p.html"});
}

} // namespace
} // namespace parlowen
