#include "Prefault.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <unistd.h>

namespace parlowen {

namespace {

constexpr std::size_t WorthIt = 1 << 20;

// The whole pages inside a buffer: madvise works on nothing less.
bool WholePages(void* data, std::size_t bytes, void*& start, std::size_t& length) {
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) / page * page;
    start = reinterpret_cast<void*>(begin);
    length = end > begin ? end - begin : 0;
    return bytes >= WorthIt && length != 0;
}

} // namespace

void PreferLargePages(void* data, std::size_t bytes) {
    void* start = nullptr;
    std::size_t length = 0;
    if (WholePages(data, bytes, start, length)) {
        ::madvise(start, length, MADV_HUGEPAGE);
    }
}

void PrefaultForWriting(void* data, std::size_t bytes) {
    void* start = nullptr;
    std::size_t length = 0;
    if (!WholePages(data, bytes, start, length)) {
        return;
    }
    ::madvise(start, length, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    ::madvise(start, length, MADV_POPULATE_WRITE);
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
