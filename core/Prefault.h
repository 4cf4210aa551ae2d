#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace parlowen {

// Asks the kernel to back a large, freshly allocated buffer with memory before it is written. A hundred
// megabyte log otherwise costs tens of thousands of page faults, which on virtual machines take longer than
// the work itself. Harmless where the kernel cannot do it; small buffers are left alone.
void PrefaultForWriting(void* data, std::size_t bytes);

// Asks the kernel to back a large buffer with pages of two megabytes where it can: one fault and one
// clearing for each, where small pages take five hundred.
void PreferLargePages(void* data, std::size_t bytes);

// Reserves room for count characters and prefaults it: the string's later appends find memory ready.
template <typename String> void ReserveWritable(String& string, std::size_t count) {
    string.reserve(count);
    PrefaultForWriting(string.data(), string.capacity() * sizeof(typename String::value_type));
}

// Grows a string reserved for the worst case, prefaulting its reserve a step ahead of the writes: the
// memory it takes is what is written, while the page faults are still taken in large steps.
template <typename String> class GrowingBuffer {
  public:
    using Char = typename String::value_type;

    explicit GrowingBuffer(String& string) : string_(string) {}

    void Append(std::basic_string_view<Char> text) {
        Prepare(text.size());
        string_.append(text);
    }

    // Makes room for count more characters past the end and returns where they go; Commit says how many
    // were written. The room is zero-filled, which costs no more than the page faults it replaces.
    Char* Extend(std::size_t count) {
        Prepare(count);
        const std::size_t written = string_.size();
        string_.resize(written + count);
        return string_.data() + written;
    }
    void Commit(Char* end) { string_.resize(static_cast<std::size_t>(end - string_.data())); }

  private:
    static constexpr std::size_t Step = std::size_t{2} << 20;
    static constexpr std::uintptr_t LargePage = std::uintptr_t{2} << 20;

    void Prepare(std::size_t count) {
        auto* base = reinterpret_cast<char*>(string_.data());
        const std::size_t reserved = string_.capacity() * sizeof(Char);
        if (base != base_) { // new, or reallocated because the reserve fell short
            base_ = base;
            ready_ = string_.size() * sizeof(Char);
            PreferLargePages(base_, reserved);
        }
        const std::size_t needed = (string_.size() + count) * sizeof(Char);
        if (needed > ready_ && needed <= reserved) {
            // Steps end on a large page's boundary, so that each large page is prefaulted whole.
            const auto end = reinterpret_cast<std::uintptr_t>(base_) + std::max(needed, ready_ + Step);
            const std::size_t until =
                std::min(reserved, static_cast<std::size_t>((end + LargePage - 1) / LargePage * LargePage -
                                                            reinterpret_cast<std::uintptr_t>(base_)));
            PrefaultForWriting(base_ + ready_, until - ready_);
            ready_ = until;
        }
    }

    String& string_;
    char* base_ = nullptr;
    std::size_t ready_ = 0; // bytes from the start that have been prefaulted
};

} // namespace parlowen
