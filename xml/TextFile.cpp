// Reading and writing text files with encoding detection and byte-order marks.
#include "xml/TextFile.h"

#include <cstdint>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "core/SafeFile.h"
#include "core/Utf.h"
#include "xml/CodePage.h"

namespace pw {
namespace {

using Byte = unsigned char;

const Byte* bytesOf(std::string_view s) {
    return reinterpret_cast<const Byte*>(s.data());
}

// Skips a run of ASCII bytes eight at a time; most of a file is markup.
inline size_t skipAscii(const Byte* b, size_t i, size_t n) {
#ifdef __SSE2__
    while (i + 16 <= n) {
        const int high =
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)));
        if (high != 0) {
            return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(high)));
        }
        i += 16;
    }
#endif
    while (i + 8 <= n) {
        uint64_t word;
        std::memcpy(&word, b + i, 8);
        if (word & 0x8080808080808080ULL) {
            break;
        }
        i += 8;
    }
    while (i < n && b[i] < 0x80) {
        ++i;
    }
    return i;
}

bool inRange(unsigned c, unsigned low, unsigned high) {
    return c >= low && c <= high;
}

std::string_view upToNul(std::string_view bytes) {
    const void* nul = std::memchr(bytes.data(), 0, bytes.size());
    return nul ? bytes.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - bytes.data()))
               : bytes;
}

std::u16string decodeUtf16(std::string_view bytes, bool bigEndian) {
    const Byte* b = bytesOf(bytes);
    const size_t n = bytes.size();
    std::u16string out((n + 1) / 2, u'\0');
    for (size_t k = 0; k < out.size(); ++k) {
        // An odd last byte pairs with a zero byte.
        const unsigned first = b[2 * k];
        const unsigned second = 2 * k + 1 < n ? b[2 * k + 1] : 0;
        out[k] = static_cast<char16_t>(bigEndian ? (first << 8) | second : first | (second << 8));
    }
    const size_t nul = out.find(u'\0');
    if (nul != std::u16string::npos) {
        out.resize(nul);
    }
    return out;
}

std::u16string decodeAs(int code, std::string& bytes, size_t markSize, bool bigEndian) {
    std::string_view body = std::string_view(bytes).substr(markSize);
    switch (code) {
        case kUtf16:
            return decodeUtf16(body, bigEndian);
        case kUtf8:
        case kUtf8WithBom:
            return fromUtf8(upToNul(body));
        case kCodePage950:
            return decodeCodePage(upToNul(body), kCharsetCp950);
        case kEucJp:
            return decodeEucJp(upToNul(body));
        default:
            return decodeCodePage(upToNul(body), systemCodePage());
    }
}

}  // namespace

namespace {

// Counts the bytes that form sequences: ASCII bytes count one each; at any
// other byte, sequence(b, i, n) gives the length of the sequence starting
// there, 0 when there is none (the byte is skipped), or -1 to make the whole
// count 0.
template <typename Sequence>
long long countSequences(std::string_view bytes, Sequence sequence) {
    const Byte* b = bytesOf(bytes);
    const size_t n = bytes.size();
    long long count = 0;
    size_t i = 0;
    while (i < n) {
        if (b[i] < 0x80) {
            const size_t ascii = skipAscii(b, i, n);
            count += static_cast<long long>(ascii - i);
            i = ascii;
            continue;
        }
        const int length = sequence(b, i, n);
        if (length < 0) {
            return 0;
        }
        count += length;
        i += length > 0 ? static_cast<size_t>(length) : 1;
    }
    return count;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PW_UTF8_AVX2 1

// UTF-8 validation 32 bytes at a time, after Keiser and Lemire ("Validating
// UTF-8 in less than one instruction per byte"): each byte's high nibble and
// the nibbles of the byte before it index three tables whose bits name the
// errors a pair of bytes can show; lengths of three- and four-byte forms are
// checked against the bytes two and three back. Also finds NUL bytes and
// whether any byte is above ASCII. Whole files pass through here.
struct Utf8Scan {
    bool valid;
    bool ascii;
    bool nul;
};

#define PW_AVX2 __attribute__((target("avx2"), always_inline)) inline

PW_AVX2 __m256i nibbleTable(const uint8_t (&t)[16]) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t)));
}

