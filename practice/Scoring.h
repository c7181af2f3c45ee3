// Scores from the statistics of a typed sentence, and how they are shown.
#pragma once

#include <string>

#include "practice/SentenceStats.h"

namespace pw {

// Correct characters per minute weighted by the square of the accuracy; 0
// when no time passed or nothing was typed.
double computeScore(const SentenceStats& stats);

// A score as stored and shown: one decimal ("%.1lf").
std::u16string formatScore(double score);

// The Answer state's label: "HighScore: %s" when score beats stored, else
// "Score: %s".
std::u16string scoreLabel(double score, double stored);

}  // namespace pw
