#include "platform/random.h"

#include <atomic>

namespace platform {

namespace {

// Only the main thread draws, but the state is atomic so that a stray draw elsewhere would be
// a race-free one.
std::atomic<std::uint32_t> state{1};

}  // namespace

void seedRandom(std::uint32_t seed) {
    state.store(seed, std::memory_order_relaxed);
}

std::uint32_t randomState() {
    return state.load(std::memory_order_relaxed);
}

int random() {
    const std::uint32_t next = state.load(std::memory_order_relaxed) * 214013u + 2531011u;
    state.store(next, std::memory_order_relaxed);
    return static_cast<int>((next >> 16) & 0x7fff);
}

}  // namespace platform
