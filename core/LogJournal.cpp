#include "LogJournal.h"

#include "LogFingerprint.h"
#include "StateFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

namespace parlowen {
namespace {

constexpr std::size_t PieceSize = 1 << 20;
// Written alone and first: once the log changes at all, its start holds the journal's bytes.
constexpr std::size_t FirstPieceSize = LogFingerprint::HeadSize;

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
            if (FileStatus status = FileStore::ReadAllAt(log, piece.data(), count, from); !status.Ok()) {
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
    return StateFolder::Path();
}

FileStatus LogJournal::PrepareFolder() {
    FileDescriptor folder;
    return StateFolder::Open(true, folder);
}

FileStatus LogJournal::Begin(const std::string& logPath, const struct stat& log, LogJournal& journal) {
    LogJournal begun;
    begun.header_.logPath = logPath;
    begun.header_.device = static_cast<std::uint64_t>(log.st_dev);
    begun.header_.inode = static_cast<std::uint64_t>(log.st_ino);
    begun.header_.oldSize = static_cast<std::uint64_t>(log.st_size);
    begun.header_.oldModified = log.st_mtim;
    // The log is read again for its birth time and, at the seal, for its end.
    begun.log_ = FileDescriptor(::open(logPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat now {};
    if (!begun.log_.Valid() || ::fstat(begun.log_.Get(), &now) != 0) {
        return FileStatus::FromErrno(errno);
    }
    if (now.st_dev != log.st_dev || now.st_ino != log.st_ino) {
        return {FileStatus::Kind::Changed, 0};
    }
    begun.header_.bornKnown = LogFingerprint::BirthTime(begun.log_.Get(), begun.header_.born);
    if (FileStatus status = StateFolder::Open(false, begun.folder_); !status.Ok()) {
        return status;
    }
    StateFolder::JournalNames(begun.folder_.Get()); // for the abandoned ones it removes
    const std::string name = StateFolder::TemporaryName(begun.header_.device, begun.header_.inode);
    begun.file_ = FileDescriptor(::openat(begun.folder_.Get(), name.c_str(),
                                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!begun.file_.Valid()) {
        return FileStatus::FromErrno(errno);
    }
    begun.path_ = OwnedPath(name, true, begun.folder_.Get());
    begun.buffer_.assign(JournalHeader::Size, '\0'); // written for real once the size is known
    begun.buffer_ += logPath;
    journal = std::move(begun);
    return {};
}

FileStatus LogJournal::Append(std::string_view bytes) {
    header_.size += bytes.size();
    return FileStore::WriteBuffered(file_.Get(), buffer_, bytes);
}

FileStatus LogJournal::Seal() {
    if (FileStatus status = FileStore::WriteAll(file_.Get(), buffer_); !status.Ok()) {
        return status;
    }
    buffer_.clear();
    if (!LogFingerprint::TailCheck(log_.Get(), header_.oldSize, header_.size, header_.oldTailCheck) ||
        !LogFingerprint::HeadCheck(log_.Get(), header_.oldSize, header_.oldHeadCheck)) {
        return {FileStatus::Kind::Changed, 0};
    }
    log_ = FileDescriptor();
    if (FileStatus status = FileStore::WriteAllAt(file_.Get(), header_.Encode(), 0); !status.Ok()) {
        return status;
    }
    if (::fsync(file_.Get()) != 0) {
        return FileStatus::FromErrno(errno);
    }
    const std::string sealed = StateFolder::JournalName(header_.device, header_.inode);
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
    const std::uint64_t start = header_.TextStart();
    std::string piece(static_cast<std::size_t>(std::min<std::uint64_t>(PieceSize, to - from)), '\0');
    for (std::uint64_t done = from; done < to;) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), to - done));
        if (FileStatus status = FileStore::ReadAllAt(file_.Get(), piece.data(), count, start + done);
            !status.Ok()) {
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
    if (header_.size > 0 &&
        ::fallocate(logDescriptor, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(header_.size)) != 0 &&
        errno != EOPNOTSUPP) {
        return FileStatus::FromErrno(errno);
    }
    const std::uint64_t first = std::min<std::uint64_t>(FirstPieceSize, header_.size);
    started = true;
    if (FileStatus status = CopyToLog(logDescriptor, 0, first); !status.Ok()) {
        return status;
    }
    // A growing log takes its new length now, so that a line another program appends from here on lands
    // past the new text rather than under it. fallocate never shortens the file, whatever was appended.
    const std::uint64_t end = std::max(header_.oldSize, header_.size);
    if (header_.size > header_.oldSize &&
        ::fallocate(logDescriptor, 0, 0, static_cast<off_t>(header_.size)) != 0) {
        struct stat info {};
        if (errno != EOPNOTSUPP || ::fstat(logDescriptor, &info) != 0 ||
            (static_cast<std::uint64_t>(info.st_size) < header_.size &&
             ::ftruncate(logDescriptor, static_cast<off_t>(header_.size)) != 0)) {
            return FileStatus::FromErrno(errno);
        }
    }
    if (FileStatus status = CopyToLog(logDescriptor, first, header_.size); !status.Ok()) {
        return status;
    }
    return MoveAppendedAndCut(logDescriptor, header_.size, end);
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
    struct stat info {};
    LogJournal opened;
    opened.file_ = StateFolder::OpenPrivateFile(folder, name, info);
    if (!opened.file_.Valid()) {
        return Found::Skipped;
    }
    opened.path_ = OwnedPath(name, false, folder);
    switch (
        JournalHeader::Read(opened.file_.Get(), static_cast<std::uint64_t>(info.st_size), opened.header_)) {
    case JournalHeader::Format::Current:
        journal = std::move(opened);
        return Found::Valid;
    case JournalHeader::Format::Old:
        journal = std::move(opened);
        return Found::OldFormat;
    case JournalHeader::Format::Invalid:
        break;
    }
    return Found::Invalid;
}

bool LogJournal::LogStartsWithText(int logDescriptor, std::uint64_t length) const {
    const std::uint64_t start = header_.TextStart();
    std::string journal(static_cast<std::size_t>(std::min<std::uint64_t>(PieceSize, length)), '\0');
    std::string log(journal.size(), '\0');
    for (std::uint64_t done = 0; done < length;) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(PieceSize, length - done));
        if (!FileStore::ReadAllAt(file_.Get(), journal.data(), count, start + done).Ok() ||
            !FileStore::ReadAllAt(logDescriptor, log.data(), count, done).Ok() ||
            std::memcmp(journal.data(), log.data(), count) != 0) {
            return false;
        }
        done += count;
    }
    return true;
}

LogJournal::Recovery LogJournal::Redo(LogJournal& journal) {
    Recovery recovery;
    recovery.logPath = journal.header_.logPath;
    auto drop = [&journal, &recovery] {
        journal.Remove();
        recovery.outcome = Recovery::Outcome::Dropped;
        return recovery;
    };
    struct statx atPath {};
    const bool found =
        ::statx(AT_FDCWD, journal.header_.logPath.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &atPath) == 0;
    if (!found && errno != ENOENT) {
        recovery.outcome = Recovery::Outcome::Failed;
        recovery.status = FileStatus::FromErrno(errno);
        return recovery;
    }
    // A file born at another time is another file, whatever inode the system gave it.
    const bool sameBirth =
        !journal.header_.bornKnown ||
        ((atPath.stx_mask & STATX_BTIME) != 0 && atPath.stx_btime.tv_sec == journal.header_.born.tv_sec &&
         atPath.stx_btime.tv_nsec == journal.header_.born.tv_nsec);
    if (!found || !S_ISREG(atPath.stx_mode) ||
        ::makedev(atPath.stx_dev_major, atPath.stx_dev_minor) != journal.header_.device ||
        atPath.stx_ino != journal.header_.inode || !sameBirth) {
        return drop();
    }
    recovery.outcome = Recovery::Outcome::Failed;
    if ((atPath.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        recovery.status = {FileStatus::Kind::ReadOnly, 0};
        return recovery;
    }
    FileDescriptor log(::open(journal.header_.logPath.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!log.Valid() || ::fstat(log.Get(), &info) != 0) {
        recovery.status = FileStatus::FromErrno(errno);
        return recovery;
    }
    struct timespec born {};
    if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_dev) != journal.header_.device ||
        static_cast<std::uint64_t>(info.st_ino) != journal.header_.inode ||
        (journal.header_.bornKnown && (!LogFingerprint::BirthTime(log.Get(), born) ||
                                       !LogFingerprint::SameTime(born, journal.header_.born)))) {
        recovery.status = {FileStatus::Kind::Changed, 0};
        return recovery;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    std::uint64_t head = 0;
    if (size >= journal.header_.size && journal.LogStartsWithText(log.Get(), journal.header_.size)) {
        // The new text is all there. A shrinking rewrite may not have been cut yet: the old log's end is then
        // still where it was, and what follows it was appended.
        std::uint64_t tail = 0;
        if (journal.header_.size < journal.header_.oldSize && size >= journal.header_.oldSize &&
            LogFingerprint::TailCheck(log.Get(), journal.header_.oldSize, journal.header_.size, tail) &&
            tail == journal.header_.oldTailCheck) {
            recovery.status = MoveAppendedAndCut(log.Get(), journal.header_.size, journal.header_.oldSize);
        }
    } else if ((size == journal.header_.oldSize &&
                (LogFingerprint::SameTime(info.st_mtim, journal.header_.oldModified) ||
                 (LogFingerprint::HeadCheck(log.Get(), size, head) &&
                  head == journal.header_.oldHeadCheck))) ||
               journal.LogStartsWithText(log.Get(),
                                         std::min<std::uint64_t>(FirstPieceSize, journal.header_.size))) {
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

void LogJournal::RecoverNamed(FileDescriptor& folder, const std::string& name,
                              std::vector<Recovery>& recoveries) {
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
        recoveries.push_back({Recovery::Outcome::Dropped, journal.header_.logPath, {}});
        break;
    case Found::Invalid:
        ::unlinkat(folder.Get(), name.c_str(), 0);
        break;
    case Found::Skipped:
        break;
    }
}

std::vector<LogJournal::Recovery> LogJournal::RecoverAll() {
    std::vector<Recovery> recoveries;
    FileDescriptor folder;
    if (FileStatus status = StateFolder::Open(false, folder); !status.Ok()) {
        if (status.kind == FileStatus::Kind::NotPrivate) {
            recoveries.push_back({Recovery::Outcome::Refused, Folder(), status});
        }
        return recoveries;
    }
    for (const std::string& name : StateFolder::JournalNames(folder.Get())) {
        RecoverNamed(folder, name, recoveries);
    }
    return recoveries;
}

std::vector<LogJournal::Recovery> LogJournal::RecoverFor(const std::string& logPath) {
    struct stat info {};
    FileDescriptor folder;
    if (::stat(logPath.c_str(), &info) != 0 || !StateFolder::Open(false, folder).Ok()) {
        return {};
    }
    const std::string name = StateFolder::JournalName(info.st_dev, info.st_ino);
    std::vector<Recovery> recoveries;
    RecoverNamed(folder, name, recoveries);
    return recoveries;
}

} // namespace parlowen
