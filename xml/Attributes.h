// The attributes of an element: unique names with their values, kept sorted by
// name in UTF-16 code-unit order, which is the order they are written in.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pw {

// A small sorted vector with the map operations callers use; elements have a
// handful of attributes, and one block for all of them is cheaper than a tree.
class Attributes {
public:
    using value_type = std::pair<std::u16string, std::u16string>;
    using iterator = std::vector<value_type>::iterator;
    using const_iterator = std::vector<value_type>::const_iterator;

    Attributes() = default;
    Attributes(std::initializer_list<value_type> pairs);
    // From pairs in any order; a later pair replaces an earlier one of its name.
    static Attributes fromPairs(std::vector<value_type> pairs);

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }
    size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    void clear() { m_items.clear(); }

    iterator find(std::u16string_view name);
    const_iterator find(std::u16string_view name) const;
    bool contains(std::u16string_view name) const { return find(name) != end(); }
    // The value under name; an absent name is inserted with an empty value.
    std::u16string& operator[](std::u16string_view name);
    void insert_or_assign(std::u16string_view name, std::u16string value);
    bool erase(std::u16string_view name);

    bool operator==(const Attributes&) const = default;

private:
    template <typename>
    friend class XmlReader;  // hands over names already in order

    iterator lowerBound(std::u16string_view name);

    std::vector<value_type> m_items;  // sorted by name, names unique
};

}  // namespace pw
