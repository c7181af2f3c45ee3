// Choice lists.
#include "speech/ChoiceList.h"

namespace pw {

std::u16string ChoiceList::selectedText() const {
    const int index = selectedIndex();
    return index >= 0 ? text(index) : std::u16string();
}

int ChoiceList::find(int64_t value) const {
    for (int i = 0; i < count(); ++i) {
        if (data(i) == value) {
            return i;
        }
    }
    return -1;
}

void MemoryChoiceList::clear() {
    m_entries.clear();
    m_selected = -1;
}

int MemoryChoiceList::add(const std::u16string& text, int64_t data) {
    m_entries.push_back({text, data});
    return count() - 1;
}

std::u16string MemoryChoiceList::text(int index) const {
    return index >= 0 && index < count() ? m_entries[static_cast<size_t>(index)].text
                                         : std::u16string();
}

int64_t MemoryChoiceList::data(int index) const {
    return index >= 0 && index < count() ? m_entries[static_cast<size_t>(index)].data : 0;
}

void MemoryChoiceList::select(int index) {
    m_selected = index >= 0 && index < count() ? index : -1;
}

}  // namespace pw