class Utf8Validator {
public:
    enum : uint8_t {
        kTooShort = 1 << 0,
        kTooLong = 1 << 1,
        kOverlong3 = 1 << 2,
        kTooLarge = 1 << 3,
        kSurrogate = 1 << 4,
        kOverlong2 = 1 << 5,
        kTooLarge1000 = 1 << 6,
        kOverlong4 = 1 << 6,
        kTwoConts = 1 << 7,
        kCarry = kTooShort | kTooLong | kTwoConts,
        kBig = kCarry | kTooLarge | kTooLarge1000,
        kCont = kTooLong | kOverlong2 | kTwoConts,
    };
    // Indexed by the high nibble of the byte before, its low nibble, and
    // the high nibble of the byte itself.
    static constexpr uint8_t kByte1High[16] = {kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTwoConts,
                                               kTwoConts,
                                               kTwoConts,
                                               kTwoConts,
                                               kTooShort | kOverlong2,
                                               kTooShort,
                                               kTooShort | kOverlong3 | kSurrogate,
                                               kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};
    static constexpr uint8_t kByte1Low[16] = {kCarry | kOverlong3 | kOverlong2 | kOverlong4,
                                              kCarry | kOverlong2,
                                              kCarry,
                                              kCarry,
                                              kCarry | kTooLarge,
                                              kBig,
                                              kBig,
                                              kBig,
                                              kBig,
                                              kBig,
                                              kBig,
                                              kBig,
                                              kBig,
                                              kBig | kSurrogate,
                                              kBig,
                                              kBig};
    static constexpr uint8_t kByte2High[16] = {kTooShort,
                                               kTooShort,
                                               kTooShort,
                                               kTooShort,
                                               kTooShort,
                                               kTooShort,
                                               kTooShort,
                                               kTooShort,
                                               kCont | kOverlong3 | kTooLarge1000 | kOverlong4,
                                               kCont | kOverlong3 | kTooLarge,
                                               kCont | kSurrogate | kTooLarge,
                                               kCont | kSurrogate | kTooLarge,
                                               kTooShort,
                                               kTooShort,
                                               kTooShort,
                                               kTooShort};
    // The last bytes of a block that may open a sequence running into the next.
    static constexpr uint8_t kIncompleteMax[32] = {
        255, 255, 255, 255, 255, 255, 255, 255,      255,      255,     255,
        255, 255, 255, 255, 255, 255, 255, 255,      255,      255,     255,
        255, 255, 255, 255, 255, 255, 255, 0xF0 - 1, 0xE0 - 1, 0xC0 - 1};

    PW_AVX2 Utf8Validator()
        : m_error(_mm256_setzero_si256()),
          m_previous(m_error),
          m_previousIncomplete(m_error),
          m_nul(m_error),
          m_high(m_error) {}

