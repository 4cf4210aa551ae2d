#include "LogFingerprint.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace parlowen {
namespace {

// An anonymous file holding size bytes of a pattern, with the byte at changedAt altered when given.
class PatternFile {
  public:
    PatternFile(std::size_t size, std::int64_t changedAt = -1) : file_(std::tmpfile(), &std::fclose) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>('a' + i % 23);
        }
        if (changedAt >= 0) {
            bytes[static_cast<std::size_t>(changedAt)] ^= 0x40;
        }
        EXPECT_EQ(::pwrite(Descriptor(), bytes.data(), size, 0), static_cast<ssize_t>(size));
    }
    int Descriptor() const { return ::fileno(file_.get()); }

  private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
};

std::uint64_t Head(std::size_t size, std::int64_t changedAt) {
    std::uint64_t check = 0;
    EXPECT_TRUE(LogFingerprint::HeadCheck(PatternFile(size, changedAt).Descriptor(), size, check));
    return check;
}

std::uint64_t Tail(std::size_t oldSize, std::size_t newSize, std::int64_t changedAt) {
    std::uint64_t check = 1;
    EXPECT_TRUE(
        LogFingerprint::TailCheck(PatternFile(oldSize, changedAt).Descriptor(), oldSize, newSize, check));
    return check;
}

// The head check covers exactly the bytes the first piece overwrites, the tail check exactly the old end
// that a shrinking rewrite cuts off (at most TailSize of it): a change inside must show, one outside not.
TEST(LogFingerprintTest, ChecksCoverExactlyTheOverwrittenHeadAndTheCutTail) {
    const struct {
        std::size_t size;
        std::int64_t changedAt;
        bool shows;
    } heads[] = {
        {10000, 0, true}, {10000, 4095, true}, {10000, 4096, false}, {10000, 9999, false}, {100, 99, true},
    };
    for (const auto& c : heads) {
        EXPECT_EQ(Head(c.size, c.changedAt) != Head(c.size, -1), c.shows) << c.size << " @" << c.changedAt;
    }
    const struct {
        std::size_t oldSize, newSize;
        std::int64_t changedAt;
        bool shows;
    } tails[] = {
        {10000, 9000, 9000, true},   {10000, 9000, 9999, true},  {10000, 9000, 8999, false},
        {10000, 2000, 5904, true},   {10000, 2000, 5903, false}, {10000, 0, 9999, true},
        {10000, 10000, 9999, false}, {10000, 12000, 0, false},
    };
    for (const auto& c : tails) {
        EXPECT_EQ(Tail(c.oldSize, c.newSize, c.changedAt) != Tail(c.oldSize, c.newSize, -1), c.shows)
            << c.oldSize << " -> " << c.newSize << " @" << c.changedAt;
    }
    EXPECT_EQ(Tail(10000, 10000, -1), 0u) << "a log that does not shrink has no tail to check";
}

// A log that became shorter than the size it was read with cannot be checked: the rewrite must stop.
TEST(LogFingerprintTest, ALogShorterThanItsRecordedSizeFailsTheCheck) {
    const PatternFile log(100);
    std::uint64_t check = 0;
    EXPECT_FALSE(LogFingerprint::HeadCheck(log.Descriptor(), 200, check));
    EXPECT_FALSE(LogFingerprint::TailCheck(log.Descriptor(), 200, 50, check));
    EXPECT_TRUE(LogFingerprint::TailCheck(log.Descriptor(), 100, 50, check));
}

TEST(LogFingerprintTest, TimesAreTheSameOnlyToTheNanosecond) {
    const timespec time{1700000000, 5};
    EXPECT_TRUE(LogFingerprint::SameTime(time, {1700000000, 5}));
    EXPECT_FALSE(LogFingerprint::SameTime(time, {1700000000, 6}));
    EXPECT_FALSE(LogFingerprint::SameTime(time, {1700000001, 5}));
}

} // namespace
} // namespace parlowen
