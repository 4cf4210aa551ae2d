#include "LogJournal.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

namespace parlowen {
namespace {

// The header: a magic text; what identified the log before the rewrite (device, inode, size, modification
// time, birth time) and a check of its last bytes that the new text leaves behind; the new size, the length
// of the log's path, and a check of all of these and the path, so that a file that is not a whole journal
// is never taken for one. The path and the new bytes follow.
constexpr char Magic[16] = {'P', 'A', 'R', 'L', 'O', 'W', 'E', 'N', '-', 'R', 'E', 'D', 'O', '-', '2', '\n'};
// The first format named the log by device and inode alone, so it cannot tell the log from a later file.
constexpr char OldMagic[16] = {'P', 'A', 'R', 'L', 'O', 'W', 'E', 'N',
                               '-', 'R', 'E', 'D', 'O', '-', '1', '\n'};
constexpr std::size_t HeaderSize = 128;
constexpr std::size_t OldHeaderSize = 64;
constexpr std::size_t PieceSize = 1 << 20;
// Written alone and first: once the log changes at all, its start holds the journal's bytes.
constexpr std::size_t FirstPieceSize = 4096;
// How much of the old log's end, past the new text, tells whether the log was already cut.
constexpr std::size_t TailCheckSize = 4096;
constexpr std::string_view JournalSuffix = ".journal";
constexpr std::string_view TemporarySuffix = ".tmp";
// "DDDDDDDDDDDDDDDD-IIIIIIIIIIIIIIII": device and inode in hex, so that any log name fits.
constexpr std::size_t KeyLength = 33;

struct Header {
    char magic[16];
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t oldSize;
    std::int64_t oldModifiedSeconds;
    std::int64_t oldModifiedNanoseconds;
    std::uint64_t bornKnown;
    std::int64_t bornSeconds;
    std::int64_t bornNanoseconds;
    std::uint64_t oldTailCheck;
    std::uint64_t oldHeadCheck;
    std::uint64_t size;
    std::uint64_t pathLength;
    std::uint64_t check;
    std::uint64_t unused;
};
static_assert(sizeof(Header) == HeaderSize);

struct OldHeader {
    char magic[16];
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t size;
    std::uint64_t pathLength;
    std::uint64_t check;
    std::uint64_t unused;
};
static_assert(sizeof(OldHeader) == OldHeaderSize);

// FNV-1a, 64 bits.
class Fnv {
  public:
    void Mix(const void* data, std::size_t size) {
        for (std::size_t index = 0; index < size; ++index) {
            hash_ = (hash_ ^ static_cast<const unsigned char*>(data)[index]) * 0x100000001b3ULL;
        }
    }
    std::uint64_t Value() const { return hash_; }

