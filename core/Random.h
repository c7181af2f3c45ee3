// The process-wide pseudo-random generator and the millisecond tick.
#pragma once

#include <cstdint>

namespace pw {

// Milliseconds of a steady clock, like the system tick count.
uint32_t tickCount();

// The linear congruential generator: state = state * 214013 + 2531011, the
// result is bits 16 to 30 of the new state (0 to 32767).
class Lcg {
public:
    explicit Lcg(uint32_t seed = 1) : m_state(seed) {}
    int next() {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }
    void seed(uint32_t seed) { m_state = seed; }

private:
    uint32_t m_state;
};

// The users of the one generator. Each seeds it from the tick count on its
// own first draw in the program run, whether another has seeded it or not.
enum class RandomUser { RunShuffle, WordBoard };

// A number from the program's one generator for user.
int randomNumberFor(RandomUser user);
// The same for the run shuffle.
int randomNumber();
// Fixes the seed for every user, for reproducible runs in tests.
void seedRandom(uint32_t seed);

}  // namespace pw
