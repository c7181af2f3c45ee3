// The attributes of an element: unique names with their values, kept sorted by
// name in UTF-16 code-unit order, which is the order they are written in.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace pw {

// A small sorted array with the map operations callers use; elements have a
// handful of attributes, and one block for all of them is cheaper than a tree.
// The count, the room and the pairs share one allocation, made when the first
// attribute comes: most nodes have none, and a document holds hundreds of
// thousands of nodes.
class Attributes {
public:
    using value_type = std::pair<std::u16string, std::u16string>;
    using iterator = value_type*;
    using const_iterator = const value_type*;

    Attributes() = default;
    Attributes(std::initializer_list<value_type> pairs);
    Attributes(const Attributes& other);
    Attributes& operator=(const Attributes& other);
    Attributes(Attributes&& other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}
    Attributes& operator=(Attributes&& other) noexcept;
    ~Attributes() { clear(); }
    // From pairs in any order; a later pair replaces an earlier one of its name.
    static Attributes fromPairs(std::vector<value_type> pairs);

    iterator begin() { return m_block ? m_block->items() : nullptr; }
    iterator end() { return m_block ? m_block->items() + m_block->size : nullptr; }
    const_iterator begin() const { return m_block ? m_block->items() : nullptr; }
    const_iterator end() const { return m_block ? m_block->items() + m_block->size : nullptr; }
    size_t size() const { return m_block ? m_block->size : 0; }
    bool empty() const { return size() == 0; }
    void clear();

    iterator find(std::u16string_view name);
    const_iterator find(std::u16string_view name) const;
    bool contains(std::u16string_view name) const { return find(name) != end(); }
    // The value under name; an absent name is inserted with an empty value.
    std::u16string& operator[](std::u16string_view name);
    void insert_or_assign(std::u16string_view name, std::u16string value);
    bool erase(std::u16string_view name);

    bool operator==(const Attributes& other) const;

    // The size of the block that holds capacity pairs (small ones are pooled).
    static constexpr size_t bytes(size_t capacity);

private:
    template <typename>
    friend class XmlReader;  // hands over names already in order

    struct Block {
        uint32_t size;
        uint32_t capacity;
        value_type* items() { return reinterpret_cast<value_type*>(this + 1); }
    };
    static_assert(sizeof(Block) % alignof(value_type) == 0);

    // Room for capacity pairs, none made yet (capacity > 0).
    static Attributes withRoom(size_t capacity);

    // Makes a pair after the last; the caller keeps the names in order and
    // unique, and has made room for it.
    template <typename NameArguments, typename ValueArguments>
    void emplaceLast(NameArguments&& name, ValueArguments&& value) {
        new (m_block->items() + m_block->size)
            value_type(std::piecewise_construct, std::forward<NameArguments>(name),
                       std::forward<ValueArguments>(value));
        ++m_block->size;
    }
    iterator lowerBound(std::u16string_view name);

    Block* m_block = nullptr;  // null or not empty
};

constexpr size_t Attributes::bytes(size_t capacity) {
    return sizeof(Block) + capacity * sizeof(value_type);
}

}  // namespace pw
