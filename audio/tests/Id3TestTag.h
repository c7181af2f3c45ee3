// Builds ID3v2 tags byte by byte, for tests that need tags no writer makes:
// version 2.2, extended headers, unsynchronisation, damaged sizes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pw::test::id3 {

inline std::string bigEndian(uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return out;
}

inline std::string syncsafe(uint32_t value) {
    std::string out;
    for (int i = 3; i >= 0; --i) {
        out.push_back(static_cast<char>((value >> (7 * i)) & 0x7F));
    }
    return out;
}

inline std::string utf16(std::u16string_view text, bool bigEndianOrder = false) {
    std::string out;
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        out += bigEndianOrder ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

inline const std::string kBomLe("\xFF\xFE", 2);
inline const std::string kBomBe("\xFE\xFF", 2);
inline const std::string kNul16("\0\0", 2);

struct Entry {
    std::u16string text;
    uint32_t time;
};

// A SYLT body as most writers make it: the descriptor and every text of
// encoding 1 open with a little-endian byte-order mark; Latin-1 texts keep
// only the low byte of each unit.
inline std::string syltBody(unsigned char encoding, const std::vector<Entry>& entries) {
    auto encode = [&](std::u16string_view text) {
        switch (encoding) {
            case 0: {
                std::string out;
                for (char16_t unit : text) {
                    out.push_back(static_cast<char>(unit));
                }
                return out + '\0';
            }
            case 2:
                return utf16(text, true) + kNul16;
            case 3: {
                std::string out;
                for (char16_t unit : text) {  // ASCII and Latin-1 only
                    if (unit < 0x80) {
                        out.push_back(static_cast<char>(unit));
                    } else {
                        out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
                        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
                    }
                }
                return out + '\0';
            }
            default:
                return kBomLe + utf16(text) + kNul16;
        }
    };
    std::string body{static_cast<char>(encoding), 'e', 'n', 'g', 2, 1};
    body += encode(u"");
    for (const Entry& entry : entries) {
        body += encode(entry.text) + bigEndian(entry.time, 4);
    }
    return body;
}

// A frame of a tag of the given major version; sizes as that version writes
// them (3 bytes, plain 4 bytes, syncsafe 4 bytes).
inline std::string frame(int major, std::string_view id, std::string_view body,
                         uint16_t flags = 0) {
    std::string out(id);
    if (major == 2) {
        return out + bigEndian(static_cast<uint32_t>(body.size()), 3) + std::string(body);
    }
    const auto size = static_cast<uint32_t>(body.size());
    out += major == 4 ? syncsafe(size) : bigEndian(size, 4);
    return out + bigEndian(flags, 2) + std::string(body);
}

inline std::string tag(int major, std::string_view content, unsigned char flags = 0,
                       uint32_t padding = 0) {
    return std::string("ID3") + static_cast<char>(major) + '\0' + static_cast<char>(flags) +
           syncsafe(static_cast<uint32_t>(content.size() + padding)) + std::string(content) +
           std::string(padding, '\0');
}

// Unsynchronisation as a writer applies it: a zero after every FF.
inline std::string unsynchronise(std::string_view data) {
    std::string out;
    for (char c : data) {
        out.push_back(c);
        if (static_cast<unsigned char>(c) == 0xFF) {
            out.push_back('\0');
        }
    }
    return out;
}

// Bytes that stand for MPEG audio after the tag.
inline const std::string kAudio = "\xFF\xFB\x90\x64" + std::string(400, '\x55');

}  // namespace pw::test::id3
