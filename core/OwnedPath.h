#pragma once

#include <string>
#include <unistd.h>
#include <utility>

namespace parlowen {

// The name of a file this program made and has not yet handed over: removed when it goes out of scope,
// unless it was disowned (renamed into place, or never ours).
class OwnedPath {
  public:
    OwnedPath() = default;
    OwnedPath(std::string path, bool owned) : path_(std::move(path)), owned_(owned) {}
    ~OwnedPath() {
        if (owned_) {
            ::unlink(path_.c_str());
        }
    }
    OwnedPath(OwnedPath&& other) noexcept
        : path_(std::exchange(other.path_, {})), owned_(std::exchange(other.owned_, false)) {}
    OwnedPath& operator=(OwnedPath&& other) noexcept {
        std::swap(path_, other.path_);
        std::swap(owned_, other.owned_);
        return *this;
    }

    const std::string& Get() const { return path_; }
    bool Empty() const { return path_.empty(); }
    // Removes the file now, owned or not; unlink's result.
    int Remove() {
        const int removed = path_.empty() ? 0 : ::unlink(path_.c_str());
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
};

} // namespace parlowen
