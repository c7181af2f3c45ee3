// The tick count and the process-wide generator.
#include "core/Random.h"

#include <chrono>
#include <mutex>

namespace pw {
namespace {

std::mutex g_mutex;
Lcg g_generator;
bool g_seeded = false;

}  // namespace

uint32_t tickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int randomNumber() {
    std::lock_guard lock(g_mutex);
    if (!g_seeded) {
        g_generator.seed(tickCount());
        g_seeded = true;
    }
    return g_generator.next();
}

void seedRandom(uint32_t seed) {
    std::lock_guard lock(g_mutex);
    g_generator.seed(seed);
    g_seeded = true;
}

}  // namespace pw
