#pragma once

#include "FileDescriptor.h"
#include "FileStore.h"
#include "OwnedPath.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace parlowen {

// A new file of our own, written under a short hidden temporary name beside its target and put at the
// target's name only when it is complete and on the disk. Nothing is ever written through the target: a
// symbolic link, a folder, a device, a file that nobody may write or one with a second name (a hard link,
// which a rename would split) at the target's name is refused and left as it is.
class ReplacementFile {
  public:
    ReplacementFile();
    // Removes the temporary file unless it was committed.
    ~ReplacementFile();
    ReplacementFile(ReplacementFile&& other) noexcept;
    ReplacementFile& operator=(ReplacementFile&& other) noexcept;

    // Checks the target and creates the temporary file, with the mode a new file gets (0666 less the umask)
    // or the existing target's permission bits. Temporary files left by ended processes go first.
    static FileStatus Create(const std::string& targetPath, ReplacementFile& file);
    // Create, Append of every piece and Commit.
    static FileStatus WriteWhole(const std::string& targetPath,
                                 std::initializer_list<std::string_view> pieces);

    // Buffered, so many small pieces cost few system calls. A failure is kept and returned by Commit too.
    FileStatus Append(std::string_view bytes);
    // Reserves disk space for the whole file, so a full disk is found before the writing.
    FileStatus Reserve(std::uint64_t bytes);
    // Flushes the file to the disk, checks the target again and renames the file over it.
    FileStatus Commit();
    // Opens the file for reading: what is read through it is what Commit put at the target's name, whatever
    // becomes of the name afterwards.
    FileStatus OpenForReading(FileDescriptor& reader) const;

    // The length of every temporary name: any target name the system allows leaves room for it.
    static constexpr std::size_t TemporaryNameLength = 30;

  private:
    FileStatus Fail(FileStatus status);
    void Discard();

    FileDescriptor file_;
    std::string target_;
    OwnedPath temporary_;
    std::string buffer_;
    std::uint64_t appended_ = 0;         // bytes given to Append
    std::uint64_t writebackStarted_ = 0; // bytes from the start that the disk was asked to take
    bool targetExists_ = false;
    FileStatus failure_;
};

} // namespace parlowen
