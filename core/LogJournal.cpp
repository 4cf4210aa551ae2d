#include "LogJournal.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#include <utility>

namespace parlowen {
namespace {

// The header: a magic text, the log's device, inode and new size, the length of its path and a check of all
// of these and the path, so that a file that is not a whole journal is never taken for one. The path and
// the new bytes follow.
constexpr char Magic[16] = {'P', 'A', 'R', 'L', 'O', 'W', 'E', 'N', '-', 'R', 'E', 'D', 'O', '-', '1', '\n'};
constexpr std::size_t HeaderSize = 64;
constexpr std::size_t PieceSize = 1 << 20;
constexpr std::string_view JournalSuffix = ".journal";
constexpr std::string_view TemporarySuffix = ".tmp";
// "DDDDDDDDDDDDDDDD-IIIIIIIIIIIIIIII": device and inode in hex, so that any log name fits.
constexpr std::size_t KeyLength = 33;

struct Header {
    char magic[16];
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t size;
    std::uint64_t pathLength;
    std::uint64_t check;
    std::uint64_t unused;
};
static_assert(sizeof(Header) == HeaderSize);

// FNV-1a, 64 bits.
std::uint64_t Check(const Header& header, std::string_view path) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    auto mix = [&hash](const void* data, std::size_t size) {
        for (std::size_t index = 0; index < size; ++index) {
            hash = (hash ^ static_cast<const unsigned char*>(data)[index]) * 0x100000001b3ULL;
        }
    };
    mix(&header, offsetof(Header, check));
    mix(path.data(), path.size());
    return hash;
}

std::string Key(std::uint64_t device, std::uint64_t inode) {
    char key[KeyLength + 1];
    std::snprintf(key, sizeof key, "%016llx-%016llx", static_cast<unsigned long long>(device),
                  static_cast<unsigned long long>(inode));
    return key;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/";
}

FileStatus ReadAllAt(int descriptor, char* bytes, std::size_t size, std::uint64_t offset) {
    while (size > 0) {
        const ssize_t read = ::pread(descriptor, bytes, size, static_cast<off_t>(offset));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            return FileStatus::FromErrno(read < 0 ? errno : EIO);
        }
        bytes += read;
        size -= static_cast<std::size_t>(read);
        offset += static_cast<std::uint64_t>(read);
    }
    return {};
}

bool IsHex(std::string_view text) {
    return text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// A journal still being written by a process that has ended will never be finished: it is not valid, and
// goes. The name ends in the writing process's number.
void RemoveIfAbandoned(const std::string& folder, std::string_view name) {
    if (name.size() == KeyLength + 9 + TemporarySuffix.size() && name.ends_with(TemporarySuffix) &&
        name[KeyLength] == '-' && IsHex(name.substr(KeyLength + 1, 8)) &&
        FileStore::ProcessEnded(std::stoul(std::string(name.substr(KeyLength + 1, 8)), nullptr, 16))) {
        ::unlink((folder + "/" + std::string(name)).c_str());
    }
}

} // namespace

LogJournal::LogJournal() = default;
LogJournal::~LogJournal() = default;
LogJournal::LogJournal(LogJournal&& other) noexcept = default;
LogJournal& LogJournal::operator=(LogJournal&& other) noexcept = default;

std::string LogJournal::Folder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    // The XDG base directory rules ignore a relative path.
    const std::string base = state != nullptr && state[0] == '/' ? state : HomeFolder() + "/.local/state";
    return base + "/parlowen";
}

FileStatus LogJournal::PrepareFolder() {
    const std::string folder = Folder();
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return FileStatus::FromErrno(errno);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return FileStatus::FromErrno(errno);
    }
    return S_ISDIR(info.st_mode) ? FileStatus{} : FileStatus::FromErrno(ENOTDIR);
}

