// The sentences the key-press benchmarks type: words of the sample text
// repeated, with the periods, the typographic apostrophe and the numbers
// that make typing do its work.
#pragma once

#include <string>

namespace pw::bench {

// A sentence of length characters.
inline std::u16string longSentence(size_t length) {
    const std::u16string words =
        u"The U.S. train was delayed by 3.5 hours because of the snow, wasn\u2019t it? ";
    std::u16string text;
    while (text.size() < length) {
        text += words;
    }
    text.resize(length);
    return text;
}

}  // namespace pw::bench
