#pragma once

#include "FileDescriptor.h"
#include "FileStore.h"

#include <string>
#include <string_view>
#include <sys/stat.h>

namespace parlowen {

// A log's bytes as the system maps them, read-only: one copy of the log, in the page cache, however large.
// A program that shortens the file while it is mapped makes the lost pages unreadable (SIGBUS); appending is
// harmless, the mapping keeps the size the file had when it was opened.
class MappedFile {
  public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;

    // Maps a regular file; a folder, a named pipe or a device is refused without waiting for a writer.
    static FileStatus Open(const std::string& path, MappedFile& file);
    // The same for a file already open for reading.
    static FileStatus Map(FileDescriptor descriptor, MappedFile& file);

    // Never a null pointer, which memchr and its kin may not be given even for no bytes.
    std::string_view Bytes() const {
        return size_ == 0 ? std::string_view("", 0) : std::string_view(data_, size_);
    }
    // Gives back the memory of a part of Bytes() that has been read: the file stays in the system's cache, so
    // a long operation holds what it writes rather than what it has read. Read again, it is read from there.
    void Release(std::string_view part) const;
    // What the file was when it was opened: its device, inode, size and modification time.
    const struct stat& Status() const { return status_; }
    int Descriptor() const { return descriptor_.Get(); }
    // Lets the system take back the pages from offset on, which a pass from the end has finished with: a
    // gigabyte log then never holds a gigabyte of memory. They are read again from the file if touched.
    void ReleaseFrom(std::size_t offset);

  private:
    FileDescriptor descriptor_;
    struct stat status_ {};
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace parlowen
