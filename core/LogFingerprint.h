#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

namespace parlowen {

// What a journal keeps of the log it was made for, beyond its device and inode, so that a later start can
// tell that log, unchanged or part-way through the rewrite, from a file that merely took its place: the
// birth time and checks of the bytes the rewrite overwrites first and cuts last.
class LogFingerprint {
  public:
    // The log's first bytes, which the rewrite writes alone before anything else.
    static constexpr std::size_t HeadSize = 4096;
    // How much of the old log's end, past the new text, tells whether the log was already cut.
    static constexpr std::size_t TailSize = 4096;

    // The check of the old log's first bytes, which the first piece overwrites.
    static bool HeadCheck(int log, std::uint64_t oldSize, std::uint64_t& check);
    // The check of the old log's last bytes past the new text, which the cut removes; 0 when it does not
    // shrink.
    static bool TailCheck(int log, std::uint64_t oldSize, std::uint64_t newSize, std::uint64_t& check);
    // The birth time of an open file, where the file system keeps one.
    static bool BirthTime(int descriptor, struct timespec& born);
    static bool SameTime(const struct timespec& one, const struct timespec& other);
};

} // namespace parlowen
