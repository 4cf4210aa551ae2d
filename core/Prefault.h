#pragma once

#include <cstddef>

namespace parlowen {

// Asks the kernel to back a large, freshly allocated buffer with memory before it is written. A hundred
// megabyte log otherwise costs tens of thousands of page faults, which on virtual machines take longer than
// the work itself. Harmless where the kernel cannot do it; small buffers are left alone.
void PrefaultForWriting(void* data, std::size_t bytes);

// Throws std::bad_alloc when bytes are more than the machine's memory and swap, or the process's address
// space limit, could ever hold: a text built from a sparse terabyte file fails at once, not after a pass
// over the whole file.
void RequireMemory(std::size_t bytes);

// Reserves room for count characters and prefaults it: the string's later appends find memory ready.
template <typename String> void ReserveWritable(String& string, std::size_t count) {
    string.reserve(count);
    PrefaultForWriting(string.data(), string.capacity() * sizeof(typename String::value_type));
}

} // namespace parlowen
