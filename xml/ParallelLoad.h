// When a UTF-8 file is read in two parts at once, one thread each: large
// files on machines with more than one core. The second part begins at the
// first "<" and name character that opens a line after a little more than
// half of the file (or the first at all, within 4 KB). The reader that
// finishes its part first takes over the far share of what the other has
// still to read, as one core may run slower than the other; tests move the
// searches, which then take the first "<" and name character, and choose
// which reader takes over.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>

namespace pw::xml {

struct ParallelLoad {
    size_t minimumSize = 1 << 20;  // smaller files are read in one part
    // Where the search for the second part's start begins, for every size.
    std::optional<size_t> searchFrom;
    // Less left to read than this is not worth a reader of its own.
    size_t minimumTakeOver = 512 << 10;
    // For tests: the reader that takes over (0 for the first part's, 1 for
    // the second's; the other waits for it at its start) and where the
    // search for the start of what it takes begins.
    std::optional<int> takeOverBy;
    std::optional<size_t> takeOverFrom;
    std::atomic<int> joins = 0;      // loads read in parts
    std::atomic<int> takeOvers = 0;  // loads that joined a part taken over
};

ParallelLoad& parallelLoad();

}  // namespace pw::xml
