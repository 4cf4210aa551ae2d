#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <thread>

namespace parlowen {

// Asks the kernel to back a large, freshly allocated buffer with memory before it is written. A hundred
// megabyte log otherwise costs tens of thousands of page faults, which on virtual machines take longer than
// the work itself. Harmless where the kernel cannot do it; small buffers are left alone.
void PrefaultForWriting(void* data, std::size_t bytes);

// Asks the kernel to back a large buffer with pages of two megabytes where it can: one fault and one
// clearing for each, where small pages take five hundred.
void PreferLargePages(void* data, std::size_t bytes);

// Throws std::bad_alloc when bytes are more than the machine's memory and swap, or the process's address
// space limit, could ever hold: a text built from a sparse terabyte file fails at once, not after a pass
// over the whole file.
void RequireMemory(std::size_t bytes);

// Reserves room for count characters and prefaults it: the string's later appends find memory ready.
template <typename String> void ReserveWritable(String& string, std::size_t count) {
    string.reserve(count);
    PrefaultForWriting(string.data(), string.capacity() * sizeof(typename String::value_type));
}

// Grows a string reserved for the worst case, prefaulting its reserve a step ahead of the writes: the
// memory it takes is what is written, while the page faults are still taken in large steps. One thread
// writes; other threads may call PrefaultAhead meanwhile and so take the page faults off the writer's path.
template <typename String> class GrowingBuffer {
  public:
    using Char = typename String::value_type;

    explicit GrowingBuffer(String& string)
        : string_(string), base_(reinterpret_cast<char*>(string.data())),
          reserved_(string.capacity() * sizeof(Char)), faulted_(string.size() * sizeof(Char)),
          written_(string.size() * sizeof(Char)) {
        PreferLargePages(base_, reserved_);
    }

    void Append(std::basic_string_view<Char> text) {
        Prepare(text.size());
        string_.append(text);
        written_.store(string_.size() * sizeof(Char), std::memory_order_relaxed);
    }

    // Makes room for count more characters past the end and returns where they go; Commit says how many
    // were written. The room is zero-filled, which costs little once its pages are there.
    Char* Extend(std::size_t count) {
        Prepare(count);
        const std::size_t written = string_.size();
        string_.resize(written + count);
        return string_.data() + written;
    }
    void Commit(Char* end) {
        string_.resize(static_cast<std::size_t>(end - string_.data()));
        written_.store(string_.size() * sizeof(Char), std::memory_order_relaxed);
    }

    // Prefaults the next step when the writes are near it; for any thread.
    void PrefaultAhead() { PrefaultUpTo(written_.load(std::memory_order_relaxed) + Ahead); }

  private:
    static constexpr std::size_t Step = std::size_t{2} << 20;
    static constexpr std::size_t Ahead = std::size_t{16} << 20;
    static constexpr std::size_t Stopped = static_cast<std::size_t>(-1);

    void Prepare(std::size_t count) {
        const std::size_t needed = (string_.size() + count) * sizeof(Char);
        if (needed <= reserved_) {
            PrefaultUpTo(needed);
            return;
        }
        // The reserve fell short and the string moves: no thread may prefault the old place any more.
        faulted_.store(Stopped);
        while (prefaulting_.load() != 0) {
            std::this_thread::yield();
        }
    }

    void PrefaultUpTo(std::size_t wanted) {
        prefaulting_.fetch_add(1);
        std::size_t from = faulted_.load();
        while (from < wanted && from < reserved_) {
            // Steps end on a large page's boundary, so that each large page is prefaulted whole.
            const auto end = reinterpret_cast<std::uintptr_t>(base_) + std::max(wanted, from + Step);
            const std::size_t to =
                std::min(reserved_, static_cast<std::size_t>((end + LargePage - 1) / LargePage * LargePage -
                                                             reinterpret_cast<std::uintptr_t>(base_)));
            if (faulted_.compare_exchange_weak(from, to)) {
                PrefaultForWriting(base_ + from, to - from);
                from = to;
            }
        }
        prefaulting_.fetch_sub(1);
    }

    static constexpr std::uintptr_t LargePage = std::uintptr_t{2} << 20;

    String& string_;
    char* const base_;
    const std::size_t reserved_;
    std::atomic<std::size_t> faulted_; // bytes from the start that are prefaulted or being prefaulted
    std::atomic<std::size_t> written_; // bytes from the start that hold text
    std::atomic<int> prefaulting_{0};
};

} // namespace parlowen
