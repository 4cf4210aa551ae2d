#include "StateFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace parlowen {
namespace {

constexpr std::string_view JournalSuffix = ".journal";
constexpr std::string_view TemporarySuffix = ".tmp";
// "DDDDDDDDDDDDDDDD-IIIIIIIIIIIIIIII": device and inode in hex.
constexpr std::size_t KeyLength = 33;

std::string Key(std::uint64_t device, std::uint64_t inode) {
    char key[KeyLength + 1];
    std::snprintf(key, sizeof key, "%016llx-%016llx", static_cast<unsigned long long>(device),
                  static_cast<unsigned long long>(inode));
    return key;
}

bool IsHex(std::string_view text) {
    return text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// The name of a journal being written ends in the writing process's number.
void RemoveIfAbandoned(int folder, std::string_view name) {
    if (name.size() == KeyLength + 9 + TemporarySuffix.size() && name.ends_with(TemporarySuffix) &&
        name[KeyLength] == '-' && IsHex(name.substr(KeyLength + 1, 8)) &&
        FileStore::ProcessEnded(std::stoul(std::string(name.substr(KeyLength + 1, 8)), nullptr, 16))) {
        ::unlinkat(folder, std::string(name).c_str(), 0);
    }
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/";
}

// What a journal in the folder, or the folder itself, must be: the user's own, writable by nobody else.
bool Private(const struct stat& info) {
    return info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string StateFolder::Path() {
    const char* state = std::getenv("XDG_STATE_HOME");
    // The XDG base directory rules ignore a relative path.
    const std::string base = state != nullptr && state[0] == '/' ? state : HomeFolder() + "/.local/state";
    return base + "/parlowen";
}

// Its parents are the user's choice ($XDG_STATE_HOME may well be a link): only the last step is checked.
FileStatus StateFolder::Open(bool create, FileDescriptor& folder) {
    const std::string path = Path();
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

std::string StateFolder::JournalName(std::uint64_t device, std::uint64_t inode) {
    return Key(device, inode) + std::string(JournalSuffix);
}

std::string StateFolder::TemporaryName(std::uint64_t device, std::uint64_t inode) {
    char process[10];
    std::snprintf(process, sizeof process, "-%08x", static_cast<unsigned>(::getpid()));
    return Key(device, inode) + process + std::string(TemporarySuffix);
}

std::vector<std::string> StateFolder::JournalNames(int folder) {
    std::vector<std::string> journals;
    for (std::string& name : FileStore::FolderNames(folder)) {
        RemoveIfAbandoned(folder, name);
        if (name.size() == KeyLength + JournalSuffix.size() && name.ends_with(JournalSuffix)) {
            journals.push_back(std::move(name));
        }
    }
    return journals;
}

FileDescriptor StateFolder::OpenPrivateFile(int folder, const std::string& name, struct stat& info) {
    struct stat named {};
    if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode) ||
        !Private(named)) {
        return {};
    }
    FileDescriptor opened(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    // The same file that was checked, not one swapped in since.
    if (!opened.Valid() || ::fstat(opened.Get(), &info) != 0 || !S_ISREG(info.st_mode) || !Private(info) ||
        info.st_ino != named.st_ino) {
        return {};
    }
    return opened;
}

} // namespace parlowen
