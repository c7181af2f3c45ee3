// Attributes kept sorted by name in one block.
#include "xml/Attributes.h"

#include <algorithm>
#include <memory>

#include "xml/ElementPool.h"

namespace pw {
namespace {

bool nameBefore(const Attributes::value_type& item, std::u16string_view name) {
    return std::u16string_view(item.first) < name;
}

}  // namespace

Attributes::Attributes(std::initializer_list<value_type> pairs)
    : Attributes(fromPairs(std::vector<value_type>(pairs))) {}

Attributes::Attributes(const Attributes& other) {
    if (!other.empty()) {
        Attributes copy = withRoom(other.size());
        for (const value_type& item : other) {
            copy.emplaceLast(std::forward_as_tuple(item.first), std::forward_as_tuple(item.second));
        }
        *this = std::move(copy);
    }
}

Attributes& Attributes::operator=(const Attributes& other) {
    if (this != &other) {
        *this = Attributes(other);
    }
    return *this;
}

Attributes& Attributes::operator=(Attributes&& other) noexcept {
    if (this != &other) {
        clear();
        m_block = std::exchange(other.m_block, nullptr);
    }
    return *this;
}

Attributes Attributes::withRoom(size_t capacity) {
    Attributes attributes;
    attributes.m_block = static_cast<Block*>(ElementPool::allocate(bytes(capacity)));
    attributes.m_block->size = 0;
    attributes.m_block->capacity = static_cast<uint32_t>(capacity);
    return attributes;
}

void Attributes::clear() {
    if (m_block) {
        std::destroy(begin(), end());
        ElementPool::release(m_block, bytes(m_block->capacity));
        m_block = nullptr;
    }
}

Attributes Attributes::fromPairs(std::vector<value_type> pairs) {
    auto byName = [](const value_type& a, const value_type& b) { return a.first < b.first; };
    if (!std::is_sorted(pairs.begin(), pairs.end(), byName)) {
        std::stable_sort(pairs.begin(), pairs.end(), byName);
    }
    Attributes attributes;
    if (pairs.empty()) {
        return attributes;
    }
    attributes = withRoom(pairs.size());
    // Of equal names keep the last, which stable sorting left last of its run.
    for (auto it = pairs.begin(); it != pairs.end(); ++it) {
        if (std::next(it) == pairs.end() || std::next(it)->first != it->first) {
            attributes.emplaceLast(std::forward_as_tuple(std::move(it->first)),
                                   std::forward_as_tuple(std::move(it->second)));
        }
    }
    return attributes;
}

Attributes::iterator Attributes::lowerBound(std::u16string_view name) {
    return std::lower_bound(begin(), end(), name, nameBefore);
}

Attributes::iterator Attributes::find(std::u16string_view name) {
    const auto it = lowerBound(name);
    return it != end() && it->first == name ? it : end();
}

Attributes::const_iterator Attributes::find(std::u16string_view name) const {
    return const_cast<Attributes*>(this)->find(name);
}

std::u16string& Attributes::operator[](std::u16string_view name) {
    iterator it = lowerBound(name);
    if (it != end() && it->first == name) {
        return it->second;
    }
    const size_t at = static_cast<size_t>(it - begin());
    value_type item{std::u16string(name), std::u16string()};
    if (size() == (m_block ? m_block->capacity : 0)) {
        // A larger block, the new pair in its place.
        Attributes larger = withRoom(std::max<size_t>(4, 2 * size()));
        for (size_t i = 0; i <= size(); ++i) {
            value_type& next = i == at ? item : begin()[i < at ? i : i - 1];
            larger.emplaceLast(std::forward_as_tuple(std::move(next.first)),
                               std::forward_as_tuple(std::move(next.second)));
        }
        *this = std::move(larger);
    } else {
        emplaceLast(std::forward_as_tuple(), std::forward_as_tuple());
        std::move_backward(begin() + at, end() - 1, end());
        begin()[at] = std::move(item);
    }
    return begin()[at].second;
}

void Attributes::insert_or_assign(std::u16string_view name, std::u16string value) {
    (*this)[name] = std::move(value);
}

bool Attributes::erase(std::u16string_view name) {
    const auto it = find(name);
    if (it == end()) {
        return false;
    }
    std::move(it + 1, end(), it);
    std::destroy_at(end() - 1);
    if (--m_block->size == 0) {
        clear();
    }
    return true;
}

bool Attributes::operator==(const Attributes& other) const {
    return std::equal(begin(), end(), other.begin(), other.end());
}

}  // namespace pw