FileStatus LogJournal::Begin(const std::string& logPath, const struct stat& log, LogJournal& journal) {
    LogJournal begun;
    begun.logPath_ = logPath;
    begun.device_ = static_cast<std::uint64_t>(log.st_dev);
    begun.inode_ = static_cast<std::uint64_t>(log.st_ino);
    const std::string folder = Folder();
    for (const std::string& name : FileStore::FolderNames(folder)) {
        RemoveIfAbandoned(folder, name);
    }
    char process[10];
    std::snprintf(process, sizeof process, "-%08x", static_cast<unsigned>(::getpid()));
    const std::string path = folder + "/" + Key(begun.device_, begun.inode_) + process + ".tmp";
    begun.file_ = FileDescriptor(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!begun.file_.Valid()) {
        return FileStatus::FromErrno(errno);
    }
    begun.path_ = OwnedPath(path, true);
    begun.buffer_.assign(HeaderSize, '\0'); // written for real once the size is known
    begun.buffer_ += logPath;
    journal = std::move(begun);
    return {};
}

FileStatus LogJournal::Append(std::string_view bytes) {
    size_ += bytes.size();
    return FileStore::WriteBuffered(file_.Get(), buffer_, bytes);
}

FileStatus LogJournal::Seal() {
    if (FileStatus status = FileStore::WriteAll(file_.Get(), buffer_); !status.Ok()) {
        return status;
    }
    buffer_.clear();
    Header header{};
    std::memcpy(header.magic, Magic, sizeof Magic);
    header.device = device_;
    header.inode = inode_;
    header.size = size_;
    header.pathLength = logPath_.size();
    header.check = Check(header, logPath_);
    if (FileStatus status =
            FileStore::WriteAllAt(file_.Get(), {reinterpret_cast<const char*>(&header), sizeof header}, 0);
        !status.Ok()) {
        return status;
    }
    if (::fsync(file_.Get()) != 0) {
        return FileStatus::FromErrno(errno);
    }
    const std::string sealed = Folder() + "/" + Key(device_, inode_) + std::string(JournalSuffix);
    if (::rename(path_.Get().c_str(), sealed.c_str()) != 0) {
        return FileStatus::FromErrno(errno);
    }
    // Sealed, the journal outlives this run: a killed run's journal is what the next start redoes.
    path_.Forget();
    path_ = OwnedPath(sealed, false);
    // Until the rename is on the disk, a power cut could lose the journal after the log has changed.
    if (FileStatus status = FileStore::SyncFolder(Folder()); !status.Ok()) {
        Remove();
        return status;
    }
    return {};
}

FileStatus LogJournal::Apply(int logDescriptor, bool& started) const {
    started = false;
    if (size_ > 0 && ::fallocate(logDescriptor, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size_)) != 0 &&
        errno != EOPNOTSUPP) {
        return FileStatus::FromErrno(errno);
    }
    const std::uint64_t start = HeaderSize + logPath_.size();
    std::string piece(static_cast<std::size_t>(std::min<std::uint64_t>(PieceSize, size_)), '\0');
    for (std::uint64_t done = 0; done < size_;) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), size_ - done));
        if (FileStatus status = ReadAllAt(file_.Get(), piece.data(), count, start + done); !status.Ok()) {
            return status;
        }
        started = true;
        if (FileStatus status = FileStore::WriteAllAt(logDescriptor, {piece.data(), count}, done);
            !status.Ok()) {
            return status;
        }
        done += count;
    }
    started = true;
    if (::ftruncate(logDescriptor, static_cast<off_t>(size_)) != 0 || ::fsync(logDescriptor) != 0) {
        return FileStatus::FromErrno(errno);
    }
    return {};
}

FileStatus LogJournal::Remove() {
    if (path_.Empty()) {
        return {};
    }
    if (path_.Remove() != 0) {
        return FileStatus::FromErrno(errno);
    }
    return FileStore::SyncFolder(Folder());
}

