#pragma once

#include <cstddef>
#include <functional>

namespace parlowen {

// Works on numbered pieces on all of the machine's cores while the calling thread takes the results in
// order. process(piece, slot) runs on any thread, consume(piece, slot) on the calling thread for piece 0,
// then 1, 2, ...; a piece keeps its results in slot piece % slots, and a slot is filled again only after it
// was consumed, so the memory held stays bounded however many pieces there are. consume returns false to
// stop. An exception thrown on any thread is rethrown on the calling thread once every thread has stopped.
class PieceRunner {
  public:
    using Process = std::function<void(std::size_t piece, std::size_t slot)>;
    using Consume = std::function<bool(std::size_t piece, std::size_t slot)>;

    static std::size_t Cores();
    static void Run(std::size_t pieces, std::size_t slots, std::size_t threads, const Process& process,
                    const Consume& consume);
};

} // namespace parlowen
