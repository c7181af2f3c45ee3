// Storage for Element nodes and their attribute blocks: slabs of equal
// blocks, one size each, because a document holds hundreds of thousands of
// nodes and the general allocator spends more time on them than the reader
// does.
#pragma once

#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PW_NO_ELEMENT_POOL 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PW_NO_ELEMENT_POOL 1
#endif

namespace pw {

namespace element_pool {

// The blocks of one size a thread keeps at hand.
// Trivially destructible, so that it stays usable for nodes destroyed after
// the thread's exit handlers have run (static documents at process exit).
template <size_t kCapacity>
struct MagazineOf {
    static constexpr size_t kSize = kCapacity;
    void* blocks[kSize];
    size_t count;
    bool closed;  // the thread has ended: blocks go straight to the pool
};

// The magazine of node blocks, which a reader takes from once per node.
// Large: two readers of one file take from the same pool, and each refill
// moves the pool's lock and slab fields from one core's cache to the other's.
using NodeMagazine = MagazineOf<1024>;
extern constinit thread_local NodeMagazine t_nodes;

}  // namespace element_pool

// Thread-safe; each thread keeps up to 1024 nodes and 128 blocks of each
// other size at hand. Slabs that become empty are kept for the next document,
// up to 32 MB of each size; beyond that they go back to the general
// allocator. Other sizes come from the general allocator. Sanitizer builds
// use the general allocator for every block so that its checks see each node.
class ElementPool {
public:
    static void* allocate(size_t size);
    static void release(void* block, size_t size);

    // A node block from the thread's magazine, or null when it is empty:
    // allocate's common case, inline.
    static void* takeNode() {
#ifndef PW_NO_ELEMENT_POOL
        element_pool::NodeMagazine& m = element_pool::t_nodes;
        if (m.count != 0) {
            return m.blocks[--m.count];
        }
#endif
        return nullptr;
    }
};

}  // namespace pw
