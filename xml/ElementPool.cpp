// A slab allocator for Element nodes.
#include "xml/ElementPool.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <thread>
#include <type_traits>

#include "xml/Element.h"

namespace pw {

#ifndef PW_NO_ELEMENT_POOL
namespace element_pool {
constinit thread_local NodeMagazine t_nodes = {};
}  // namespace element_pool
#endif

namespace {

using element_pool::MagazineOf;
using element_pool::NodeMagazine;

#ifndef PW_NO_ELEMENT_POOL

constexpr size_t kSlabBytes = 64 * 1024;  // slabs are aligned to their size
constexpr size_t kKeptEmptySlabs = 512;   // 32 MB: the nodes of a very large document

template <size_t kBlock>
struct SlabOf {
    SlabOf* next = nullptr;  // in the list of slabs with room
    SlabOf* prev = nullptr;
    void* freeBlocks = nullptr;  // blocks given back, linked through their first word
    size_t carved = 0;           // blocks handed out from the fresh part
    size_t live = 0;
    bool listed = false;
    bool wasEmpty = false;  // counted among the pool's empty slabs

    // Blocks start after the slab's own fields, suitably aligned.
    static constexpr size_t kFirst = 64;
    static constexpr size_t kCapacity = (kSlabBytes - kFirst) / kBlock;

    bool full() const { return !freeBlocks && carved == kCapacity; }
    static SlabOf* of(void* block) {
        return reinterpret_cast<SlabOf*>(reinterpret_cast<uintptr_t>(block) & ~(kSlabBytes - 1));
    }
};

// The slabs of one block size, shared by all threads.
template <size_t kBlock>
class Pool {
    using Slab = SlabOf<kBlock>;
    static constexpr size_t kFirst = Slab::kFirst;
    static constexpr size_t kCapacity = Slab::kCapacity;
    static_assert(sizeof(Slab) <= kFirst && kFirst % alignof(std::max_align_t) == 0);

public:
    // Hands out count blocks into out, in the order of memory.
    void allocate(void** out, size_t count) {
        Lock lock(m_busy);
        size_t taken = 0;
        while (taken < count) {
            Slab* slab = m_withRoom;
            if (!slab) {
                slab = new (::operator new(kSlabBytes, std::align_val_t(kSlabBytes))) Slab;
                link(slab);
            }
            if (slab->live == 0 && slab->wasEmpty) {
                slab->wasEmpty = false;
                --m_emptySlabs;
            }
            for (; taken < count && slab->freeBlocks; ++taken) {
                out[taken] = slab->freeBlocks;
                slab->freeBlocks = *static_cast<void**>(slab->freeBlocks);
                ++slab->live;
            }
            for (; taken < count && slab->carved < kCapacity; ++taken) {
                out[taken] = reinterpret_cast<char*>(slab) + kFirst + slab->carved++ * kBlock;
                ++slab->live;
            }
            if (slab->full()) {
                unlink(slab);
            }
        }
    }

    void release(void* const* blocks, size_t count) {
        Lock lock(m_busy);
        for (size_t i = 0; i < count; ++i) {
            releaseOne(blocks[i]);
        }
    }

private:
    class Lock {
    public:
        explicit Lock(std::atomic_flag& flag) : m_flag(flag) {
            while (m_flag.test_and_set(std::memory_order_acquire)) {
                std::this_thread::yield();
            }
        }
        ~Lock() { m_flag.clear(std::memory_order_release); }

    private:
        std::atomic_flag& m_flag;
    };

    void releaseOne(void* block) {
        Slab* slab = Slab::of(block);
        *static_cast<void**>(block) = slab->freeBlocks;
        slab->freeBlocks = block;
        --slab->live;
        if (!slab->listed) {
            link(slab);
        }
        // Empty slabs are kept for the next document, up to a limit; the
        // memory of a closed document is then at hand without page faults.
        if (slab->live == 0) {
            if (m_emptySlabs < kKeptEmptySlabs) {
                ++m_emptySlabs;
                slab->wasEmpty = true;
                // Its blocks go out in the order of memory again, not in the
                // order the last document happened to free them.
                slab->freeBlocks = nullptr;
                slab->carved = 0;
            } else if (slab->next || slab->prev) {
                unlink(slab);
                slab->~Slab();
                ::operator delete(slab, std::align_val_t(kSlabBytes));
            }
        }
    }

