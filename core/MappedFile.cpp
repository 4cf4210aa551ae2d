#include "MappedFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace parlowen {

MappedFile::~MappedFile() {
    if (size_ != 0) {
        ::munmap(const_cast<char*>(data_), size_);
    }
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : descriptor_(std::move(other.descriptor_)), status_(other.status_),
      data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    std::swap(descriptor_, other.descriptor_);
    std::swap(status_, other.status_);
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
}

void MappedFile::Release(std::string_view part) const {
    if (part.data() < data_ || part.data() + part.size() > data_ + size_) {
        return;
    }
    // Only whole pages inside the part: the pages at its edges hold bytes of the neighbouring parts. The
    // file's last page has none after it.
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const bool toTheEnd = part.data() + part.size() == data_ + size_;
    const auto begin = (reinterpret_cast<std::uintptr_t>(part.data()) + page - 1) / page * page;
    const auto end =
        (reinterpret_cast<std::uintptr_t>(part.data() + part.size()) + (toTheEnd ? page - 1 : 0)) / page *
        page;
    if (begin < end) {
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
    }
}

void MappedFile::ReleaseFrom(std::size_t offset) {
    if (offset < size_) {
        Release(Bytes().substr(offset));
    }
}

FileStatus MappedFile::Open(const std::string& path, MappedFile& file) {
    // Without O_NONBLOCK, opening a named pipe put where the log was waits for a writer that never comes;
    // a regular file ignores the flag.
    FileDescriptor descriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!descriptor.Valid()) {
        return FileStatus::FromErrno(errno);
    }
    return Map(std::move(descriptor), file);
}

FileStatus MappedFile::Map(FileDescriptor descriptor, MappedFile& file) {
    MappedFile opened;
    opened.descriptor_ = std::move(descriptor);
    if (!opened.descriptor_.Valid()) {
        return FileStatus::FromErrno(EBADF);
    }
    if (::fstat(opened.descriptor_.Get(), &opened.status_) != 0) {
        return FileStatus::FromErrno(errno);
    }
    if (!S_ISREG(opened.status_.st_mode)) {
        return {FileStatus::Kind::NotAFile, 0};
    }
    if (opened.status_.st_size > 0) {
        const auto size = static_cast<std::size_t>(opened.status_.st_size);
        void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, opened.descriptor_.Get(), 0);
        if (data == MAP_FAILED) {
            return FileStatus::FromErrno(errno);
        }
        opened.data_ = static_cast<const char*>(data);
        opened.size_ = size;
    }
    file = std::move(opened);
    return {};
}

} // namespace parlowen