    PW_AVX2 void block(__m256i input) {
        const __m256i zero = _mm256_setzero_si256();
        m_nul = _mm256_or_si256(m_nul, _mm256_cmpeq_epi8(input, zero));
        if (_mm256_movemask_epi8(input) == 0) {
            m_error = _mm256_or_si256(m_error, m_previousIncomplete);
            m_previousIncomplete = zero;
            m_previous = input;
            return;
        }
        m_high = _mm256_or_si256(m_high, input);
        const __m256i nibble = _mm256_set1_epi8(0x0F);
        const __m256i carried = _mm256_permute2x128_si256(m_previous, input, 0x21);
        const __m256i prev1 = _mm256_alignr_epi8(input, carried, 15);
        const __m256i prev2 = _mm256_alignr_epi8(input, carried, 14);
        const __m256i prev3 = _mm256_alignr_epi8(input, carried, 13);
        const __m256i special = _mm256_and_si256(
            _mm256_and_si256(
                _mm256_shuffle_epi8(nibbleTable(kByte1High),
                                    _mm256_and_si256(_mm256_srli_epi16(prev1, 4), nibble)),
                _mm256_shuffle_epi8(nibbleTable(kByte1Low), _mm256_and_si256(prev1, nibble))),
            _mm256_shuffle_epi8(nibbleTable(kByte2High),
                                _mm256_and_si256(_mm256_srli_epi16(input, 4), nibble)));
        const __m256i third =
            _mm256_subs_epu8(prev2, _mm256_set1_epi8(static_cast<char>(0xE0 - 0x80)));
        const __m256i fourth =
            _mm256_subs_epu8(prev3, _mm256_set1_epi8(static_cast<char>(0xF0 - 0x80)));
        const __m256i must23 = _mm256_and_si256(_mm256_or_si256(third, fourth),
                                                _mm256_set1_epi8(static_cast<char>(0x80)));
        m_error = _mm256_or_si256(m_error, _mm256_xor_si256(must23, special));
        m_previousIncomplete = _mm256_subs_epu8(
            input, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kIncompleteMax)));
        m_previous = input;
    }

    PW_AVX2 Utf8Scan finish() {
        m_error = _mm256_or_si256(m_error, m_previousIncomplete);
        return {_mm256_testz_si256(m_error, m_error) != 0, _mm256_movemask_epi8(m_high) == 0,
                _mm256_movemask_epi8(m_nul) != 0};
    }

private:
    __m256i m_error;
    __m256i m_previous;
    __m256i m_previousIncomplete;
    __m256i m_nul;
    __m256i m_high;
};

__attribute__((target("avx2"))) Utf8Scan scanUtf8Avx2(const Byte* b, size_t n) {
    Utf8Validator validator;
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        validator.block(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i)));
    }
    if (i < n) {
        // The tail, padded with blanks: they end any sequence and hold no NUL.
        alignas(32) Byte tail[32];
        std::memset(tail, ' ', sizeof tail);
        std::memcpy(tail, b + i, n - i);
        validator.block(_mm256_load_si256(reinterpret_cast<const __m256i*>(tail)));
    }
    return validator.finish();
}

bool hasAvx2() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}
#endif

}  // namespace

int classifyUtf8(std::string_view bytes, bool vectorised) {
    const Byte* b = bytesOf(bytes);
    const size_t n = bytes.size();
#ifdef PW_UTF8_AVX2
    if (vectorised && hasAvx2()) {
        const Utf8Scan scan = scanUtf8Avx2(b, n);
        return scan.nul ? kBinary : !scan.valid ? -1 : scan.ascii ? kSystemCodePage : kUtf8;
    }
#endif
    auto cont = [b](size_t k) { return (b[k] & 0xC0) == 0x80; };
    bool ascii = true;
    size_t i = 0;
    while (i < n) {
        const unsigned c = b[i];
        if (c == 0) {
            return kBinary;
        }
        if (c < 0x80) {
#ifdef __SSE2__
            const __m128i zero = _mm_setzero_si128();
            while (i + 16 <= n) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
                if (_mm_movemask_epi8(v) | _mm_movemask_epi8(_mm_cmpeq_epi8(v, zero))) {
                    break;
                }
                i += 16;
            }
#endif
            while (i < n && b[i] < 0x80 && b[i] != 0) {
                ++i;
            }
            continue;
        }
        ascii = false;
        // Japanese text is runs of three-byte sequences.
        const size_t runStart = i;
        while (i + 2 < n && (b[i] & 0xF0) == 0xE0 && cont(i + 1) && cont(i + 2) &&
               (b[i] != 0xE0 || b[i + 1] >= 0xA0) && (b[i] != 0xED || b[i + 1] < 0xA0)) {
            i += 3;
        }
        if (i != runStart) {
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF && i + 1 < n && cont(i + 1)) {
            i += 2;
        } else if (c >= 0xE0 && c <= 0xEF && i + 2 < n && cont(i + 1) && cont(i + 2) &&
                   (c != 0xE0 || b[i + 1] >= 0xA0) && (c != 0xED || b[i + 1] < 0xA0)) {
            i += 3;
        } else if (c >= 0xF0 && c <= 0xF4 && i + 3 < n && cont(i + 1) && cont(i + 2) &&
                   cont(i + 3) && (c != 0xF0 || b[i + 1] >= 0x90) &&
                   (c != 0xF4 || b[i + 1] < 0x90)) {
            i += 4;
        } else {
            return std::memchr(b + i, 0, n - i) ? kBinary : -1;
        }
    }
    return ascii ? kSystemCodePage : kUtf8;
}

