#include "RenameSeam.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>

namespace {

volatile std::sig_atomic_t stopBeforeRename = 0;

} // namespace

void StopBeforeRename() {
    stopBeforeRename = 1;
}

extern "C" int rename(const char* from, const char* to) noexcept {
    if (stopBeforeRename != 0) {
        ::raise(SIGSTOP);
    }
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}
