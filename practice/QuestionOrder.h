// Which sentences a run asks and in which order.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "practice/PracticeMode.h"

namespace pw {

// The rows a run of kind asks before filtering, in list order: every row,
// the first selected row to the last row, or the selected rows. Selected rows
// outside 0 to rowCount - 1 are ignored.
std::vector<uint32_t> candidateRows(RunKind kind, int rowCount, std::vector<int> selectedRows);

// Shuffles order with a generator giving 0 to 32767: for i from 1 to n - 1,
// j = trunc(random() * (i + 1) / 32767.0), kept within 0 to i, and elements i
// and j swap places.
void shuffleQuestions(std::vector<uint32_t>& order, const std::function<int()>& random);

// Whether a stored score keeps a sentence out of a run with a point limit:
// the score's whole part is at least the limit.
bool reachesPointLimit(double storedScore, int pointLimit);

}  // namespace pw
