#include "LogFingerprint.h"

#include "FileStore.h"
#include "JournalHeader.h"

#include <algorithm>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>

namespace parlowen {
namespace {

// A check of count bytes of the log from offset.
bool RangeCheck(int log, std::uint64_t offset, std::size_t count, std::uint64_t& check) {
    std::string bytes(count, '\0');
    if (!FileStore::ReadAllAt(log, bytes.data(), count, offset).Ok()) {
        return false;
    }
    check = JournalHeader::Hash(bytes.data(), count);
    return true;
}

} // namespace

bool LogFingerprint::HeadCheck(int log, std::uint64_t oldSize, std::uint64_t& check) {
    return RangeCheck(log, 0, static_cast<std::size_t>(std::min<std::uint64_t>(HeadSize, oldSize)), check);
}

bool LogFingerprint::TailCheck(int log, std::uint64_t oldSize, std::uint64_t newSize, std::uint64_t& check) {
    check = 0;
    return newSize >= oldSize ||
           RangeCheck(log, oldSize - std::min<std::uint64_t>(TailSize, oldSize - newSize),
                      static_cast<std::size_t>(std::min<std::uint64_t>(TailSize, oldSize - newSize)), check);
}

bool LogFingerprint::BirthTime(int descriptor, struct timespec& born) {
    struct statx info {};
    if (::statx(descriptor, "", AT_EMPTY_PATH, STATX_BTIME, &info) != 0 ||
        (info.stx_mask & STATX_BTIME) == 0) {
        return false;
    }
    born = {static_cast<time_t>(info.stx_btime.tv_sec), static_cast<long>(info.stx_btime.tv_nsec)};
    return true;
}

bool LogFingerprint::SameTime(const struct timespec& one, const struct timespec& other) {
    return one.tv_sec == other.tv_sec && one.tv_nsec == other.tv_nsec;
}

} // namespace parlowen