long long shiftJisCount(std::string_view bytes) {
    if (std::memchr(bytes.data(), 0, bytes.size())) {
        return -1;
    }
    return countSequences(bytes, [](const Byte* b, size_t i, size_t n) {
        const unsigned c = b[i];
        if (inRange(c, 161, 223)) {
            return 1;  // half-width katakana
        }
        const bool lead = inRange(c, 129, 159) || inRange(c, 224, 252);
        return lead && i + 1 < n && (inRange(b[i + 1], 64, 126) || inRange(b[i + 1], 128, 252)) ? 2
                                                                                                : 0;
    });
}

long long utf8Count(std::string_view bytes) {
    return countSequences(bytes, [](const Byte* b, size_t i, size_t n) {
        const unsigned c = b[i];
        if (inRange(c, 192, 223) && i + 1 < n && inRange(b[i + 1], 128, 191)) {
            return 2;
        }
        if (inRange(c, 224, 239) && i + 2 < n && inRange(b[i + 1], 128, 191) && b[i + 2] >= 128) {
            return 3;  // also the mark EF BB BF
        }
        if (inRange(c, 240, 247) && i + 3 < n && inRange(b[i + 1], 128, 191) && b[i + 2] >= 128 &&
            b[i + 3] >= 128) {
            return 4;
        }
        return 0;
    });
}

long long eucJpCount(std::string_view bytes) {
    return countSequences(bytes, [](const Byte* b, size_t i, size_t n) {
        const unsigned c = b[i];
        if ((inRange(c, 161, 254) || c == 142) && i + 1 < n && b[i + 1] >= 161) {
            return 2;
        }
        if (c == 143 && i + 2 < n && inRange(b[i + 1], 161, 254) && inRange(b[i + 2], 161, 254)) {
            return 3;
        }
        return i + 1 < n ? -1 : 0;  // only a last byte may be left over
    });
}

