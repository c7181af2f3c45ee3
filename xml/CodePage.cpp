// Code-page conversions through iconv.
#include "xml/CodePage.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstdlib>

namespace pw {
namespace {

// The program's wide text is UTF-16 in the machine's byte order.
const char* wideCharset() {
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in into out (resized as needed). onBadInput is called when
    // a sequence cannot be converted; it returns how many input bytes to skip
    // after writing its replacement, or 0 to give up.
    template <typename Out, typename OnBad>
    bool run(std::string_view in, Out& out, OnBad onBadInput) {
        using Unit = typename Out::value_type;
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        size_t used = 0;  // bytes of out already written
        auto room = [&](size_t bytes) {
            if (out.size() * sizeof(Unit) - used < bytes) {
                out.resize(out.size() * 2 + bytes);
            }
        };
        while (srcLeft > 0) {
            room(16);
            char* dst = reinterpret_cast<char*>(out.data()) + used;
            size_t dstLeft = out.size() * sizeof(Unit) - used;
            const size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            used = static_cast<size_t>(dst - reinterpret_cast<char*>(out.data()));
            if (r != static_cast<size_t>(-1)) {
                break;
            }
            if (errno == E2BIG) {
                room(out.size() * sizeof(Unit) + 16);
                continue;
            }
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            room(16);
            const size_t skip = onBadInput(reinterpret_cast<char*>(out.data()), used);
            if (skip == 0) {
                return false;
            }
            const size_t step = skip < srcLeft ? skip : srcLeft;
            src += step;
            srcLeft -= step;
        }
        out.resize(used / sizeof(Unit));
        return true;
    }

private:
    iconv_t m_cd;
};

}  // namespace

const char* codePageForLocale(std::string_view locale) {
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    if (language == "ja") {
        return "CP932";
    }
    if (language == "zh") {
        const std::string_view region = locale.substr(language.size());
        if (region.starts_with("_TW") || region.starts_with("_HK") || region.starts_with("_MO")) {
            return "CP950";
        }
        return "CP936";
    }
    if (language == "ko") {
        return "CP949";
    }
    return "CP1252";
}

const char* systemCodePage() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            return codePageForLocale(value);
        }
    }
    return codePageForLocale("");
}

std::u16string decodeCodePage(std::string_view bytes, const char* charset) {
    std::u16string out;
    Converter converter(wideCharset(), charset);
    if (!converter.valid()) {
        // Unknown code page: keep what is plainly ASCII.
        out.reserve(bytes.size());
        for (unsigned char c : bytes) {
            out.push_back(c < 0x80 ? char16_t(c) : u'\uFFFD');
        }
        return out;
    }
    // No legacy code page makes more than one UTF-16 unit of a byte.
    out.resize(bytes.size() + 1);
    converter.run(bytes, out, [](char* base, size_t& used) -> size_t {
        const char16_t replacement = u'\uFFFD';
        std::char_traits<char>::copy(base + used, reinterpret_cast<const char*>(&replacement),
                                     sizeof replacement);
        used += sizeof replacement;
        return 1;
    });
    return out;
}

bool encodeCodePage(std::u16string_view text, const char* charset, std::string& out) {
    out.clear();
    Converter converter(charset, wideCharset());
    if (!converter.valid()) {
        return false;
    }
    out.resize(text.size() * 2 + 16);
    const std::string_view bytes(reinterpret_cast<const char*>(text.data()),
                                 text.size() * sizeof(char16_t));
    return converter.run(bytes, out, [](char*, size_t&) -> size_t { return 0; });
}

void eucJpToShiftJis(std::string& bytes) {
    auto* b = reinterpret_cast<unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    auto isEucByte = [](unsigned c) { return c >= 0xA1 && c <= 0xFE; };
    size_t w = 0;
    size_t r = 0;
    while (r < n) {
        const unsigned c1 = b[r];
        if (isEucByte(c1) && r + 1 < n && isEucByte(b[r + 1])) {
            const unsigned j1 = c1 - 128;  // JIS X 0208 row and cell
            const unsigned j2 = b[r + 1] - 128u;
            unsigned s1 = (j1 + 1) / 2 + 112;
            if (s1 >= 160) {
                s1 += 64;
            }
            unsigned s2 = (j1 & 1) ? j2 + 31 : j2 + 125;
            if (s2 >= 127) {
                s2 += 1;
            }
            b[w++] = static_cast<unsigned char>(s1);
            b[w++] = static_cast<unsigned char>(s2);
            r += 2;
        } else if (c1 == 0x8E && r + 1 < n && b[r + 1] >= 0xA1 && b[r + 1] <= 0xDF) {
            b[w++] = b[r + 1];
            r += 2;
        } else if (c1 == 0x8F && r + 2 < n && isEucByte(b[r + 1]) && isEucByte(b[r + 2])) {
            b[w++] = 0x81;  // 〓
            b[w++] = 0xAC;
            r += 3;
        } else {
            b[w++] = b[r++];
        }
    }
    bytes.resize(w);
}

}  // namespace pw
