// A list of choices with one selected, as a drop-down shows it: the speech
// engine fills voice and format lists through it without knowing the GUI.
// Each entry carries a number of the filler's own (a voice's place in the
// engine's table, a stream-format number).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pw {

class ChoiceList {
public:
    virtual ~ChoiceList() = default;

    virtual void clear() = 0;
    // Appends an entry and returns its index.
    virtual int add(const std::u16string& text, int64_t data) = 0;
    virtual int count() const = 0;
    virtual std::u16string text(int index) const = 0;
    // The entry's number; 0 for an index out of range.
    virtual int64_t data(int index) const = 0;
    virtual int selectedIndex() const = 0;  // -1 when none
    // An index out of range clears the selection.
    virtual void select(int index) = 0;

    // The selected entry's text, empty when none is selected.
    std::u16string selectedText() const;
    // The first entry carrying data, or -1.
    int find(int64_t data) const;
};

// The list kept in memory: the model behind a drop-down, and what tests fill.
class MemoryChoiceList : public ChoiceList {
public:
    void clear() override;
    int add(const std::u16string& text, int64_t data) override;
    int count() const override { return static_cast<int>(m_entries.size()); }
    std::u16string text(int index) const override;
    int64_t data(int index) const override;
    int selectedIndex() const override { return m_selected; }
    void select(int index) override;

private:
    struct Entry {
        std::u16string text;
        int64_t data;
    };
    std::vector<Entry> m_entries;
    int m_selected = -1;
};

}  // namespace pw