namespace {

// How likely a JIS X 0208 character is in a learner's Japanese text, by its
// row: kana and punctuation are everywhere, the first level of kanji is
// common, the second rare, and the rows the standard leaves empty (or vendors
// fill) almost never occur.
int jisRowScore(unsigned row) {
    if (row == 4 || row == 5) {
        return 4;  // hiragana, katakana
    }
    if (row == 1) {
        return 2;  // punctuation and symbols
    }
    if (row == 3) {
        return 1;  // full-width digits and letters
    }
    if (row >= 16 && row <= 47) {
        return 2;
    }
    if (row >= 48 && row <= 84) {
        return -1;
    }
    if (row == 2 || (row >= 6 && row <= 8)) {
        return 0;  // symbols, Greek, Cyrillic, box drawing
    }
    return -4;
}

// Half-width katakana (0xA1..0xDF as Shift_JIS writes them) in their context:
// small kana, the long-vowel mark and the sound marks follow a kana, and only
// some kana take a sound mark; runs of punctuation are not text.
class HalfWidthKana {
public:
    int score(unsigned c) {
        int score;
        bool kana = true;
        if (c <= 0xA5) {
            score = m_previous != 0 && m_previous <= 0xA5 ? -3 : 0;  // ｡｢｣､･
            kana = false;
        } else if (c == 0xDE) {
            score = m_previous == 0xB3 || inRange(m_previous, 0xB6, 0xC4) ||
                            inRange(m_previous, 0xCA, 0xCE)
                        ? 2
                        : -3;  // ﾞ
        } else if (c == 0xDF) {
            score = inRange(m_previous, 0xCA, 0xCE) ? 2 : -3;  // ﾟ
        } else if (inRange(c, 0xA7, 0xB0)) {
            score = m_previous > 0xA5 ? 2 : -3;  // ｧ..ｯ, ｰ
        } else {
            score = 2;
        }
        m_previous = kana || c <= 0xA5 ? c : 0;
        return score;
    }
    void other() { m_previous = 0; }

private:
    unsigned m_previous = 0;  // the half-width character before, 0 for anything else
};

// The plausibility of bytes as Japanese text when read as EUC-JP or as
// Shift_JIS (both readings well-formed): the sum of the scores above.
long long japaneseScore(std::string_view bytes, bool eucJp) {
    const Byte* b = bytesOf(bytes);
    const size_t n = bytes.size();
    HalfWidthKana halfWidth;
    long long score = 0;
    size_t i = 0;
    while (i < n) {
        const unsigned c = b[i];
        if (c < 0x80) {
            halfWidth.other();
            ++i;
            continue;
        }
        if (eucJp) {
            if (c == 0x8E && i + 1 < n) {
                score += halfWidth.score(b[i + 1]);
                i += 2;
                continue;
            }
            halfWidth.other();
            if (c == 0x8F) {
                score -= 2;  // JIS X 0212: rare kanji and accented letters
                i += 3;
                continue;
            }
            score += jisRowScore(c - 0xA0);
            i += 2;
            continue;
        }
        if (inRange(c, 0xA1, 0xDF)) {
            score += halfWidth.score(c);
            ++i;
            continue;
        }
        halfWidth.other();
        const unsigned trail = i + 1 < n ? b[i + 1] : 0;
        if (c >= 0xF0) {
            score += c <= 0xF9 ? -4 : -1;  // user-defined area, IBM extensions
        } else {
            const unsigned lead = c <= 0x9F ? c - 0x81 : c - 0xC1;
            score += jisRowScore(lead * 2 + 1 + (trail >= 0x9F ? 1 : 0));
        }
        i += 2;
    }
    return score;
}

// Between two well-formed readings: the one the XML declaration names, else
// the more plausible one (EUC-JP when they are equal, as the counts decide).
int eucJpOrShiftJis(std::string_view bytes) {
    const std::string declared = declaredXmlEncoding(bytes);
    if (declared == "SHIFTJIS" || declared == "SJIS" || declared == "CP932" ||
        declared == "WINDOWS31J" || declared == "MSKANJI") {
        return kSystemCodePage;
    }
    if (declared == "EUCJP" || declared == "XEUCJP" || declared == "EUCJPMS") {
        return kEucJp;
    }
    return japaneseScore(bytes, false) > japaneseScore(bytes, true) ? kSystemCodePage : kEucJp;
}

}  // namespace

std::string declaredXmlEncoding(std::string_view bytes) {
    const size_t end = bytes.find("?>");
    if (!bytes.starts_with("<?xml") || end == std::string_view::npos) {
        return {};
    }
    const std::string_view declaration = bytes.substr(0, end);
    const size_t name = declaration.find(" encoding=");
    if (name == std::string_view::npos || name + 11 >= declaration.size()) {
        return {};
    }
    const char quote = declaration[name + 10];
    const size_t close = declaration.find(quote, name + 11);
    if ((quote != '"' && quote != '\'') || close == std::string_view::npos) {
        return {};
    }
    std::string normalized;
    for (char c : declaration.substr(name + 11, close - name - 11)) {
        if (c >= 'a' && c <= 'z') {
            normalized.push_back(static_cast<char>(c - 'a' + 'A'));
        } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            normalized.push_back(c);
        }
    }
    return normalized;
}

int detectEncoding(std::string_view bytes) {
    const long long size = static_cast<long long>(bytes.size());
    // A NUL makes the Shift_JIS count -1 (binary); ASCII makes every count the
    // size. Text that is well-formed UTF-8 or EUC-JP throughout is nearly
    // always well-formed Shift_JIS too ("é" is C3 A9, "日" is C6 FC), so these
    // come before the Shift_JIS test; real Shift_JIS text breaks both.
    const int quick = classifyUtf8(bytes);
    if (quick >= 0) {
        return quick;
    }
    const long long u = utf8Count(bytes);
    if (u == size) {
        return kUtf8;
    }
    const long long e = eucJpCount(bytes);
    const long long s = shiftJisCount(bytes);
    if (e == size && s >= size) {
        // Half-width katakana in Shift_JIS are valid EUC-JP pairs, and EUC-JP
        // kana often valid Shift_JIS: the counts cannot tell them apart.
        return eucJpOrShiftJis(bytes);
    }
    if (e == size) {
        return kEucJp;
    }
    if (s >= size) {
        return kSystemCodePage;
    }
    if (u <= size - 100 && e <= size - 100) {
        return kSystemCodePage;
    }
    if (s > u && s > e) {
        return kSystemCodePage;
    }
    return u <= e ? kEucJp : kUtf8;
}