bool LogJournal::OpenSealed(const std::string& journalPath, LogJournal& journal) {
    LogJournal opened;
    opened.file_ = FileDescriptor(::open(journalPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    struct stat info {};
    Header header{};
    if (!opened.file_.Valid() || ::fstat(opened.file_.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) < HeaderSize ||
        !ReadAllAt(opened.file_.Get(), reinterpret_cast<char*>(&header), HeaderSize, 0).Ok() ||
        std::memcmp(header.magic, Magic, sizeof Magic) != 0 ||
        header.pathLength > static_cast<std::uint64_t>(info.st_size) - HeaderSize ||
        header.size != static_cast<std::uint64_t>(info.st_size) - HeaderSize - header.pathLength) {
        return false;
    }
    opened.logPath_.resize(static_cast<std::size_t>(header.pathLength));
    if (!ReadAllAt(opened.file_.Get(), opened.logPath_.data(), opened.logPath_.size(), HeaderSize).Ok() ||
        Check(header, opened.logPath_) != header.check) {
        return false;
    }
    opened.path_ = OwnedPath(journalPath, false);
    opened.device_ = header.device;
    opened.inode_ = header.inode;
    opened.size_ = header.size;
    journal = std::move(opened);
    return true;
}

bool LogJournal::AlreadyWritten(int logDescriptor) const {
    // A run killed after its rewrite but before removing its journal: lines written to the log since must
    // not be cut off by doing the rewrite again.
    struct stat info {};
    if (::fstat(logDescriptor, &info) != 0 || static_cast<std::uint64_t>(info.st_size) < size_) {
        return false;
    }
    const std::uint64_t start = HeaderSize + logPath_.size();
    std::string journal(PieceSize, '\0');
    std::string log(PieceSize, '\0');
    for (std::uint64_t done = 0; done < size_;) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(PieceSize, size_ - done));
        if (!ReadAllAt(file_.Get(), journal.data(), count, start + done).Ok() ||
            !ReadAllAt(logDescriptor, log.data(), count, done).Ok() ||
            std::memcmp(journal.data(), log.data(), count) != 0) {
            return false;
        }
        done += count;
    }
    return true;
}

LogJournal::Recovery LogJournal::Redo(LogJournal& journal) {
    Recovery recovery;
    recovery.logPath = journal.logPath_;
    auto sameFile = [&journal](const struct stat& info) {
        return S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_dev) == journal.device_ &&
               static_cast<std::uint64_t>(info.st_ino) == journal.inode_;
    };
    struct stat info {};
    const bool found = ::stat(journal.logPath_.c_str(), &info) == 0;
    if (!found && errno != ENOENT) {
        recovery.outcome = Recovery::Outcome::Failed;
        recovery.status = FileStatus::FromErrno(errno);
        return recovery;
    }
    if (!found || !sameFile(info)) {
        journal.Remove();
        recovery.outcome = Recovery::Outcome::Dropped;
        return recovery;
    }
    recovery.outcome = Recovery::Outcome::Failed;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        recovery.status = {FileStatus::Kind::ReadOnly, 0};
        return recovery;
    }
    FileDescriptor log(::open(journal.logPath_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    if (!log.Valid() || ::fstat(log.Get(), &info) != 0) {
        recovery.status = FileStatus::FromErrno(errno);
        return recovery;
    }
    if (!sameFile(info)) {
        recovery.status = {FileStatus::Kind::Changed, 0};
        return recovery;
    }
    bool started = false;
    if (!journal.AlreadyWritten(log.Get())) {
        recovery.status = journal.Apply(log.Get(), started);
        if (!recovery.status.Ok()) {
            return recovery;
        }
    }
    recovery.outcome = Recovery::Outcome::Redone;
    journal.Remove();
    return recovery;
}

std::vector<LogJournal::Recovery> LogJournal::RecoverAll() {
    std::vector<Recovery> recoveries;
    const std::string folder = Folder();
    for (const std::string& name : FileStore::FolderNames(folder)) {
        RemoveIfAbandoned(folder, name);
        if (name.size() != KeyLength + JournalSuffix.size() || !name.ends_with(JournalSuffix)) {
            continue;
        }
        LogJournal journal;
        if (!OpenSealed(folder + "/" + name, journal)) {
            ::unlink((folder + "/" + name).c_str());
            continue;
        }
        recoveries.push_back(Redo(journal));
    }
    return recoveries;
}

std::vector<LogJournal::Recovery> LogJournal::RecoverFor(const std::string& logPath) {
    struct stat info {};
    if (::stat(logPath.c_str(), &info) != 0) {
        return {};
    }
    const std::string path = Folder() + "/" + Key(info.st_dev, info.st_ino) + std::string(JournalSuffix);
    LogJournal journal;
    if (::access(path.c_str(), F_OK) != 0) {
        return {};
    }
    if (!OpenSealed(path, journal)) {
        ::unlink(path.c_str());
        return {};
    }
    return {Redo(journal)};
}

} // namespace parlowen
