// Fuzz target: encoding detection and decoding of text files, the counts, the
// EUC-JP conversion, and that UTF-16 and UTF-8 text survive a write and read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "xml/CodePage.h"
#include "xml/TextFile.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool hasLoneSurrogate(const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    std::string bytes = input;
    std::u16string text;
    const int code = pw::decodeTextBytes(bytes, text);
    check(code >= pw::kSystemCodePage && code <= pw::kBinary);
    check(text.find(u'\0') == std::u16string::npos);

    // Every hint, as a caller may give one.
    const int hint = size ? static_cast<int>(data[0] % 9) - 2 : -1;
    bytes = input;
    std::u16string hinted;
    pw::decodeTextBytes(bytes, hinted, hint);

    // The vectorised check of UTF-8 and the byte-by-byte one agree.
    check(pw::classifyUtf8(input) == pw::classifyUtf8(input, false));

    const long long n = static_cast<long long>(size);
    const long long s = pw::shiftJisCount(input);
    check(s >= -1 && s <= n);
    check(pw::utf8Count(input) <= n && pw::eucJpCount(input) <= n);
    bytes = input;
    pw::eucJpToShiftJis(bytes);
    check(bytes.size() <= input.size());

    for (int write : {pw::kUtf16, pw::kUtf8WithBom}) {
        if (write == pw::kUtf8WithBom && hasLoneSurrogate(text)) {
            continue;  // UTF-8 has no form for them
        }
        std::string encoded;
        check(pw::encodeTextBytes(text, write, encoded));
        std::u16string back;
        check(pw::decodeTextBytes(encoded, back) == write);
        check(back == text);
    }
    std::string legacy;
    // Whatever EUC-JP writes reads back as the text it was given.
    if (pw::encodeTextBytes(text, pw::kEucJp, legacy)) {
        check(pw::decodeEucJp(legacy) == text);
    }
    pw::encodeTextBytes(text, pw::kSystemCodePage, legacy);
    return 0;
}
