#include "PieceRunner.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <stop_token>
#include <system_error>
#include <thread>
#include <vector>

namespace parlowen {
namespace {

constexpr std::size_t NotReady = static_cast<std::size_t>(-1);

struct Shared {
    std::mutex mutex;
    std::condition_variable_any changed;
    std::size_t claimed = 0;             // pieces handed out
    std::size_t consumed = 0;            // pieces taken by the calling thread
    std::vector<std::size_t> readyPiece; // per slot: the piece whose results it holds, or NotReady
    std::exception_ptr failure;
};

} // namespace

std::size_t PieceRunner::Cores() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

void PieceRunner::Run(std::size_t pieces, std::size_t slots, std::size_t threads, const Process& process,
                      const Consume& consume) {
    if (pieces == 0) {
        return;
    }
    Shared shared;
    shared.readyPiece.assign(slots, NotReady);
    const auto claimable = [&] {
        return shared.claimed < pieces && shared.claimed < shared.consumed + slots;
    };
    const auto helper = [&](std::stop_token stop) {
        std::unique_lock lock(shared.mutex);
        for (;;) {
            shared.changed.wait(lock, stop, [&] { return claimable() || shared.claimed >= pieces; });
            if (stop.stop_requested() || !claimable()) {
                return;
            }
            const std::size_t piece = shared.claimed++;
            lock.unlock();
            try {
                process(piece, piece % slots);
            } catch (...) {
                lock.lock();
                shared.failure = std::current_exception();
                shared.changed.notify_all();
                return;
            }
            lock.lock();
            shared.readyPiece[piece % slots] = piece;
            shared.changed.notify_all();
        }
    };
    // Declared after the shared state and before the lock: on the way out, also by an exception, the lock is
    // released first, then the helpers are asked to stop and joined, and only then the state goes.
    std::vector<std::jthread> helpers;
    for (std::size_t thread = 1; thread < threads && thread < pieces; ++thread) {
        try {
            helpers.emplace_back(helper);
        } catch (const std::system_error&) {
            break; // the system gives no more threads: the calling thread does the work with fewer helpers
        }
    }
    std::unique_lock lock(shared.mutex);
    // The calling thread takes the next result when it is ready and otherwise works on a piece itself.
    while (shared.consumed < pieces && !shared.failure) {
        const std::size_t slot = shared.consumed % slots;
        if (shared.readyPiece[slot] == shared.consumed) {
            lock.unlock();
            const bool more = consume(shared.consumed, slot);
            lock.lock();
            shared.readyPiece[slot] = NotReady;
            ++shared.consumed;
            shared.changed.notify_all();
            if (!more) {
                break;
            }
        } else if (claimable()) {
            const std::size_t piece = shared.claimed++;
            lock.unlock();
            process(piece, piece % slots);
            lock.lock();
            shared.readyPiece[piece % slots] = piece;
        } else {
            shared.changed.wait(lock);
        }
    }
    const std::exception_ptr failure = shared.failure;
    lock.unlock();
    helpers.clear();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace parlowen
