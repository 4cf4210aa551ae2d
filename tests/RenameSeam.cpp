#include "RenameSeam.h"

#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::mutex listingsMutex;
std::map<std::string, int> listings;

volatile std::sig_atomic_t stopCall = -1;
volatile std::sig_atomic_t callsLeft = 0;

void Reached(SeamCall call) {
    if (stopCall != static_cast<int>(call)) {
        return;
    }
    callsLeft = callsLeft - 1;
    if (callsLeft == 0) {
        stopCall = -1;
        ::raise(SIGSTOP);
    }
}

} // namespace

void StopBeforeRename() {
    StopBefore(SeamCall::Rename, 1);
}

void StopBefore(SeamCall call, int occurrence) {
    callsLeft = occurrence;
    stopCall = static_cast<int>(call);
}

int FolderListings(const std::string& folder) {
    const std::lock_guard lock(listingsMutex);
    const auto found = listings.find(folder);
    return found == listings.end() ? 0 : found->second;
}

extern "C" DIR* opendir(const char* path) {
    using Opendir = DIR* (*)(const char*);
    static const auto real = reinterpret_cast<Opendir>(::dlsym(RTLD_NEXT, "opendir"));
    {
        const std::lock_guard lock(listingsMutex);
        ++listings[path];
    }
    return real(path);
}

// The real calls go to the kernel directly: the C library's own names are the ones replaced here.
extern "C" int rename(const char* from, const char* to) noexcept {
    Reached(SeamCall::Rename);
    return static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, 0));
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept {
    Reached(SeamCall::Rename);
    return static_cast<int>(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, 0));
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned int flags) noexcept {
    Reached(SeamCall::Rename);
    return static_cast<int>(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, flags));
}

extern "C" ssize_t write(int descriptor, const void* bytes, size_t count) {
    Reached(SeamCall::Write);
    return ::syscall(SYS_write, descriptor, bytes, count);
}

extern "C" ssize_t pwrite(int descriptor, const void* bytes, size_t count, off_t offset) {
    Reached(SeamCall::PositionedWrite);
    return ::syscall(SYS_pwrite64, descriptor, bytes, count, offset);
}

extern "C" int fsync(int descriptor) {
    Reached(SeamCall::Sync);
    return static_cast<int>(::syscall(SYS_fsync, descriptor));
}

extern "C" int ftruncate(int descriptor, off_t length) noexcept {
    Reached(SeamCall::Truncate);
    return static_cast<int>(::syscall(SYS_ftruncate, descriptor, length));
}

extern "C" int unlink(const char* path) noexcept {
    Reached(SeamCall::Unlink);
    return static_cast<int>(::syscall(SYS_unlinkat, AT_FDCWD, path, 0));
}

extern "C" int unlinkat(int folder, const char* path, int flags) noexcept {
    Reached(SeamCall::Unlink);
    return static_cast<int>(::syscall(SYS_unlinkat, folder, path, flags));
}
