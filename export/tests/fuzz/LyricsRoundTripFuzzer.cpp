// Fuzz target: the lyrics writers and readers together on arbitrary texts and
// times. A SYLT tag we write must read back as the texts we wrote (less what
// the frame cannot carry) at the summed times; wrapped rows must hold every
// character of the text, and each LRC time tag must parse back to its time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "audio/SyltTagReader.h"
#include "export/LyricsInfoManager.h"

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_pos >= m_size; }
    uint32_t take(int bytes) {
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            value = value << 8 | (m_pos < m_size ? m_data[m_pos++] : 0);
        }
        return value;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// What a SYLT text becomes on its way through the frame: NULs are left out,
// byte-order marks are never text, lone surrogates become U+FFFD.
std::u16string carried(const std::u16string& text) {
    std::u16string out;
    for (char16_t unit : text) {
        if (unit != 0 && unit != 0xFEFF) {
            out.push_back(unit);
        }
    }
    for (size_t i = 0; i < out.size(); ++i) {
        const char16_t unit = out[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < out.size() && out[i + 1] >= 0xDC00 &&
            out[i + 1] <= 0xDFFF) {
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            out[i] = u'\uFFFD';
        }
    }
    return out;
}

std::u16string printable(const std::u16string& text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c >= 0x20) {
            out.push_back(c);
        }
    }
    return out;
}

void checkRows(const std::u16string& text, int width, int fontSize) {
    pw::PlayerFormat format;
    format.width = width;
    format.fontSize = fontSize;
    std::u16string joined;
    for (const std::u16string& row : pw::wrapRows(text, format)) {
        joined += row;
    }
    if (printable(joined) != printable(text)) {
        std::abort();
    }
}

void checkTimeTag(uint32_t ms) {
    const std::u16string tag = pw::lrcTimeTag(ms, u".");
    // "[m...m:ss.hh]"
    const size_t colon = tag.find(u':');
    uint64_t minutes = 0;
    for (size_t i = 1; i < colon; ++i) {
        minutes = minutes * 10 + (tag[i] - u'0');
    }
    const uint64_t seconds = (tag[colon + 1] - u'0') * 10 + (tag[colon + 2] - u'0');
    const uint64_t hundredths = (tag[colon + 4] - u'0') * 10 + (tag[colon + 5] - u'0');
    if (tag.back() != u']' || seconds > 59 ||
        (minutes * 60 + seconds) * 1000 + hundredths * 10 != ms / 10 * 10) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    const int width = static_cast<int>(input.take(2));
    const int fontSize = static_cast<int>(input.take(1));
    pw::LyricsInfo written;
    while (!input.empty() && written.size() < 64) {
        const size_t length = input.take(1);
        std::u16string text;
        for (size_t i = 0; i < length && !input.empty(); ++i) {
            text.push_back(static_cast<char16_t>(input.take(2)));
        }
        const uint32_t duration = input.take(4);
        checkRows(text, width, fontSize);
        checkTimeTag(duration);
        written.add(std::move(text), duration);
    }

    std::istringstream tag(pw::syltTag(written, "eng") + "\xFF\xFB\x90\x64");
    pw::LyricsInfo read;
    pw::readSyltTag(tag, read);  // throws, and so fails, on a tag it cannot read
    if (read.size() != written.size()) {
        std::abort();
    }
    uint64_t start = 0;
    for (size_t i = 0; i < written.size(); ++i) {
        if (read.texts[i] != carried(written.texts[i]) ||
            read.values[i] != static_cast<uint32_t>(std::min<uint64_t>(start, 0xFFFFFFFFu))) {
            std::abort();
        }
        start += written.values[i];
    }
    return 0;
}
