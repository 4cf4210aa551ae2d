#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace parlowen {

// The start of a journal file on the disk: what identified the log before the rewrite (device, inode, size,
// modification time, birth time), checks of the old log's first bytes and of its last bytes that the new
// text leaves behind, the new size and the log's path, all under one check, so that a file that is not a
// whole journal is never taken for one. The new bytes follow the path.
class JournalHeader {
  public:
    static constexpr std::size_t Size = 128;

    enum class Format { Current, Old, Invalid };
    // Reads the header and path of the journal open at descriptor, fileSize bytes long. An old-format
    // journal yields only its logPath: it named the log by device and inode alone.
    static Format Read(int descriptor, std::uint64_t fileSize, JournalHeader& header);
    // The Size bytes to write at the journal's start, once everything is known.
    std::string Encode() const;
    // Where the new bytes start in the journal.
    std::uint64_t TextStart() const { return Size + logPath.size(); }
    // The check the header keeps of the log's bytes (FNV-1a, 64 bits).
    static std::uint64_t Hash(const char* bytes, std::size_t size);

    std::string logPath;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t oldSize = 0;
    struct timespec oldModified {};
    bool bornKnown = false;
    struct timespec born {};
    std::uint64_t oldTailCheck = 0; // of the old log's last bytes past the new text, when it shrinks
    std::uint64_t oldHeadCheck = 0; // of the old log's first bytes
    std::uint64_t size = 0;         // the new bytes of the log, after the header and the path
};

} // namespace parlowen
