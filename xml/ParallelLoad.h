// When a UTF-8 file is read in two parts at once, one thread each: large
// files on machines with more than one core. The second part begins at the
// first "<" and name character after a little more than half of the file;
// tests move the search.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>

namespace pw::xml {

struct ParallelLoad {
    size_t minimumSize = 1 << 20;  // smaller files are read in one part
    // Where the search for the second part's start begins, for every size.
    std::optional<size_t> searchFrom;
    std::atomic<int> joins = 0;  // loads read in two parts
};

ParallelLoad& parallelLoad();

}  // namespace pw::xml
