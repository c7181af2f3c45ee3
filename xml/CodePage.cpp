// Code-page conversions through iconv.
#include "xml/CodePage.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

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

namespace pw {
namespace {

bool isEucByte(unsigned c) {
    return c >= 0xA1 && c <= 0xFE;
}

// A run of EUC-JP without three-byte sequences, the way the program has always
// read it: through Shift_JIS bytes and CP932.
void appendTwoByteRun(std::u16string& out, std::string_view run) {
    std::string bytes(run);
    eucJpToShiftJis(bytes);
    out += decodeCodePage(bytes, kCharsetCp932);
}

// The EUC-JP tables, built once: the character of every three-byte sequence
// (JIS X 0212 and the extensions Windows keeps there), and the form each
// character is written in. That is the two-byte form the program reads as the
// character, the first in code order where several are (row 2's symbols
// before their NEC copies in row 13), else its three-byte form, so that
// writing gives back the bytes that were read.
struct EucJpTables {
    std::unordered_map<uint32_t, char16_t> threeByte;
    std::unordered_map<char16_t, uint32_t> forms;  // one, two or three bytes, high first
};

const EucJpTables& eucJpTables() {
    static const auto* tables = [] {
        auto* t = new EucJpTables;
        const auto decodeOne = [](Converter& converter, const std::string& bytes) -> char16_t {
            std::u16string unit(4, u'\0');
            if (!converter.valid() ||
                !converter.run(bytes, unit, [](char*, size_t&) -> size_t { return 0; }) ||
                unit.size() != 1) {
                return u'\uFFFD';
            }
            return unit[0];
        };
        Converter cp932(wideCharset(), kCharsetCp932);
        Converter eucJp(wideCharset(), kCharsetEucJp);
        for (unsigned first = 0xA1; first <= 0xFE; ++first) {
            for (unsigned second = 0xA1; second <= 0xFE; ++second) {
                std::string pair{static_cast<char>(first), static_cast<char>(second)};
                eucJpToShiftJis(pair);
                const char16_t c = decodeOne(cp932, pair);
                if (c != u'\uFFFD') {
                    t->forms.emplace(c, first << 8 | second);
                }
            }
        }
        for (unsigned first = 0xA1; first <= 0xFE; ++first) {
            for (unsigned second = 0xA1; second <= 0xFE; ++second) {
                const std::string triple{'\x8F', static_cast<char>(first),
                                         static_cast<char>(second)};
                const char16_t c = decodeOne(eucJp, triple);
                if (c != u'\uFFFD') {
                    const uint32_t code = 0x8F0000 | first << 8 | second;
                    t->threeByte.emplace(code, c);
                    t->forms.emplace(c, code);
                }
            }
        }
        return t;
    }();
    return *tables;
}

}  // namespace

std::u16string decodeEucJp(std::string_view bytes) {
    const auto& threeByte = eucJpTables().threeByte;
    std::u16string out;
    out.reserve(bytes.size());
    size_t runStart = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const unsigned next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (c == 0x8F && i + 2 < bytes.size() && isEucByte(next) &&
            isEucByte(static_cast<unsigned char>(bytes[i + 2]))) {
            appendTwoByteRun(out, bytes.substr(runStart, i - runStart));
            const auto found =
                threeByte.find(0x8F0000 | next << 8 | static_cast<unsigned char>(bytes[i + 2]));
            out.push_back(found != threeByte.end() ? found->second : u'\uFFFD');
            i = runStart = i + 3;
            continue;
        }
        // Pairs are taken whole, as eucJpToShiftJis takes them, so that a
        // second byte never starts a sequence.
        i += (isEucByte(c) && isEucByte(next)) || (c == 0x8E && next >= 0xA1 && next <= 0xDF) ? 2
                                                                                              : 1;
    }
    appendTwoByteRun(out, bytes.substr(runStart));
    return out;
}

bool encodeEucJp(std::u16string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size() * 2);
    const auto& forms = eucJpTables().forms;
    for (const char16_t unit : text) {
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
            continue;
        }
        if (unit >= 0xFF61 && unit <= 0xFF9F) {
            out.push_back('\x8E');
            out.push_back(static_cast<char>(unit - 0xFF61 + 0xA1));
            continue;
        }
        const auto form = forms.find(unit);
        if (form == forms.end()) {
            return false;
        }
        if (form->second > 0xFFFF) {
            out.push_back('\x8F');
        }
        out.push_back(static_cast<char>(form->second >> 8 & 0xFF));
        out.push_back(static_cast<char>(form->second & 0xFF));
    }
    return true;
}

}  // namespace pw
