// What is counted while one sentence is typed.
#pragma once

#include <cstdint>

namespace pw {

struct SentenceStats {
    uint32_t startTime = 0;    // millisecond tick when the question started
    uint32_t elapsed = 0;      // milliseconds from startTime to completion
    uint32_t typingCount = 0;  // characters received, ignored ones included
    uint32_t missCount = 0;
    uint32_t wordCount = 0;  // words completed

    // A fresh record for a question that starts at tick now.
    static SentenceStats startingAt(uint32_t now) {
        SentenceStats stats;
        stats.startTime = now;
        return stats;
    }
};

}  // namespace pw
