// The lyrics of one MP3 file: its texts and, in parallel, a time or duration
// in milliseconds for each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pw {

struct LyricsInfo {
    // Read from a SYLT frame, values are start times; for the writers they are
    // the durations of the sentences.
    std::vector<std::u16string> texts;
    std::vector<uint32_t> values;

    void add(std::u16string text, uint32_t value) {
        texts.push_back(std::move(text));
        values.push_back(value);
    }
    size_t size() const { return texts.size(); }
    bool empty() const { return texts.empty(); }
    void clear() {
        texts.clear();
        values.clear();
    }
    // The value of entry i, 0 when the values are fewer than the texts.
    uint32_t valueAt(size_t i) const { return i < values.size() ? values[i] : 0; }
};

}  // namespace pw
