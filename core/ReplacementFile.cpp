#include "ReplacementFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace parlowen {
namespace {

// ".parlowen-PPPPPPPPRRRRRRRR.tmp": the writing process in hex, so a leftover can be traced to a process
// that has ended, and a random part. Fixed-length, so a long target name never makes it too long.
constexpr std::string_view TemporaryPrefix = ".parlowen-";
constexpr std::string_view TemporarySuffix = ".tmp";

bool IsTemporaryName(std::string_view name, unsigned long& process) {
    if (name.size() != ReplacementFile::TemporaryNameLength || !name.starts_with(TemporaryPrefix) ||
        !name.ends_with(TemporarySuffix)) {
        return false;
    }
    const std::string_view hex = name.substr(TemporaryPrefix.size(), 16);
    if (hex.find_first_not_of("0123456789abcdef") != std::string_view::npos) {
        return false;
    }
    process = std::stoul(std::string(hex.substr(0, 8)), nullptr, 16);
    return true;
}

// A process killed before its rename leaves its temporary file behind; the first file this run writes in that
// folder removes it. Once per folder, so that many pages in one folder do not list it once each. A file whose
// process still runs may be in the middle of its own write and stays.
void RemoveLeftoverTemporaries(const std::string& folder) {
    static std::mutex mutex;
    static std::unordered_set<std::string> cleaned;
    {
        const std::lock_guard lock(mutex);
        if (!cleaned.insert(folder).second) {
            return;
        }
    }
    for (const std::string& name : FileStore::FolderNames(folder)) {
        unsigned long process = 0;
        if (IsTemporaryName(name, process) && FileStore::ProcessEnded(process)) {
            ::unlink((folder + "/" + name).c_str());
        }
    }
}

// What may be replaced: nothing yet, or a regular file of one name that someone may write. Never followed
// through a link: the page goes beside its link, not where the link points.
FileStatus CheckTarget(const std::string& path, struct stat& info, bool& exists) {
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return FileStatus::FromErrno(errno);
        }
        exists = false;
        return {};
    }
    exists = true;
    if (!S_ISREG(info.st_mode)) {
        return {FileStatus::Kind::NotAFile, 0};
    }
    if (info.st_nlink > 1) {
        return {FileStatus::Kind::Linked, 0};
    }
    // Root may write anything, so the permission bits themselves decide whether the user meant it to stay.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return {FileStatus::Kind::ReadOnly, 0};
    }
    return {};
}

} // namespace

ReplacementFile::ReplacementFile() = default;
ReplacementFile::~ReplacementFile() = default;
ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept = default;
ReplacementFile& ReplacementFile::operator=(ReplacementFile&& other) noexcept = default;

void ReplacementFile::Discard() {
    if (file_.Valid()) {
        file_.Close();
    }
    temporary_.Remove();
}

FileStatus ReplacementFile::Fail(FileStatus status) {
    Discard();
    failure_ = status;
    return status;
}

FileStatus ReplacementFile::Create(const std::string& targetPath, ReplacementFile& file) {
    ReplacementFile created;
    struct stat info {};
    if (FileStatus status = CheckTarget(targetPath, info, created.targetExists_); !status.Ok()) {
        return status;
    }
    created.target_ = targetPath;
    const std::string folder = FileStore::FolderOf(targetPath);
    RemoveLeftoverTemporaries(folder);
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100 && !created.file_.Valid(); ++attempt) {
        char name[ReplacementFile::TemporaryNameLength + 1];
        std::snprintf(name, sizeof name, "%.*s%08x%08x%.*s", static_cast<int>(TemporaryPrefix.size()),
                      TemporaryPrefix.data(), static_cast<unsigned>(::getpid()),
                      static_cast<unsigned>(random()), static_cast<int>(TemporarySuffix.size()),
                      TemporarySuffix.data());
        const std::string path = folder + "/" + name;
        created.file_ = FileDescriptor(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (created.file_.Valid()) {
            created.temporary_ = OwnedPath(path, true);
        } else if (errno != EEXIST) {
            return FileStatus::FromErrno(errno);
        }
    }
    if (!created.file_.Valid()) {
        return FileStatus::FromErrno(EEXIST);
    }
    if (created.targetExists_) {
        if (::fchmod(created.file_.Get(), info.st_mode & 0777) != 0) {
            return created.Fail(FileStatus::FromErrno(errno));
        }
        // Only root can give the file back to its owner; for anyone else it is theirs already.
        if (::fchown(created.file_.Get(), info.st_uid, info.st_gid) != 0 && errno != EPERM) {
            return created.Fail(FileStatus::FromErrno(errno));
        }
    }
    file = std::move(created);
    return {};
}

