// The tick count and the process-wide generator.
#include "core/Random.h"

#include <array>
#include <chrono>
#include <mutex>

namespace pw {
namespace {

std::mutex g_mutex;
Lcg g_generator;
std::array<bool, 2> g_seeded{};

}  // namespace

uint32_t tickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int randomNumberFor(RandomUser user) {
    std::lock_guard lock(g_mutex);
    bool& seeded = g_seeded[static_cast<size_t>(user)];
    if (!seeded) {
        g_generator.seed(tickCount());
        seeded = true;
    }
    return g_generator.next();
}

int randomNumber() {
    return randomNumberFor(RandomUser::RunShuffle);
}

void seedRandom(uint32_t seed) {
    std::lock_guard lock(g_mutex);
    g_generator.seed(seed);
    g_seeded.fill(true);
}

}  // namespace pw
