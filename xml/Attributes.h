// The attributes of an element: unique names with their values, kept sorted by
// name in UTF-16 code-unit order, which is the order they are written in.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pw {

// A small sorted vector with the map operations callers use; elements have a
// handful of attributes, and one block for all of them is cheaper than a tree.
// Held by one pointer, made when the first attribute comes: most nodes have
// none, and a document holds hundreds of thousands of nodes.
class Attributes {
public:
    using value_type = std::pair<std::u16string, std::u16string>;
    using iterator = std::vector<value_type>::iterator;
    using const_iterator = std::vector<value_type>::const_iterator;

    Attributes() = default;
    Attributes(std::initializer_list<value_type> pairs);
    Attributes(const Attributes& other);
    Attributes& operator=(const Attributes& other);
    Attributes(Attributes&&) noexcept = default;
    Attributes& operator=(Attributes&&) noexcept = default;
    ~Attributes();
    // From pairs in any order; a later pair replaces an earlier one of its name.
    static Attributes fromPairs(std::vector<value_type> pairs);

    iterator begin() { return items().begin(); }
    iterator end() { return items().end(); }
    const_iterator begin() const { return items().begin(); }
    const_iterator end() const { return items().end(); }
    size_t size() const { return m_items ? m_items->size() : 0; }
    bool empty() const { return size() == 0; }
    void clear() { m_items.reset(); }

    iterator find(std::u16string_view name);
    const_iterator find(std::u16string_view name) const;
    bool contains(std::u16string_view name) const { return find(name) != end(); }
    // The value under name; an absent name is inserted with an empty value.
    std::u16string& operator[](std::u16string_view name);
    void insert_or_assign(std::u16string_view name, std::u16string value);
    bool erase(std::u16string_view name);

    bool operator==(const Attributes& other) const { return items() == other.items(); }

private:
    template <typename>
    friend class XmlReader;  // hands over names already in order

    using Items = std::vector<value_type>;

    // The pairs; with none yet, a shared empty vector that is never changed.
    Items& items() { return m_items ? *m_items : emptyItems(); }
    const Items& items() const { return m_items ? *m_items : emptyItems(); }
    static Items& emptyItems();
    iterator lowerBound(std::u16string_view name);

    std::unique_ptr<Items> m_items;  // sorted by name, names unique; null or not empty
};

}  // namespace pw