    void link(Slab* slab) {
        slab->prev = nullptr;
        slab->next = m_withRoom;
        if (m_withRoom) {
            m_withRoom->prev = slab;
        }
        m_withRoom = slab;
        slab->listed = true;
    }

    void unlink(Slab* slab) {
        (slab->prev ? slab->prev->next : m_withRoom) = slab->next;
        if (slab->next) {
            slab->next->prev = slab->prev;
        }
        slab->next = slab->prev = nullptr;
        slab->listed = false;
    }

    std::atomic_flag m_busy = ATOMIC_FLAG_INIT;
    Slab* m_withRoom = nullptr;
    size_t m_emptySlabs = 0;
};

// Each thread keeps blocks of each size at hand, taken and given back in
// batches: a locked instruction per node waits for every store before it,
// and a reader stores little else. An attribute block goes with one node in
// several, so its magazine is smaller.
template <size_t kBlock>
class SizeClass {
    using Magazine = std::conditional_t<kBlock == sizeof(Element), NodeMagazine, MagazineOf<128>>;
    static constexpr size_t kMagazine = Magazine::kSize;
    static constexpr size_t kBatch = kMagazine / 2;

public:
    static void* take() {
        Magazine& m = magazine();
        if (m.count == 0) {
            if (m.closed) {
                void* block;
                pool().allocate(&block, 1);
                return block;
            }
            [[maybe_unused]] Flush& flush = t_flush;  // registers its exit handler
            // Reversed, so that blocks go out in the order of memory.
            pool().allocate(m.blocks, kBatch);
            std::reverse(m.blocks, m.blocks + kBatch);
            m.count = kBatch;
        }
        return m.blocks[--m.count];
    }

    static void give(void* block) {
        Magazine& m = magazine();
        if (m.closed) {
            pool().release(&block, 1);
            return;
        }
        if (m.count == 0) {
            [[maybe_unused]] Flush& flush = t_flush;  // a thread that only destroys nodes
        } else if (m.count == kMagazine) {
            m.count -= kBatch;
            pool().release(m.blocks + m.count, kBatch);
        }
        m.blocks[m.count++] = block;
    }

private:
    // Nodes use the magazine that ElementPool::takeNode reads inline.
    static Magazine& magazine() {
        if constexpr (kBlock == sizeof(Element)) {
            return element_pool::t_nodes;
        } else {
            return t_ownMagazine;
        }
    }

    // Never destroyed: nodes may outlive every other static object.
    static Pool<kBlock>& pool() {
        static auto* instance = new Pool<kBlock>;
        return *instance;
    }

    // Gives the thread's blocks back when it ends.
    struct Flush {
        ~Flush() {
            Magazine& m = magazine();
            pool().release(m.blocks, m.count);
            m.count = 0;
            m.closed = true;
        }
    };

    static thread_local Magazine t_ownMagazine;
    static thread_local Flush t_flush;
};

template <size_t kBlock>
thread_local typename SizeClass<kBlock>::Magazine SizeClass<kBlock>::t_ownMagazine;
template <size_t kBlock>
thread_local typename SizeClass<kBlock>::Flush SizeClass<kBlock>::t_flush;

// Nodes, and the attribute blocks of up to four pairs, one size each.
using Nodes = SizeClass<sizeof(Element)>;
template <size_t kPairs>
using AttributeBlocks = SizeClass<Attributes::bytes(kPairs)>;

#endif

}  // namespace

void* ElementPool::allocate(size_t size) {
#ifndef PW_NO_ELEMENT_POOL
    switch (size) {
        case sizeof(Element):
            return Nodes::take();
        case Attributes::bytes(1):
            return AttributeBlocks<1>::take();
        case Attributes::bytes(2):
            return AttributeBlocks<2>::take();
        case Attributes::bytes(3):
            return AttributeBlocks<3>::take();
        case Attributes::bytes(4):
            return AttributeBlocks<4>::take();
    }
#endif
    return ::operator new(size);
}

void ElementPool::release(void* block, [[maybe_unused]] size_t size) {
#ifndef PW_NO_ELEMENT_POOL
    switch (size) {
        case sizeof(Element):
            return Nodes::give(block);
        case Attributes::bytes(1):
            return AttributeBlocks<1>::give(block);
        case Attributes::bytes(2):
            return AttributeBlocks<2>::give(block);
        case Attributes::bytes(3):
            return AttributeBlocks<3>::give(block);
        case Attributes::bytes(4):
            return AttributeBlocks<4>::give(block);
    }
#endif
    ::operator delete(block);
}

}  // namespace pw
