// Candidate rows, the point limit and the shuffle.
#include "practice/QuestionOrder.h"

#include <algorithm>
#include <cmath>

namespace pw {

std::vector<uint32_t> candidateRows(RunKind kind, int rowCount, std::vector<int> selectedRows) {
    std::erase_if(selectedRows, [&](int row) { return row < 0 || row >= rowCount; });
    std::sort(selectedRows.begin(), selectedRows.end());
    selectedRows.erase(std::unique(selectedRows.begin(), selectedRows.end()), selectedRows.end());

    std::vector<uint32_t> rows;
    switch (kind) {
        case RunKind::AllRows:
        case RunKind::FromSelection: {
            int first = 0;
            if (kind == RunKind::FromSelection) {
                if (selectedRows.empty()) {
                    return rows;
                }
                first = selectedRows.front();
            }
            for (int row = first; row < rowCount; ++row) {
                rows.push_back(static_cast<uint32_t>(row));
            }
            break;
        }
        case RunKind::SelectedRows:
            rows.assign(selectedRows.begin(), selectedRows.end());
            break;
    }
    return rows;
}

bool reachesPointLimit(double storedScore, int pointLimit) {
    // Compared as doubles: a huge stored score must not overflow an int.
    return std::trunc(storedScore) >= pointLimit;
}

}  // namespace pw