int decodeTextBytes(std::string& bytes, std::u16string& out, int hint) {
    const Byte* b = bytesOf(bytes);
    const size_t n = bytes.size();
    if (n == 0) {
        out.clear();
        return hint == kDetectEncoding ? kUtf16 : hint;
    }
    int code;
    size_t markSize = 0;
    bool bigEndian = false;
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        code = kUtf16;
        markSize = 2;
    } else if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        code = kUtf16;
        markSize = 2;
        bigEndian = true;
    } else if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        code = kUtf8WithBom;
        markSize = 3;
    } else if (hint == kDetectEncoding) {
        code = detectEncoding(bytes);
    } else if (hint >= kSystemCodePage && hint <= kBinary) {
        code = hint;
    } else {
        code = kSystemCodePage;
    }
    out = decodeAs(code, bytes, markSize, bigEndian);
    return code;
}

int readTextFile(const std::string& path, std::u16string& out, int hint) {
    try {
        std::string bytes;
        if (!readFileBytes(path, bytes)) {
            return -1;
        }
        std::u16string text;
        const int code = decodeTextBytes(bytes, text, hint);
        out.swap(text);
        return code;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int readTextFile(const std::u16string& path, std::u16string& out, int hint) {
    return readTextFile(toUtf8(path), out, hint);
}

bool encodeTextBytes(std::u16string_view text, int code, std::string& bytes) {
    bytes.clear();
    switch (code) {
        case kDetectEncoding:
        case kUtf16:
            bytes.reserve(2 + text.size() * 2);
            bytes += "\xFF\xFE";
            for (char16_t unit : text) {
                bytes.push_back(static_cast<char>(unit & 0xFF));
                bytes.push_back(static_cast<char>(unit >> 8));
            }
            return true;
        case kSystemCodePage:
            return encodeCodePage(text, systemCodePage(), bytes);
        case kUtf8:
            bytes = toUtf8(text);
            return true;
        case kUtf8WithBom:
            bytes = "\xEF\xBB\xBF" + toUtf8(text);
            return true;
        case kCodePage950:
            return encodeCodePage(text, kCharsetCp950, bytes);
        case kEucJp:
            return encodeEucJp(text, bytes);
        default:
            return false;  // binary, or no such code
    }
}

bool writeTextFile(const std::string& path, std::u16string_view text, int code,
                   std::string* error) {
    std::string bytes;
    if (!encodeTextBytes(text, code, bytes)) {
        if (error) {
            *error = "The text cannot be written in the chosen encoding: " + path;
        }
        return false;
    }
    return replaceFileContents(path, bytes, error);
}

bool writeTextFile(const std::u16string& path, std::u16string_view text, int code,
                   std::string* error) {
    return writeTextFile(toUtf8(path), text, code, error);
}

int encodingFromName(std::u16string_view name) {
    struct Entry {
        std::u16string_view name;
        int code;
    };
    static constexpr Entry kNames[] = {
        {u"Shift_JIS", kSystemCodePage},
        {u"ANSI", kSystemCodePage},
        {u"UTF-16", kUtf16},
        {u"EUC-JP", kEucJp},
        {u"UTF-8", kUtf8},
        {u"UTF8", kUtf8},
        {u"UTF-8N", kUtf8WithBom},
        {u"Binary", kBinary},
    };
    for (const Entry& entry : kNames) {
        if (entry.name == name) {
            return entry.code;
        }
    }
    return kSystemCodePage;
}

}  // namespace pw
