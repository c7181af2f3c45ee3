// Text rewrites before speech.
#include "speech/SpeechText.h"

#include <array>

#include "core/Utf.h"

namespace pw {
namespace {

bool isAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The myriad units of the groups of four digits, lowest group first.
constexpr std::array<const char16_t*, 12> kMyriads = {u"",     u"まん", u"おく", u"ちょう",
                                                      u"けい", u"がい", u"じょ", u"じょう",
                                                      u"こう", u"かん", u"せい", u"さい"};

// What a digit becomes at the tens, hundreds and thousands place of its
// group; null means the digit followed by the place's reading (kPlaceUnits).
// A zero says nothing.
constexpr const char16_t* kPlaceReadings[3][10] = {
    {u"", u"じゅう", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {u"", u"ひゃく", nullptr, u"3びゃく", nullptr, nullptr, u"ろっぴゃく", nullptr, u"はっぴゃく",
     nullptr},
    {u"", u"せん", nullptr, u"3ぜん", nullptr, nullptr, nullptr, nullptr, u"はっせん", nullptr},
};
constexpr const char16_t* kPlaceUnits[3] = {u"じゅう", u"ひゃく", u"せん"};

// place 1, 2 or 3: tens, hundreds, thousands.
void appendPlace(std::u16string& out, char16_t digit, size_t place) {
    const size_t d = static_cast<size_t>(digit - u'0');
    if (const char16_t* reading = kPlaceReadings[place - 1][d]) {
        out += reading;
        return;
    }
    out += digit;
    out += kPlaceUnits[place - 1];
}

std::u16string spellRun(const std::u16string& run) {
    if (run.size() < 2 || run.size() > 24 || run[0] == u'0') {
        return run;
    }
    std::u16string out;
    const size_t n = run.size();
    bool groupHasDigit = false;
    for (size_t i = 0; i < n; ++i) {
        const size_t place = n - 1 - i;  // counted from the right
        const char16_t digit = run[i];
        groupHasDigit = groupHasDigit || digit != u'0';
        if (place % 4 != 0) {
            appendPlace(out, digit, place % 4);
            continue;
        }
        if (digit != u'0') {
            out += digit;
        }
        // A group of zeros says nothing: 100000000 is 1おく, not 1おくまん.
        if (groupHasDigit) {
            out += kMyriads[place / 4];
        }
        groupHasDigit = false;
    }
    return out;
}

}  // namespace

void normalizeTypography(std::u16string& text) {
    for (char16_t& c : text) {
        if (c == u'\u2014') {
            c = u' ';
        } else if (c == u'\u2019') {
            c = u'\'';
        }
    }
}

void normalizeSpokenLines(std::u16string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r') {
            continue;
        }
        if (c == u'\n') {
            if (i + 1 < text.size() && text[i + 1] > 0x80) {
                continue;
            }
            out += u' ';
            continue;
        }
        out += c;
    }
    normalizeTypography(out);
    text = std::move(out);
}

void spellJapaneseNumbers(std::u16string& text) {
    std::u16string out;
    std::u16string run;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c >= u'\uFF10' && c <= u'\uFF19') {
            c = static_cast<char16_t>(u'0' + (c - u'\uFF10'));
        }
        if (c == u',') {
            continue;
        }
        if (isAsciiDigit(c)) {
            run += c;
            continue;
        }
        out += spellRun(run);
        run.clear();
        out += c;
    }
    out += spellRun(run);
    text = std::move(out);
}

void rewriteOutsideTags(std::u16string& text, bool isXml,
                        const std::function<void(std::u16string&)>& rewrite) {
    if (!isXml) {
        rewrite(text);
        return;
    }
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t tag = text.find(u'<', i);
        while (tag != std::u16string::npos && tag + 1 < text.size() &&
               !isAsciiLetter(text[tag + 1]) && text[tag + 1] != u'/') {
            tag = text.find(u'<', tag + 1);
        }
        const size_t close = tag == std::u16string::npos ? tag : text.find(u'>', tag);
        const size_t textEnd = close == std::u16string::npos ? text.size() : tag;
        std::u16string piece = text.substr(i, textEnd - i);
        rewrite(piece);
        out += piece;
        if (textEnd == text.size()) {
            break;
        }
        out.append(text, tag, close + 1 - tag);
        i = close + 1;
    }
    text = std::move(out);
}

std::u16string pitchPrefix(int pitch) {
    return u"<pitch middle='" + fromUtf8(std::to_string(pitch)) + u"' />";
}

bool wantsPitchPrefix(std::u16string_view text) {
    return !(text.size() > 50 && text.substr(0, 50).find(u"<pitch middle") != text.npos);
}

void blankStrayLessThan(std::u16string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'<' && !isAsciiLetter(text[i + 1]) && text[i + 1] != u'/') {
            text[i] = u' ';
        }
    }
}

}  // namespace pw