FileStatus ReplacementFile::Append(std::string_view bytes) {
    if (!failure_.Ok() || !file_.Valid()) {
        return failure_.Ok() ? FileStatus::FromErrno(EBADF) : failure_;
    }
    FileStatus status = FileStore::WriteBuffered(file_.Get(), buffer_, bytes);
    if (!status.Ok()) {
        return Fail(status);
    }
    appended_ += bytes.size();
    // The disk starts on a large file while the rest is still being made, so that Commit's flush waits
    // for little more than the last step. Only a hint: the flush reports any failure.
    constexpr std::uint64_t WritebackStep = std::uint64_t{8} << 20;
    const std::uint64_t written = appended_ - buffer_.size();
    if (written - writebackStarted_ >= WritebackStep) {
        ::sync_file_range(file_.Get(), static_cast<off_t>(writebackStarted_),
                          static_cast<off_t>(written - writebackStarted_), SYNC_FILE_RANGE_WRITE);
        writebackStarted_ = written;
    }
    return status;
}

FileStatus ReplacementFile::Reserve(std::uint64_t bytes) {
    if (!failure_.Ok() || !file_.Valid()) {
        return failure_.Ok() ? FileStatus::FromErrno(EBADF) : failure_;
    }
    if (bytes == 0 || ::fallocate(file_.Get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0 ||
        errno == EOPNOTSUPP) {
        return {};
    }
    return Fail(FileStatus::FromErrno(errno));
}

FileStatus ReplacementFile::OpenForReading(FileDescriptor& reader) const {
    if (!file_.Valid()) {
        return FileStatus::FromErrno(EBADF);
    }
    // The temporary name is ours, but the folder is the user's: the file opened must be the one written.
    FileDescriptor opened(::open(temporary_.Get().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat written {};
    struct stat read {};
    if (!opened.Valid() || ::fstat(file_.Get(), &written) != 0 || ::fstat(opened.Get(), &read) != 0) {
        return FileStatus::FromErrno(errno);
    }
    if (written.st_dev != read.st_dev || written.st_ino != read.st_ino) {
        return {FileStatus::Kind::Changed, 0};
    }
    reader = std::move(opened);
    return {};
}

FileStatus ReplacementFile::Commit() {
    if (!failure_.Ok() || !file_.Valid()) {
        return failure_.Ok() ? FileStatus::FromErrno(EBADF) : failure_;
    }
    if (FileStatus status = FileStore::WriteAll(file_.Get(), buffer_); !status.Ok()) {
        return Fail(status);
    }
    if (::fsync(file_.Get()) != 0 || file_.Close() != 0) {
        return Fail(FileStatus::FromErrno(errno));
    }
    // Something may have been put at the target while the file was written; a link or a special file now
    // there is refused as it would have been at the start.
    struct stat info {};
    bool exists = false;
    if (FileStatus status = CheckTarget(target_, info, exists); !status.Ok()) {
        return Fail(status);
    }
    if (exists && !targetExists_) {
        return Fail(FileStatus::FromErrno(EEXIST));
    }
    // With no target at the start, a file that appeared since is someone else's and is not replaced.
    const char* temporary = temporary_.Get().c_str();
    int renamed = targetExists_
                      ? ::rename(temporary, target_.c_str())
                      : ::renameat2(AT_FDCWD, temporary, AT_FDCWD, target_.c_str(), RENAME_NOREPLACE);
    if (renamed != 0 && errno == EINVAL && !targetExists_) {
        // A file system that cannot promise not to replace: the check above is the last word.
        renamed = ::rename(temporary, target_.c_str());
    }
    if (renamed != 0) {
        return Fail(FileStatus::FromErrno(errno));
    }
    temporary_.Forget();
    FileStore::SyncFolder(FileStore::FolderOf(target_));
    return {};
}

FileStatus ReplacementFile::WriteWhole(const std::string& targetPath,
                                       std::initializer_list<std::string_view> pieces) {
    ReplacementFile file;
    FileStatus status = Create(targetPath, file);
    for (auto piece = pieces.begin(); status.Ok() && piece != pieces.end(); ++piece) {
        status = file.Append(*piece);
    }
    return status.Ok() ? file.Commit() : status;
}

} // namespace parlowen
