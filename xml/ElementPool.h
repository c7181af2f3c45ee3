// Storage for Element nodes and their attribute blocks: slabs of equal
// blocks, one size each, because a document holds hundreds of thousands of
// nodes and the general allocator spends more time on them than the reader
// does.
#pragma once

#include <cstddef>

namespace pw {

// Thread-safe; each thread keeps up to 64 blocks of each size at hand. Slabs
// that become empty are kept for the next document, up to 32 MB of each size;
// beyond that they go back to the general allocator. Other sizes come from
// the general allocator. Sanitizer builds use the general allocator for
// every block so that its checks see each node.
class ElementPool {
public:
    static void* allocate(size_t size);
    static void release(void* block, size_t size);
};

}  // namespace pw
