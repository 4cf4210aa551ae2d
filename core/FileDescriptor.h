#pragma once

#include <unistd.h>
#include <utility>

namespace parlowen {

// An open file descriptor, closed when it goes out of scope.
class FileDescriptor {
  public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~FileDescriptor() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    FileDescriptor(FileDescriptor&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(descriptor_, other.descriptor_);
        return *this;
    }
    int Get() const { return descriptor_; }
    bool Valid() const { return descriptor_ >= 0; }
    // close() can report the failure of a delayed write, so its result counts.
    int Close() { return ::close(std::exchange(descriptor_, -1)); }

  private:
    int descriptor_ = -1;
};

} // namespace parlowen
