#include "PieceRunner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <vector>

namespace parlowen {
namespace {

// Results reach the calling thread in order and a slot is never filled again before it was taken.
TEST(PieceRunner, ConsumesInOrderThroughBoundedSlots) {
    for (const std::size_t threads : {1, 2, 4}) {
        constexpr std::size_t pieces = 200;
        constexpr std::size_t slots = 3;
        std::vector<std::size_t> held(slots, pieces);
        std::vector<std::size_t> consumed;
        std::atomic<bool> overwritten{false};
        PieceRunner::Run(
            pieces, slots, threads,
            [&](std::size_t piece, std::size_t slot) {
                if (held[slot] != pieces) {
                    overwritten = true;
                }
                held[slot] = piece;
            },
            [&](std::size_t piece, std::size_t slot) {
                EXPECT_EQ(held[slot], piece);
                held[slot] = pieces;
                consumed.push_back(piece);
                return true;
            });
        EXPECT_FALSE(overwritten) << threads;
        ASSERT_EQ(consumed.size(), pieces) << threads;
        for (std::size_t piece = 0; piece < pieces; ++piece) {
            EXPECT_EQ(consumed[piece], piece) << threads;
        }
    }
}

// An allocation failure on any thread reaches the caller, where the operation's boundary catches it, and a
// consumer that stops ends the run early.
TEST(PieceRunner, CarriesFailuresAndStops) {
    for (const std::size_t threads : {1, 2, 4}) {
        for (const std::size_t failing : {0, 7, 99}) {
            EXPECT_THROW(PieceRunner::Run(
                             100, 4, threads,
                             [&](std::size_t piece, std::size_t) {
                                 if (piece == failing) {
                                     throw std::bad_alloc();
                                 }
                             },
                             [](std::size_t, std::size_t) { return true; }),
                         std::bad_alloc)
                << threads << " threads, piece " << failing;
        }
        EXPECT_THROW(PieceRunner::Run(
                         100, 4, threads, [](std::size_t, std::size_t) {},
                         [](std::size_t piece, std::size_t) -> bool {
                             if (piece == 50) {
                                 throw std::runtime_error("consumer");
                             }
                             return true;
                         }),
                     std::runtime_error);
        std::size_t taken = 0;
        PieceRunner::Run(
            100, 4, threads, [](std::size_t, std::size_t) {},
            [&](std::size_t piece, std::size_t) {
                ++taken;
                return piece < 9;
            });
        EXPECT_EQ(taken, 10u);
    }
}

} // namespace
} // namespace parlowen
