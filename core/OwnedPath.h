#pragma once

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace parlowen {

// The name of a file this program made and has not yet handed over: removed when it goes out of scope,
// unless it was disowned (renamed into place, or never ours). A name relative to a folder descriptor is
// removed in that folder, which must outlive it.
class OwnedPath {
  public:
    OwnedPath() = default;
    OwnedPath(std::string path, bool owned, int folder = AT_FDCWD)
        : path_(std::move(path)), owned_(owned), folder_(folder) {}
    ~OwnedPath() {
        if (owned_) {
            ::unlinkat(folder_, path_.c_str(), 0);
        }
    }
    OwnedPath(OwnedPath&& other) noexcept
        : path_(std::exchange(other.path_, {})), owned_(std::exchange(other.owned_, false)),
          folder_(other.folder_) {}
    OwnedPath& operator=(OwnedPath&& other) noexcept {
        std::swap(path_, other.path_);
        std::swap(owned_, other.owned_);
        std::swap(folder_, other.folder_);
        return *this;
    }

    const std::string& Get() const { return path_; }
    bool Empty() const { return path_.empty(); }
    // Removes the file now, owned or not; unlink's result.
    int Remove() {
        const int removed = path_.empty() ? 0 : ::unlinkat(folder_, path_.c_str(), 0);
        Forget();
        return removed;
    }
    // The file is no longer ours to remove.
    void Forget() {
        path_.clear();
        owned_ = false;
    }

  private:
    std::string path_;
    bool owned_ = false;
    int folder_ = AT_FDCWD;
};

} // namespace parlowen
