#include "FileStore.h"

#include "FileDescriptor.h"
#include "Prefault.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace parlowen {
namespace {

std::u16string Widen(const char* ascii) {
    std::u16string text;
    for (; *ascii != '\0'; ++ascii) {
        text += static_cast<char16_t>(static_cast<unsigned char>(*ascii));
    }
    return text;
}

FileStatus WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FileStatus::FromErrno(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows a symbolic link to the file it names, so that the link itself survives the replacement.
FileStatus ResolveTarget(const std::string& path, std::string& target, struct stat& info, bool& exists) {
    target = path;
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return FileStatus::FromErrno(errno);
        }
        struct stat linkInfo;
        if (::lstat(path.c_str(), &linkInfo) == 0) {
            // A dangling link: writing through it would create a file somewhere unexpected.
            return FileStatus::FromErrno(ENOENT);
        }
        exists = false;
        return {};
    }
    exists = true;
    if (!S_ISREG(info.st_mode)) {
        return {FileStatus::Kind::NotAFile, 0};
    }
    // Root may write anything, so the permission bits themselves decide whether the user meant it to stay.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return {FileStatus::Kind::ReadOnly, 0};
    }
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) {
        return FileStatus::FromErrno(errno);
    }
    target = real.get();
    return {};
}

// The temporary file of a replacement is ".NAME.PID-NUMBER.tmp" beside the target, so that a leftover can be
// traced to the process that wrote it.
std::string TemporaryPrefix(const std::string& target) {
    // Built by appending: GCC 12 at -O3 warns falsely about "." + std::string (its bug 105329).
    std::string prefix = ".";
    prefix += NameOf(target);
    prefix += '.';
    return prefix;
}

int CreateTemporary(const std::string& target, std::string& temporary) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = FolderOf(target) + "/" + TemporaryPrefix(target) + std::to_string(::getpid()) + "-" +
                    std::to_string(random() % 1000000) + ".tmp";
        const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    errno = EEXIST;
    return -1;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A process killed between writing its temporary file and renaming it leaves the file behind; the next
// replacement of the same target removes it. A file whose process still runs may be in the middle of its
// own replacement and stays.
void RemoveLeftoverTemporaries(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string prefix = TemporaryPrefix(target);
    struct CloseFolder {
        void operator()(DIR* listing) const { ::closedir(listing); }
    };
    std::unique_ptr<DIR, CloseFolder> listing(::opendir(folder.c_str()));
    if (!listing) {
        return;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || !name.ends_with(".tmp")) {
            continue;
        }
        name = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        const std::size_t dash = name.find('-');
        if (dash == std::string_view::npos || dash > 9 || !AllDigits(name.substr(0, dash)) ||
            !AllDigits(name.substr(dash + 1))) {
            continue;
        }
        const auto process = static_cast<pid_t>(std::stol(std::string(name.substr(0, dash))));
        if (::kill(process, 0) != 0 && errno == ESRCH) {
            ::unlink((folder + "/" + entry->d_name).c_str());
        }
    }
}

void SyncFolder(const std::string& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

} // namespace

std::u16string DescribeFailure(const FileStatus& status) {
    switch (status.kind) {
    case FileStatus::Kind::Ok:
        return u"";
    case FileStatus::Kind::ReadOnly:
        return u"読み取り専用のファイルです。";
    case FileStatus::Kind::NotAFile:
        return u"通常のファイルではありません。";
    case FileStatus::Kind::Unencodable:
        return u"Shift-JISで表せない文字が含まれています。";
    case FileStatus::Kind::System:
        break;
    }
    switch (status.errorNumber) {
    case ENOENT:
        return u"ファイルが見つかりません。";
    case EACCES:
    case EPERM:
        return u"アクセスが許可されていません。";
    case EISDIR:
        return u"フォルダーです。";
    case ENOSPC:
    case EDQUOT:
        return u"ディスクの空き容量が足りません。";
    case EFBIG:
        return u"ファイルが大きすぎます。";
    case EROFS:
        return u"読み取り専用のファイルシステムです。";
    case EIO:
        return u"入出力エラーが発生しました。";
    default:
        return u"システムエラー（" + Widen(std::strerror(status.errorNumber)) + u"）";
    }
}

FileStatus FileStore::CheckReplaceable(const std::string& path) {
    std::string target;
    struct stat info {};
    bool exists = false;
    return ResolveTarget(path, target, info, exists);
}

FileStatus FileStore::Replace(const std::string& path, std::string_view bytes) {
    return Replace(path, {bytes});
}

FileStatus FileStore::Replace(const std::string& path, std::initializer_list<std::string_view> pieces) {
    return Replace(path, [pieces](const Writer& write) {
        for (const std::string_view bytes : pieces) {
            if (FileStatus status = write(bytes); !status.Ok()) {
                return status;
            }
        }
        return FileStatus{};
    });
}

FileStatus FileStore::Replace(const std::string& path,
                              const std::function<FileStatus(const Writer&)>& produce) {
    std::string target;
    struct stat info {};
    bool exists = false;
    if (FileStatus status = ResolveTarget(path, target, info, exists); !status.Ok()) {
        return status;
    }
    RemoveLeftoverTemporaries(target);
    std::string temporary;
    FileDescriptor file(CreateTemporary(target, temporary));
    if (!file.Valid()) {
        return FileStatus::FromErrno(errno);
    }
    auto fail = [&](FileStatus status) {
        if (file.Valid()) {
            file.Close();
        }
        ::unlink(temporary.c_str());
        return status;
    };
    if (exists) {
        if (::fchmod(file.Get(), info.st_mode & 07777) != 0) {
            return fail(FileStatus::FromErrno(errno));
        }
        // Only root can give the file back to its owner; for anyone else it is theirs already.
        if (::fchown(file.Get(), info.st_uid, info.st_gid) != 0 && errno != EPERM) {
            return fail(FileStatus::FromErrno(errno));
        }
    }
    FileStatus produced;
    try {
        produced = produce([&file](std::string_view bytes) { return WriteAll(file.Get(), bytes); });
    } catch (...) {
        fail({});
        throw;
    }
    if (!produced.Ok()) {
        return fail(produced);
    }
    if (::fsync(file.Get()) != 0) {
        return fail(FileStatus::FromErrno(errno));
    }
    if (file.Close() != 0) {
        return fail(FileStatus::FromErrno(errno));
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return fail(FileStatus::FromErrno(errno));
    }
    SyncFolder(FolderOf(target));
    return {};
}

} // namespace parlowen