  private:
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

template <typename AnyHeader> std::uint64_t Check(const AnyHeader& header, std::string_view path) {
    Fnv check;
    check.Mix(&header, offsetof(AnyHeader, check));
    check.Mix(path.data(), path.size());
    return check.Value();
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

// A check of count bytes of the log from offset.
bool RangeCheck(int log, std::uint64_t offset, std::size_t count, std::uint64_t& check) {
    std::string bytes(count, '\0');
    if (!ReadAllAt(log, bytes.data(), count, offset).Ok()) {
        return false;
    }
    Fnv fnv;
    fnv.Mix(bytes.data(), count);
    check = fnv.Value();
    return true;
}

// The check of the old log's last bytes past the new text, which the cut removes; 0 when it does not shrink.
bool TailCheck(int log, std::uint64_t oldSize, std::uint64_t newSize, std::uint64_t& check) {
    check = 0;
    return newSize >= oldSize ||
           RangeCheck(log, oldSize - std::min<std::uint64_t>(TailCheckSize, oldSize - newSize),
                      static_cast<std::size_t>(std::min<std::uint64_t>(TailCheckSize, oldSize - newSize)),
                      check);
}

// The check of the old log's first bytes, which the first piece overwrites.
bool HeadCheck(int log, std::uint64_t oldSize, std::uint64_t& check) {
    return RangeCheck(log, 0, static_cast<std::size_t>(std::min<std::uint64_t>(FirstPieceSize, oldSize)),
                      check);
}

bool IsHex(std::string_view text) {
    return text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// A journal still being written by a process that has ended will never be finished: it is not valid, and
// goes. The name ends in the writing process's number.
void RemoveIfAbandoned(int folder, std::string_view name) {
    if (name.size() == KeyLength + 9 + TemporarySuffix.size() && name.ends_with(TemporarySuffix) &&
        name[KeyLength] == '-' && IsHex(name.substr(KeyLength + 1, 8)) &&
        FileStore::ProcessEnded(std::stoul(std::string(name.substr(KeyLength + 1, 8)), nullptr, 16))) {
        ::unlinkat(folder, std::string(name).c_str(), 0);
    }
}

// What a journal in the folder, or the folder itself, must be: the user's own, writable by nobody else.
bool Private(const struct stat& info) {
    return info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Opens the state folder without following a symbolic link at its last step, and checks it is private.
// Its parents are the user's choice ($XDG_STATE_HOME may well be a link).
FileStatus OpenFolder(bool create, FileDescriptor& folder) {
    const std::string path = LogJournal::Folder();
    const std::string parent = FileStore::FolderOf(path);
    if (create) {
        for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
            if (::mkdir(path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) {
                return FileStatus::FromErrno(errno);
            }
            if (slash == std::string::npos) {
                break;
            }
        }
    }
    FileDescriptor parentDescriptor(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parentDescriptor.Valid()) {
        return FileStatus::FromErrno(errno);
    }
    const std::string name = path.substr(path.rfind('/') + 1);
    FileDescriptor opened(
        ::openat(parentDescriptor.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (!opened.Valid()) {
        const int error = errno;
        const bool link = ::fstatat(parentDescriptor.Get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                          S_ISLNK(info.st_mode);
        return link || error == ELOOP ? FileStatus{FileStatus::Kind::NotPrivate, 0}
                                      : FileStatus::FromErrno(error);
    }
    if (::fstat(opened.Get(), &info) != 0) {
        return FileStatus::FromErrno(errno);
    }
    if (!Private(info)) {
        return {FileStatus::Kind::NotPrivate, 0};
    }
    folder = std::move(opened);
    return {};
}

// The birth time of an open file, where the file system keeps one.
bool BirthTime(int descriptor, struct timespec& born) {
    struct statx info {};
    if (::statx(descriptor, "", AT_EMPTY_PATH, STATX_BTIME, &info) != 0 ||
        (info.stx_mask & STATX_BTIME) == 0) {
        return false;
    }
    born = {static_cast<time_t>(info.stx_btime.tv_sec), static_cast<long>(info.stx_btime.tv_nsec)};
    return true;
}

bool SameTime(const struct timespec& one, const struct timespec& other) {
    return one.tv_sec == other.tv_sec && one.tv_nsec == other.tv_nsec;
}

// Lines that another program appended during the overwrite lie past `from`, the end this program gave the
// log: they move to follow the new text, which ends at `to`, and the log is cut after them once its size
// holds. When nothing needs moving the log is not cut at all, so nothing appended meanwhile can be lost.
FileStatus MoveAppendedAndCut(int log, std::uint64_t to, std::uint64_t from) {
    std::string piece;
    for (;;) {
        struct stat info {};
        if (::fstat(log, &info) != 0) {
            return FileStatus::FromErrno(errno);
        }
        const auto size = static_cast<std::uint64_t>(info.st_size);
        if (size <= from) {
            if (to < size && ::ftruncate(log, static_cast<off_t>(to)) != 0) {
                return FileStatus::FromErrno(errno);
            }
            break;
        }
        if (to == from) {
            to = from = size;
            continue;
        }
        // Front to back, the destination before the source: a piece is read before anything overwrites it.
        piece.resize(static_cast<std::size_t>(std::min<std::uint64_t>(PieceSize, size - from)));
        while (from < size) {
            const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), size - from));
            if (FileStatus status = ReadAllAt(log, piece.data(), count, from); !status.Ok()) {
                return status;
            }
            if (FileStatus status = FileStore::WriteAllAt(log, {piece.data(), count}, to); !status.Ok()) {
                return status;
            }
            from += count;
            to += count;
        }
    }
    return ::fsync(log) == 0 ? FileStatus{} : FileStatus::FromErrno(errno);
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
    FileDescriptor folder;
    return OpenFolder(true, folder);
}

FileStatus LogJournal::Begin(const std::string& logPath, const struct stat& log, LogJournal& journal) {
    LogJournal begun;
    begun.logPath_ = logPath;
    begun.device_ = static_cast<std::uint64_t>(log.st_dev);
    begun.inode_ = static_cast<std::uint64_t>(log.st_ino);
    begun.oldSize_ = static_cast<std::uint64_t>(log.st_size);
    begun.oldModified_ = log.st_mtim;
    // The log is read again for its birth time and, at the seal, for its end.
    begun.log_ = FileDescriptor(::open(logPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat now {};
    if (!begun.log_.Valid() || ::fstat(begun.log_.Get(), &now) != 0) {
        return FileStatus::FromErrno(errno);
    }
    if (now.st_dev != log.st_dev || now.st_ino != log.st_ino) {
        return {FileStatus::Kind::Changed, 0};
    }
    begun.bornKnown_ = BirthTime(begun.log_.Get(), begun.born_);
    if (FileStatus status = OpenFolder(false, begun.folder_); !status.Ok()) {
        return status;
    }
    for (const std::string& name : FileStore::FolderNames(begun.folder_.Get())) {
        RemoveIfAbandoned(begun.folder_.Get(), name);
    }
    char process[10];
    std::snprintf(process, sizeof process, "-%08x", static_cast<unsigned>(::getpid()));
    const std::string name = Key(begun.device_, begun.inode_) + process + std::string(TemporarySuffix);
    begun.file_ = FileDescriptor(::openat(begun.folder_.Get(), name.c_str(),
                                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!begun.file_.Valid()) {
        return FileStatus::FromErrno(errno);
    }
    begun.path_ = OwnedPath(name, true, begun.folder_.Get());
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
    if (!TailCheck(log_.Get(), oldSize_, size_, oldTailCheck_) ||
        !HeadCheck(log_.Get(), oldSize_, oldHeadCheck_)) {
        return {FileStatus::Kind::Changed, 0};
    }
    log_ = FileDescriptor();
    Header header{};
    std::memcpy(header.magic, Magic, sizeof Magic);
    header.device = device_;
    header.inode = inode_;
    header.oldSize = oldSize_;
    header.oldModifiedSeconds = oldModified_.tv_sec;
    header.oldModifiedNanoseconds = oldModified_.tv_nsec;
    header.bornKnown = bornKnown_ ? 1 : 0;
    header.bornSeconds = born_.tv_sec;
    header.bornNanoseconds = born_.tv_nsec;
    header.oldTailCheck = oldTailCheck_;
    header.oldHeadCheck = oldHeadCheck_;
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
    const std::string sealed = Key(device_, inode_) + std::string(JournalSuffix);
    if (::renameat(folder_.Get(), path_.Get().c_str(), folder_.Get(), sealed.c_str()) != 0) {
        return FileStatus::FromErrno(errno);
    }
    // Sealed, the journal outlives this run: a killed run's journal is what the next start redoes.
    path_.Forget();
    path_ = OwnedPath(sealed, false, folder_.Get());
    // Until the rename is on the disk, a power cut could lose the journal after the log has changed.
    if (::fsync(folder_.Get()) != 0) {
        const int error = errno;
        Remove();
        return FileStatus::FromErrno(error);
    }
    return {};
}

FileStatus LogJournal::CopyToLog(int logDescriptor, std::uint64_t from, std::uint64_t to) const {
    const std::uint64_t start = HeaderSize + logPath_.size();
    std::string piece(static_cast<std::size_t>(std::min<std::uint64_t>(PieceSize, to - from)), '\0');
    for (std::uint64_t done = from; done < to;) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), to - done));
        if (FileStatus status = ReadAllAt(file_.Get(), piece.data(), count, start + done); !status.Ok()) {
            return status;
        }
        if (FileStatus status = FileStore::WriteAllAt(logDescriptor, {piece.data(), count}, done);
            !status.Ok()) {
            return status;
        }
        done += count;
    }
    return {};
}

FileStatus LogJournal::Apply(int logDescriptor, bool& started) const {
    started = false;
    if (size_ > 0 && ::fallocate(logDescriptor, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size_)) != 0 &&
        errno != EOPNOTSUPP) {
        return FileStatus::FromErrno(errno);
    }
    const std::uint64_t first = std::min<std::uint64_t>(FirstPieceSize, size_);
    started = true;
    if (FileStatus status = CopyToLog(logDescriptor, 0, first); !status.Ok()) {
        return status;
    }
    // A growing log takes its new length now, so that a line another program appends from here on lands
    // past the new text rather than under it. fallocate never shortens the file, whatever was appended.
    const std::uint64_t end = std::max(oldSize_, size_);
    if (size_ > oldSize_ && ::fallocate(logDescriptor, 0, 0, static_cast<off_t>(size_)) != 0) {
        struct stat info {};
        if (errno != EOPNOTSUPP || ::fstat(logDescriptor, &info) != 0 ||
            (static_cast<std::uint64_t>(info.st_size) < size_ &&
             ::ftruncate(logDescriptor, static_cast<off_t>(size_)) != 0)) {
            return FileStatus::FromErrno(errno);
        }
    }
    if (FileStatus status = CopyToLog(logDescriptor, first, size_); !status.Ok()) {
        return status;
    }
    return MoveAppendedAndCut(logDescriptor, size_, end);
}

FileStatus LogJournal::Remove() {
    if (path_.Empty()) {
        return {};
    }
    if (path_.Remove() != 0) {
        return FileStatus::FromErrno(errno);
    }
    return ::fsync(folder_.Get()) == 0 ? FileStatus{} : FileStatus::FromErrno(errno);
}

LogJournal::Found LogJournal::OpenSealed(int folder, const std::string& name, LogJournal& journal) {
    // Only a regular file of the user's own is opened, and never in a way that could wait (a named pipe).
    struct stat named {};
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode) ||
        !Private(named)) {
        return Found::Skipped;
    }
    LogJournal opened;
    opened.file_ =
        FileDescriptor(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!opened.file_.Valid() || ::fstat(opened.file_.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        !Private(info) || info.st_ino != named.st_ino) {
        return Found::Skipped;
    }
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    opened.path_ = OwnedPath(name, false, folder);
    Header header{};
    if (fileSize >= OldHeaderSize &&
        ReadAllAt(opened.file_.Get(), reinterpret_cast<char*>(&header), OldHeaderSize, 0).Ok() &&
        std::memcmp(header.magic, OldMagic, sizeof OldMagic) == 0) {
        OldHeader old{};
        std::memcpy(&old, &header, sizeof old);
        if (old.pathLength > fileSize - OldHeaderSize ||
            old.size != fileSize - OldHeaderSize - old.pathLength) {
            return Found::Invalid;
        }
        opened.logPath_.resize(static_cast<std::size_t>(old.pathLength));
        if (!ReadAllAt(opened.file_.Get(), opened.logPath_.data(), opened.logPath_.size(), OldHeaderSize)
                 .Ok() ||
            Check(old, opened.logPath_) != old.check) {
            return Found::Invalid;
        }
        journal = std::move(opened);
        return Found::OldFormat;
    }
    if (fileSize < HeaderSize ||
        !ReadAllAt(opened.file_.Get(), reinterpret_cast<char*>(&header), HeaderSize, 0).Ok() ||
        std::memcmp(header.magic, Magic, sizeof Magic) != 0 || header.pathLength > fileSize - HeaderSize ||
        header.size != fileSize - HeaderSize - header.pathLength) {
        return Found::Invalid;
    }
    opened.logPath_.resize(static_cast<std::size_t>(header.pathLength));
    if (!ReadAllAt(opened.file_.Get(), opened.logPath_.data(), opened.logPath_.size(), HeaderSize).Ok() ||
        Check(header, opened.logPath_) != header.check) {
        return Found::Invalid;
    }
    opened.device_ = header.device;
    opened.inode_ = header.inode;
    opened.oldSize_ = header.oldSize;
    opened.oldModified_ = {static_cast<time_t>(header.oldModifiedSeconds),
                           static_cast<long>(header.oldModifiedNanoseconds)};
    opened.bornKnown_ = header.bornKnown != 0;
    opened.born_ = {static_cast<time_t>(header.bornSeconds), static_cast<long>(header.bornNanoseconds)};
    opened.oldTailCheck_ = header.oldTailCheck;
    opened.oldHeadCheck_ = header.oldHeadCheck;
    opened.size_ = header.size;
    journal = std::move(opened);
    return Found::Valid;
}

bool LogJournal::LogStartsWithText(int logDescriptor, std::uint64_t length) const {
    const std::uint64_t start = HeaderSize + logPath_.size();
    std::string journal(static_cast<std::size_t>(std::min<std::uint64_t>(PieceSize, length)), '\0');
    std::string log(journal.size(), '\0');
    for (std::uint64_t done = 0; done < length;) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(PieceSize, length - done));
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
    auto drop = [&journal, &recovery] {
        journal.Remove();
        recovery.outcome = Recovery::Outcome::Dropped;
        return recovery;
    };
    struct statx atPath {};
    const bool found =
        ::statx(AT_FDCWD, journal.logPath_.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &atPath) == 0;
    if (!found && errno != ENOENT) {
        recovery.outcome = Recovery::Outcome::Failed;
        recovery.status = FileStatus::FromErrno(errno);
        return recovery;
    }
    // A file born at another time is another file, whatever inode the system gave it.
    const bool sameBirth = !journal.bornKnown_ || ((atPath.stx_mask & STATX_BTIME) != 0 &&
                                                   atPath.stx_btime.tv_sec == journal.born_.tv_sec &&
                                                   atPath.stx_btime.tv_nsec == journal.born_.tv_nsec);
    if (!found || !S_ISREG(atPath.stx_mode) ||
        ::makedev(atPath.stx_dev_major, atPath.stx_dev_minor) != journal.device_ ||
        atPath.stx_ino != journal.inode_ || !sameBirth) {
        return drop();
    }
    recovery.outcome = Recovery::Outcome::Failed;
    if ((atPath.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        recovery.status = {FileStatus::Kind::ReadOnly, 0};
        return recovery;
    }
    FileDescriptor log(::open(journal.logPath_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!log.Valid() || ::fstat(log.Get(), &info) != 0) {
        recovery.status = FileStatus::FromErrno(errno);
        return recovery;
    }
    struct timespec born {};
    if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_dev) != journal.device_ ||
        static_cast<std::uint64_t>(info.st_ino) != journal.inode_ ||
        (journal.bornKnown_ && (!BirthTime(log.Get(), born) || !SameTime(born, journal.born_)))) {
        recovery.status = {FileStatus::Kind::Changed, 0};
        return recovery;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    std::uint64_t head = 0;
    if (size >= journal.size_ && journal.LogStartsWithText(log.Get(), journal.size_)) {
        // The new text is all there. A shrinking rewrite may not have been cut yet: the old log's end is then
        // still where it was, and what follows it was appended.
        std::uint64_t tail = 0;
        if (journal.size_ < journal.oldSize_ && size >= journal.oldSize_ &&
            TailCheck(log.Get(), journal.oldSize_, journal.size_, tail) && tail == journal.oldTailCheck_) {
            recovery.status = MoveAppendedAndCut(log.Get(), journal.size_, journal.oldSize_);
        }
    } else if ((size == journal.oldSize_ &&
                (SameTime(info.st_mtim, journal.oldModified_) ||
                 (HeadCheck(log.Get(), size, head) && head == journal.oldHeadCheck_))) ||
               journal.LogStartsWithText(log.Get(), std::min<std::uint64_t>(FirstPieceSize, journal.size_))) {
        // Unchanged since the journal was sealed (reserving the space for the new text moves the modification
        // time on some file systems, so the old start counts too), or part-way through this rewrite.
        bool started = false;
        recovery.status = journal.Apply(log.Get(), started);
    } else {
        return drop();
    }
    if (!recovery.status.Ok()) {
        return recovery;
    }
    recovery.outcome = Recovery::Outcome::Redone;
    journal.Remove();
    return recovery;
}

std::vector<LogJournal::Recovery> LogJournal::RecoverAll() {
    std::vector<Recovery> recoveries;
    FileDescriptor folder;
    if (FileStatus status = OpenFolder(false, folder); !status.Ok()) {
        if (status.kind == FileStatus::Kind::NotPrivate) {
            recoveries.push_back({Recovery::Outcome::Refused, Folder(), status});
        }
        return recoveries;
    }
    for (const std::string& name : FileStore::FolderNames(folder.Get())) {
        RemoveIfAbandoned(folder.Get(), name);
        if (name.size() != KeyLength + JournalSuffix.size() || !name.ends_with(JournalSuffix)) {
            continue;
        }
        LogJournal journal;
        switch (OpenSealed(folder.Get(), name, journal)) {
        case Found::Valid:
            journal.folder_ = std::move(folder);
            recoveries.push_back(Redo(journal));
            folder = std::move(journal.folder_);
            break;
        case Found::OldFormat:
            // Nothing in it tells the log from a later file at the same inode, nor how far the rewrite got.
            ::unlinkat(folder.Get(), name.c_str(), 0);
            recoveries.push_back({Recovery::Outcome::Dropped, journal.logPath_, {}});
            break;
        case Found::Invalid:
            ::unlinkat(folder.Get(), name.c_str(), 0);
            break;
        case Found::Skipped:
            break;
        }
    }
    return recoveries;
}

std::vector<LogJournal::Recovery> LogJournal::RecoverFor(const std::string& logPath) {
    struct stat info {};
    FileDescriptor folder;
    if (::stat(logPath.c_str(), &info) != 0 || !OpenFolder(false, folder).Ok()) {
        return {};
    }
    const std::string name = Key(info.st_dev, info.st_ino) + std::string(JournalSuffix);
    LogJournal journal;
    switch (OpenSealed(folder.Get(), name, journal)) {
    case Found::Valid:
        journal.folder_ = std::move(folder);
        return {Redo(journal)};
    case Found::OldFormat:
        ::unlinkat(folder.Get(), name.c_str(), 0);
        return {{Recovery::Outcome::Dropped, journal.logPath_, {}}};
    case Found::Invalid:
        ::unlinkat(folder.Get(), name.c_str(), 0);
        return {};
    case Found::Skipped:
        return {};
    }
    return {};
}

} // namespace parlowen
