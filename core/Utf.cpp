// UTF-8 and UTF-16 conversions.
#include "core/Utf.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pw {

void appendCodePoint(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        out.push_back(u'\uFFFD');
    }
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

namespace {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PW_UTF8_SSE41 1
#include <immintrin.h>

bool hasSse41() {
    static const bool available = __builtin_cpu_supports("sse4.1");
    return available;
}

// Decodes the three-byte sequences at s four at a time (12 bytes; 16 must be
// readable), for as long as they are four whose leads need no further check
// (E1..EC, EE, EF: no overlong form or surrogate is possible) and whose other
// bytes are continuation bytes. Returns the number of characters written.
__attribute__((target("sse4.1"))) size_t decodeThreeByteRuns(const unsigned char* s, size_t n,
                                                             char16_t* o) {
    const __m128i topMask =
        _mm_setr_epi8(-16, -64, -64, -16, -64, -64, -16, -64, -64, -16, -64, -64, 0, 0, 0, 0);
    const __m128i topBits = _mm_setr_epi8(-32, -128, -128, -32, -128, -128, -32, -128, -128, -32,
                                          -128, -128, 0, 0, 0, 0);
    const __m128i leadE0 = _mm_setr_epi8(-32, 0, 0, -32, 0, 0, -32, 0, 0, -32, 0, 0, 0, 0, 0, 0);
    const __m128i leadED = _mm_setr_epi8(-19, 0, 0, -19, 0, 0, -19, 0, 0, -19, 0, 0, 0, 0, 0, 0);
    // Each character's bytes into a 32-bit lane, last byte lowest.
    const __m128i gather = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
    size_t done = 0;
    while (n >= 16) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const int shape = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(in, topMask), topBits));
        const int special =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(in, leadE0), _mm_cmpeq_epi8(in, leadED)));
        if (shape != 0xFFFF || (special & 0x0FFF) != 0) {
            break;
        }
        const __m128i v = _mm_shuffle_epi8(in, gather);
        const __m128i cp =
            _mm_or_si128(_mm_or_si128(_mm_and_si128(v, _mm_set1_epi32(0x3F)),
                                      _mm_and_si128(_mm_srli_epi32(v, 2), _mm_set1_epi32(0x0FC0))),
                         _mm_and_si128(_mm_srli_epi32(v, 4), _mm_set1_epi32(0xF000)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi32(cp, cp));
        s += 12;
        n -= 12;
        o += 4;
        done += 4;
    }
    return done;
}
#endif

// Decodes text into o, which has room for text.size() units: every byte gives
// at most one unit (four give two). Returns the number of units. Whole files
// pass through here, so ASCII runs are copied sixteen bytes at a time.
size_t decodeUtf8(std::string_view text, char16_t* const begin) {
    char16_t* o = begin;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            // Only a run of ASCII is worth the wide copies.
#ifdef __SSE2__
            const __m128i zero = _mm_setzero_si128();
            while (i + 16 <= n) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
                if (_mm_movemask_epi8(bytes) != 0) {
                    break;
                }
                _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(bytes, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(bytes, zero));
                o += 16;
                i += 16;
            }
            // Eight more, so that short runs and the ends of long ones are
            // not taken byte by byte.
            if (i + 8 <= n) {
                const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + i));
                if ((_mm_movemask_epi8(bytes) & 0xFF) == 0) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(bytes, zero));
                    o += 8;
                    i += 8;
                }
            }
#endif
            while (i < n && s[i] < 0x80) {
                *o++ = s[i++];
            }
            continue;
        }
        // The common well-formed two- and three-byte forms first.
        if (c >= 0xC2 && c <= 0xDF && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
            *o++ = static_cast<char16_t>(((c & 0x1F) << 6) | (s[i + 1] & 0x3F));
            i += 2;
            continue;
        }
        // Japanese text is runs of three-byte sequences.
        bool three = false;
#ifdef PW_UTF8_SSE41
        if ((c & 0xF0) == 0xE0 && n - i >= 16 && hasSse41()) {
            const size_t decoded = decodeThreeByteRuns(s + i, n - i, o);
            o += decoded;
            i += decoded * 3;
            three = decoded > 0;
        }
#endif
        while ((s[i] & 0xF0) == 0xE0 && i + 2 < n && (s[i + 1] & 0xC0) == 0x80 &&
               (s[i + 2] & 0xC0) == 0x80) {
            const char32_t cp =
                ((s[i] & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) {
                break;
            }
            *o++ = static_cast<char16_t>(cp);
            i += 3;
            three = true;
            if (i >= n) {
                break;
            }
        }
        if (three) {
            continue;
        }
        int extra;
        char32_t cp;
        char32_t min;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, cp = c & 0x1F, min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, cp = c & 0x0F, min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, cp = c & 0x07, min = 0x10000;
        } else {
            *o++ = u'\uFFFD';
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= n || (s[j] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (s[j] & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            *o++ = u'\uFFFD';
            i = ok ? j : (j > i + 1 ? j : i + 1);
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *o++ = static_cast<char16_t>(cp);
        }
        i = j;
    }
    return static_cast<size_t>(o - begin);
}

}  // namespace

std::u16string fromUtf8(std::string_view text) {
    std::u16string out;
    appendUtf8(out, text);
    return out;
}

void appendUtf8(std::u16string& out, std::string_view text) {
    // Short runs go through a buffer so that out grows by exactly what they give.
    char16_t buffer[256];
    if (text.size() <= std::size(buffer)) {
        const size_t size = decodeUtf8(text, buffer);
        if (out.empty() && out.capacity() < size) {
            // A new text, a document's CDATA mostly: made at its size in one
            // allocation rather than grown.
            out = std::u16string(buffer, size);
        } else {
            out.append(buffer, size);
        }
        return;
    }
    const size_t start = out.size();
    out.resize(start + text.size());
    out.resize(start + decodeUtf8(text, out.data() + start));
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

}  // namespace pw
