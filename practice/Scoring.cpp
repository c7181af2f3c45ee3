// Scores and their labels.
#include "practice/Scoring.h"

#include <cstdio>

#include "core/Utf.h"

namespace pw {

double computeScore(const SentenceStats& stats) {
    if (stats.elapsed == 0 || stats.typingCount == 0) {
        return 0;
    }
    const double seconds = stats.elapsed / 1000.0;
    // Misses are counted only for typed characters, so missCount <= typingCount;
    // a clamp keeps a corrupted record from wrapping round.
    const uint32_t misses =
        stats.missCount < stats.typingCount ? stats.missCount : stats.typingCount;
    const double correct = static_cast<double>(stats.typingCount - misses);
    const double accuracy = correct / stats.typingCount;
    const double raw = accuracy * accuracy * correct * 60.0;
    return seconds > 0.0001 ? raw / seconds : raw;
}

std::u16string formatScore(double score) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", score);
    return fromUtf8(text);
}

std::u16string scoreLabel(double score, double stored) {
    return (score > stored ? u"HighScore: " : u"Score: ") + formatScore(score);
}

}  // namespace pw
