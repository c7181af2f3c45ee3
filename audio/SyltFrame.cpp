// Reading the entries of a synchronised-lyrics frame.
#include "audio/SyltFrame.h"

#include <optional>

#include "core/Utf.h"

namespace pw::sylt {
namespace {

class BodyReader {
public:
    explicit BodyReader(std::string_view body) : m_body(body) {}

    size_t remaining() const { return m_body.size() - m_pos; }
    unsigned char byte(size_t at) const { return static_cast<unsigned char>(m_body[at]); }

    // A text up to its terminator, or nothing when the frame ends first.
    // bigEndian is the order of UTF-16 text without a byte-order mark; a mark
    // at the start of a text sets the order of that text.
    std::optional<std::u16string> text(unsigned char encoding, bool& bigEndian) {
        if (encoding == kLatin1 || encoding == kUtf8) {
            const size_t end = m_body.find('\0', m_pos);
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
            const std::string_view bytes = m_body.substr(m_pos, end - m_pos);
            m_pos = end + 1;
            if (encoding == kUtf8) {
                return fromUtf8(bytes);
            }
            std::u16string text;
            text.reserve(bytes.size());
            for (char c : bytes) {
                text.push_back(static_cast<unsigned char>(c));
            }
            return text;
        }
        std::u16string units;
        bool first = true;
        while (true) {
            if (remaining() < 2) {
                return std::nullopt;
            }
            const unsigned char a = byte(m_pos);
            const unsigned char b = byte(m_pos + 1);
            m_pos += 2;
            if (a == 0 && b == 0) {
                break;
            }
            if (first && a == 0xFF && b == 0xFE) {
                bigEndian = false;
            } else if (first && a == 0xFE && b == 0xFF) {
                bigEndian = true;
            } else {
                const auto unit = static_cast<char16_t>(bigEndian ? a << 8 | b : b << 8 | a);
                // Some writers repeat the byte-order mark; it is never text.
                if (unit != 0xFEFF) {
                    units.push_back(unit);
                }
            }
            first = false;
        }
        return replaceLoneSurrogates(std::move(units));
    }

    std::optional<uint32_t> time() {
        if (remaining() < 4) {
            return std::nullopt;
        }
        const uint32_t value = uint32_t{byte(m_pos)} << 24 | uint32_t{byte(m_pos + 1)} << 16 |
                               uint32_t{byte(m_pos + 2)} << 8 | byte(m_pos + 3);
        m_pos += 4;
        return value;
    }

    void advance(size_t count) { m_pos += count; }

private:
    static std::u16string replaceLoneSurrogates(std::u16string units) {
        for (size_t i = 0; i < units.size(); ++i) {
            const char16_t unit = units[i];
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() &&
                units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
                ++i;
            } else if (unit >= 0xD800 && unit <= 0xDFFF) {
                units[i] = u'\uFFFD';
            }
        }
        return units;
    }

    std::string_view m_body;
    size_t m_pos = 0;
};

}  // namespace

bool readBody(std::string_view body, LyricsInfo& lyrics) {
    if (body.size() < kHeaderSize) {
        return false;
    }
    BodyReader reader(body);
    const unsigned char encoding = reader.byte(0);
    reader.advance(kHeaderSize);  // encoding, language, time-stamp format, content type
    // Text without a byte-order mark: big-endian only where the encoding says so.
    bool bigEndian = encoding == kUtf16Be;
    if (!reader.text(encoding, bigEndian)) {
        return true;  // no complete descriptor, so no entries
    }
    while (true) {
        bool entryOrder = bigEndian;  // the descriptor's order, unless the text has a mark
        std::optional<std::u16string> text = reader.text(encoding, entryOrder);
        if (!text) {
            break;
        }
        const std::optional<uint32_t> time = reader.time();
        if (!time) {
            break;
        }
        lyrics.add(std::move(*text), *time);
    }
    return true;
}

}  // namespace pw::sylt
