// The millisecond tick that times sentences; tests set the time themselves.
#pragma once

#include <cstdint>

#include "core/Random.h"

namespace pw {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds of a steady clock; differences are taken modulo 2^32.
    virtual uint32_t now() = 0;
};

class TickClock : public Clock {
public:
    uint32_t now() override { return tickCount(); }
};

}  // namespace pw
