#include "JournalHeader.h"

#include "FileStore.h"

#include <cstring>
#include <string_view>

namespace parlowen {
namespace {

constexpr char Magic[16] = {'P', 'A', 'R', 'L', 'O', 'W', 'E', 'N', '-', 'R', 'E', 'D', 'O', '-', '2', '\n'};
// The first format named the log by device and inode alone, so it cannot tell the log from a later file.
constexpr char OldMagic[16] = {'P', 'A', 'R', 'L', 'O', 'W', 'E', 'N',
                               '-', 'R', 'E', 'D', 'O', '-', '1', '\n'};
constexpr std::size_t OldHeaderSize = 64;

struct Layout {
    char magic[16];
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t oldSize;
    std::int64_t oldModifiedSeconds;
    std::int64_t oldModifiedNanoseconds;
    std::uint64_t bornKnown;
    std::int64_t bornSeconds;
    std::int64_t bornNanoseconds;
    std::uint64_t oldTailCheck;
    std::uint64_t oldHeadCheck;
    std::uint64_t size;
    std::uint64_t pathLength;
    std::uint64_t check;
    std::uint64_t unused;
};
static_assert(sizeof(Layout) == JournalHeader::Size);

struct OldLayout {
    char magic[16];
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t size;
    std::uint64_t pathLength;
    std::uint64_t check;
    std::uint64_t unused;
};
static_assert(sizeof(OldLayout) == OldHeaderSize);

// FNV-1a, 64 bits.
class Fnv {
  public:
    void Mix(const void* data, std::size_t size) {
        for (std::size_t index = 0; index < size; ++index) {
            hash_ = (hash_ ^ static_cast<const unsigned char*>(data)[index]) * 0x100000001b3ULL;
        }
    }
    std::uint64_t Value() const { return hash_; }

  private:
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

template <typename AnyLayout> std::uint64_t Check(const AnyLayout& layout, std::string_view path) {
    Fnv check;
    check.Mix(&layout, offsetof(AnyLayout, check));
    check.Mix(path.data(), path.size());
    return check.Value();
}

// Reads the path after a header of headerSize bytes and sees that the whole matches its check.
template <typename AnyLayout>
bool ReadPath(int descriptor, std::uint64_t fileSize, const AnyLayout& layout, std::size_t headerSize,
              std::string& path) {
    if (layout.pathLength > fileSize - headerSize ||
        layout.size != fileSize - headerSize - layout.pathLength) {
        return false;
    }
    path.resize(static_cast<std::size_t>(layout.pathLength));
    return FileStore::ReadAllAt(descriptor, path.data(), path.size(), headerSize).Ok() &&
           Check(layout, path) == layout.check;
}

} // namespace

std::uint64_t JournalHeader::Hash(const char* bytes, std::size_t size) {
    Fnv fnv;
    fnv.Mix(bytes, size);
    return fnv.Value();
}

std::string JournalHeader::Encode() const {
    Layout layout{};
    std::memcpy(layout.magic, Magic, sizeof Magic);
    layout.device = device;
    layout.inode = inode;
    layout.oldSize = oldSize;
    layout.oldModifiedSeconds = oldModified.tv_sec;
    layout.oldModifiedNanoseconds = oldModified.tv_nsec;
    layout.bornKnown = bornKnown ? 1 : 0;
    layout.bornSeconds = born.tv_sec;
    layout.bornNanoseconds = born.tv_nsec;
    layout.oldTailCheck = oldTailCheck;
    layout.oldHeadCheck = oldHeadCheck;
    layout.size = size;
    layout.pathLength = logPath.size();
    layout.check = Check(layout, logPath);
    return {reinterpret_cast<const char*>(&layout), sizeof layout};
}

JournalHeader::Format JournalHeader::Read(int descriptor, std::uint64_t fileSize, JournalHeader& header) {
    Layout layout{};
    if (fileSize >= OldHeaderSize &&
        FileStore::ReadAllAt(descriptor, reinterpret_cast<char*>(&layout), OldHeaderSize, 0).Ok() &&
        std::memcmp(layout.magic, OldMagic, sizeof OldMagic) == 0) {
        OldLayout old{};
        std::memcpy(&old, &layout, sizeof old);
        return ReadPath(descriptor, fileSize, old, OldHeaderSize, header.logPath) ? Format::Old
                                                                                  : Format::Invalid;
    }
    if (fileSize < Size ||
        !FileStore::ReadAllAt(descriptor, reinterpret_cast<char*>(&layout), Size, 0).Ok() ||
        std::memcmp(layout.magic, Magic, sizeof Magic) != 0 ||
        !ReadPath(descriptor, fileSize, layout, Size, header.logPath)) {
        return Format::Invalid;
    }
    header.device = layout.device;
    header.inode = layout.inode;
    header.oldSize = layout.oldSize;
    header.oldModified = {static_cast<time_t>(layout.oldModifiedSeconds),
                          static_cast<long>(layout.oldModifiedNanoseconds)};
    header.bornKnown = layout.bornKnown != 0;
    header.born = {static_cast<time_t>(layout.bornSeconds), static_cast<long>(layout.bornNanoseconds)};
    header.oldTailCheck = layout.oldTailCheck;
    header.oldHeadCheck = layout.oldHeadCheck;
    header.size = layout.size;
    return Format::Current;
}

} // namespace parlowen
