// Attributes kept sorted by name in one vector.
#include "xml/Attributes.h"

#include <algorithm>

namespace pw {
namespace {

bool nameBefore(const Attributes::value_type& item, std::u16string_view name) {
    return std::u16string_view(item.first) < name;
}

}  // namespace

Attributes::Attributes(std::initializer_list<value_type> pairs)
    : Attributes(fromPairs(std::vector<value_type>(pairs))) {}

Attributes::Attributes(const Attributes& other)
    : m_items(other.m_items ? std::make_unique<Items>(*other.m_items) : nullptr) {}

Attributes& Attributes::operator=(const Attributes& other) {
    if (this != &other) {
        m_items = other.m_items ? std::make_unique<Items>(*other.m_items) : nullptr;
    }
    return *this;
}

Attributes::~Attributes() = default;

Attributes::Items& Attributes::emptyItems() {
    static Items* empty = new Items;  // never destroyed: attributes may outlive statics
    return *empty;
}

Attributes Attributes::fromPairs(std::vector<value_type> pairs) {
    auto byName = [](const value_type& a, const value_type& b) { return a.first < b.first; };
    if (!std::is_sorted(pairs.begin(), pairs.end(), byName)) {
        std::stable_sort(pairs.begin(), pairs.end(), byName);
    }
    // Of equal names keep the last, which stable sorting left last of its run.
    auto out = pairs.begin();
    for (auto it = pairs.begin(); it != pairs.end(); ++it) {
        if (std::next(it) != pairs.end() && std::next(it)->first == it->first) {
            continue;
        }
        if (out != it) {
            *out = std::move(*it);
        }
        ++out;
    }
    pairs.erase(out, pairs.end());
    Attributes attributes;
    if (!pairs.empty()) {
        attributes.m_items = std::make_unique<Items>(std::move(pairs));
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
    if (!m_items) {
        m_items = std::make_unique<Items>();
    }
    auto it = lowerBound(name);
    if (it == m_items->end() || it->first != name) {
        it = m_items->emplace(it, std::u16string(name), std::u16string());
    }
    return it->second;
}

void Attributes::insert_or_assign(std::u16string_view name, std::u16string value) {
    (*this)[name] = std::move(value);
}

bool Attributes::erase(std::u16string_view name) {
    const auto it = find(name);
    if (it == end()) {
        return false;
    }
    m_items->erase(it);
    if (m_items->empty()) {
        m_items.reset();
    }
    return true;
}

}  // namespace pw
