// Which sentences a run asks and in which order.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "practice/PracticeMode.h"

namespace pw {

// The rows a run of kind asks before filtering, in list order: every row,
// the first selected row to the last row, or the selected rows. Selected rows
// outside 0 to rowCount - 1 are ignored.
std::vector<uint32_t> candidateRows(RunKind kind, int rowCount, std::vector<int> selectedRows);

// Shuffles items with a generator giving 0 to 32767: for i from 1 to n - 1,
// j = trunc(random() * (i + 1) / 32767.0), kept within 0 to i, and elements i
// and j swap places. The run's questions and the word board's choices are
// shuffled so.
template <typename T>
void shuffleItems(std::vector<T>& items, const std::function<int()>& random) {
    for (size_t i = 1; i < items.size(); ++i) {
        const double scaled = std::trunc(random() * static_cast<double>(i + 1) / 32767.0);
        const size_t j = scaled <= 0 ? 0 : std::min(static_cast<size_t>(scaled), i);
        std::swap(items[i], items[j]);
    }
}

inline void shuffleQuestions(std::vector<uint32_t>& order, const std::function<int()>& random) {
    shuffleItems(order, random);
}

// Whether a stored score keeps a sentence out of a run with a point limit:
// the score's whole part is at least the limit.
bool reachesPointLimit(double storedScore, int pointLimit);

}  // namespace pw
