#include "Prefault.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <unistd.h>

namespace parlowen {

void PrefaultForWriting(void* data, std::size_t bytes) {
    constexpr std::size_t worthIt = 1 << 20;
    if (bytes < worthIt) {
        return;
    }
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) / page * page;
    if (end <= begin) {
        return;
    }
    void* start = reinterpret_cast<void*>(begin);
    ::madvise(start, end - begin, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    ::madvise(start, end - begin, MADV_POPULATE_WRITE);
#endif
}

void RequireMemory(std::size_t bytes) {
    struct sysinfo machine {};
    if (::sysinfo(&machine) == 0 && bytes / machine.mem_unit > machine.totalram + machine.totalswap) {
        throw std::bad_alloc();
    }
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && bytes > limit.rlim_cur) {
        throw std::bad_alloc();
    }
}

} // namespace parlowen
