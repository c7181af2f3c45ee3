// Reading SubRip and WebVTT subtitles.
#include "content/Subtitles.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "core/Utf.h"

namespace pw {
namespace {

struct Line {
    int number = 0;
    std::u16string_view text;
};

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isDigits(std::u16string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

std::vector<Line> splitLines(std::u16string_view text) {
    std::vector<Line> lines;
    size_t start = 0;
    int number = 1;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r') {
            ++end;
        }
        lines.push_back({number++, text.substr(start, end - start)});
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n') {
            ++end;
        }
        start = end + 1;
    }
    return lines;
}

bool isBlankLine(const Line& line) {
    return trimmed(line.text).empty();
}

// line begins with word, followed by nothing or a blank.
bool startsWithWord(std::u16string_view line, std::u16string_view word) {
    return line.substr(0, word.size()) == word &&
           (line.size() == word.size() || isSpace(line[word.size()]));
}

bool isTimingLine(const Line& line) {
    const std::u16string_view text = trimmed(line.text);
    return !text.empty() && isDigit(text.front()) && text.find(u"-->") != std::u16string_view::npos;
}

// A number of 1 to maxDigits digits, or -1.
int number(std::u16string_view text, size_t maxDigits) {
    if (!isDigits(text) || text.size() > maxDigits) {
        return -1;
    }
    int value = 0;
    for (char16_t c : text) {
        value = value * 10 + (c - u'0');
    }
    return value;
}

std::u16string ascii(std::string_view text) {
    return fromUtf8(text);
}

std::u16string quoted(std::u16string_view text) {
    return u"\"" + std::u16string(text) + u"\"";
}

bool isLowerLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= 0xDF && c <= 0xFF && c != 0xF7) ||
           (c >= 0x3B1 && c <= 0x3C9) || (c >= 0x430 && c <= 0x45F);
}

bool isUpperLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
           (c >= 0x391 && c <= 0x3A9) || (c >= 0x400 && c <= 0x42F);
}

// Chinese characters, kana and full-width forms: no spaces between them.
bool isCjk(char16_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

// Text in capitals and no small letters, as descriptions and speaker names
// are written in subtitles for the hard of hearing.
bool isInCapitals(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), isUpperLetter) &&
           std::none_of(text.begin(), text.end(), isLowerLetter);
}

bool isSpeakerLabel(std::u16string_view label) {
    constexpr std::u16string_view kAllowed = u" .'\u2019-&#";
    return !label.empty() && label.size() <= 30 && isInCapitals(label) &&
           std::all_of(label.begin(), label.end(), [&](char16_t c) {
               return isUpperLetter(c) || isDigit(c) || kAllowed.find(c) != kAllowed.npos;
           });
}

bool isDash(char16_t c) {
    return c == u'-' || c == u'\u2013' || c == u'\u2014';
}

size_t findCaseless(std::u16string_view text, std::u16string_view what, size_t from) {
    for (size_t i = from; i + what.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < what.size() && (text[i + k] | 0x20) == (what[k] | 0x20)) {
            ++k;
        }
        if (k == what.size()) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

// Where the markup starting with "<" at open ends (the index after it), or
// npos when the "<" opens no tag. Ruby readings go with their tags.
size_t tagEnd(std::u16string_view line, size_t open) {
    const size_t close = line.find(u'>', open + 1);
    if (close == std::u16string_view::npos) {
        return close;
    }
    std::u16string_view name = line.substr(open + 1, close - open - 1);
    name = name.substr(0, std::min(name.find(u' '), name.find(u'.')));
    for (std::u16string_view reading : {u"rt", u"rp"}) {
        if (name.size() == 2 && (name[0] | 0x20) == reading[0] && (name[1] | 0x20) == reading[1]) {
            const size_t end =
                findCaseless(line, std::u16string(u"</") + std::u16string(reading), close);
            const size_t after = end == std::u16string_view::npos ? end : line.find(u'>', end);
            return after == std::u16string_view::npos ? close + 1 : after + 1;
        }
    }
    return close + 1;
}

std::u16string withoutMarkup(std::u16string_view line) {
    std::u16string out;
    size_t i = 0;
    while (i < line.size()) {
        const char16_t c = line[i];
        const std::u16string_view rest = line.substr(i);
        if (c == u'{' && rest.size() > 1 && rest[1] == u'\\') {
            if (const size_t close = rest.find(u'}'); close != rest.npos) {
                i += close + 1;
                continue;
            }
        } else if (c == u'<') {
            const size_t end = tagEnd(line, i);
            if (end == std::u16string_view::npos) {
                out += u"&lt;";
                ++i;
            } else {
                i = end;
            }
            continue;
        } else if (c == u'[' || c == u'(') {
            const size_t close = rest.find(c == u'[' ? u']' : u')');
            if (close != rest.npos && (c == u'[' || isInCapitals(rest.substr(1, close - 1)))) {
                i += close + 1;
                continue;
            }
        } else if (c == u'&') {
            if (rest.substr(0, 6) == u"&nbsp;") {
                out += u' ';
                i += 6;
                continue;
            }
            if (rest.substr(0, 5) == u"&lrm;" || rest.substr(0, 5) == u"&rlm;") {
                i += 5;
                continue;
            }
        } else if (c == u'\u200E' || c == u'\u200F' || c == u'\uFEFF') {
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

// Runs of blanks become one space; none at the ends.
std::u16string collapsedSpaces(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        const bool blank = isSpace(c) || c == u'\u00A0';
        if (!blank) {
            out += c;
        } else if (!out.empty() && out.back() != u' ') {
            out += u' ';
        }
    }
    if (!out.empty() && out.back() == u' ') {
        out.pop_back();
    }
    return out;
}

std::u16string cleanLine(std::u16string_view line) {
    std::u16string text = collapsedSpaces(withoutMarkup(line));
    if (!text.empty() && isDash(text[0]) &&
        (text.size() == 1 || (!isDash(text[1]) && !isDigit(text[1])))) {
        text = collapsedSpaces(std::u16string_view(text).substr(1));
    }
    const size_t colon = text.find(u':');
    if (colon != std::u16string::npos && (colon + 1 == text.size() || text[colon + 1] == u' ') &&
        isSpeakerLabel(std::u16string_view(text).substr(0, colon))) {
        text = collapsedSpaces(std::u16string_view(text).substr(colon + 1));
    }
    return text;
}

class Reader {
public:
    Reader(std::u16string_view text, SubtitleFormat format)
        : m_lines(splitLines(text)), m_format(format) {}

    SubtitleTrack read() {
        size_t i = 0;
        if (m_format == SubtitleFormat::WebVtt) {
            if (!m_lines.empty() && startsWithWord(m_lines[0].text, u"WEBVTT")) {
                while (i < m_lines.size() && !isBlankLine(m_lines[i])) {
                    ++i;
                }
            } else {
                note(1, u"the file does not begin with \"WEBVTT\" (read all the same)");
            }
        }
        while (i < m_lines.size()) {
            if (isBlankLine(m_lines[i])) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < m_lines.size() && !isBlankLine(m_lines[end])) {
                ++end;
            }
            readBlock(i, end);
            i = end;
        }
        std::stable_sort(
            m_track.cues.begin(), m_track.cues.end(),
            [](const SubtitleCue& a, const SubtitleCue& b) { return a.startMs < b.startMs; });
        std::stable_sort(
            m_track.issues.begin(), m_track.issues.end(),
            [](const ImportIssue& a, const ImportIssue& b) { return a.line < b.line; });
        return std::move(m_track);
    }

private:
    void note(int line, std::u16string message) {
        m_track.issues.push_back({ImportIssue::Note, line, std::move(message), {}});
    }
    void skip(int line, std::u16string message) {
        m_track.issues.push_back({ImportIssue::Skipped, line, std::move(message), {}});
    }

    void readBlock(size_t begin, size_t end) {
        const std::u16string_view first = trimmed(m_lines[begin].text);
        if (m_format == SubtitleFormat::WebVtt &&
            (startsWithWord(first, u"NOTE") || startsWithWord(first, u"STYLE") ||
             startsWithWord(first, u"REGION"))) {
            return;
        }
        std::vector<size_t> timings;
        for (size_t k = begin; k < end; ++k) {
            if (isTimingLine(m_lines[k])) {
                timings.push_back(k);
            }
        }
        if (timings.empty()) {
            skip(m_lines[begin].number,
                 u"no cue time here; " + lineCount(end - begin) + u" skipped");
            return;
        }
        std::optional<size_t> identifier;
        if (timings[0] > begin) {
            identifier = timings[0] - 1;
            if (timings[0] - begin > 1) {
                skip(m_lines[begin].number, u"text without a cue time; " +
                                                lineCount(timings[0] - begin - 1) + u" skipped");
            }
        }
        for (size_t q = 0; q < timings.size(); ++q) {
            size_t textEnd = q + 1 < timings.size() ? timings[q + 1] : end;
            std::optional<size_t> nextIdentifier;
            if (q + 1 < timings.size()) {
                if (textEnd - 1 > timings[q] &&
                    number(trimmed(m_lines[textEnd - 1].text), 9) >= 0) {
                    nextIdentifier = --textEnd;
                }
                note(m_lines[nextIdentifier.value_or(timings[q + 1])].number,
                     u"a blank line is missing before this cue (read all the same)");
            }
            checkNumber(identifier);
            readCue(timings[q], textEnd);
            identifier = nextIdentifier;
        }
    }

    void checkNumber(std::optional<size_t> identifier) {
        if (m_format != SubtitleFormat::Srt || !identifier) {
            return;
        }
        const Line& line = m_lines[*identifier];
        const int n = number(trimmed(line.text), 9);
        if (n < 0) {
            return;
        }
        if (m_lastNumber >= 0 && n <= m_lastNumber) {
            note(line.number, u"cue number " + ascii(std::to_string(n)) + u" comes after cue " +
                                  ascii(std::to_string(m_lastNumber)) + u" (read all the same)");
        }
        m_lastNumber = n;
    }

    void readCue(size_t timing, size_t textEnd) {
        const Line& line = m_lines[timing];
        const std::u16string_view text = trimmed(line.text);
        const size_t arrow = text.find(u"-->");
        std::u16string_view endText = trimmed(text.substr(arrow + 3));
        endText = endText.substr(0, std::min(endText.find(u' '), endText.find(u'\t')));
        const int start = parseCueTime(text.substr(0, arrow));
        const int end = parseCueTime(endText);
        const std::u16string rest = lineCount(textEnd - timing - 1) + u" skipped";
        if (start < 0 || end < 0) {
            skip(line.number,
                 u"the cue time " + quoted(text) + u" cannot be read; the cue and " + rest);
            return;
        }
        if (end <= start) {
            skip(line.number,
                 u"the cue ends before it starts (" + quoted(text) + u"); the cue and " + rest);
            return;
        }
        std::vector<std::u16string_view> texts;
        for (size_t k = timing + 1; k < textEnd; ++k) {
            texts.push_back(m_lines[k].text);
        }
        std::u16string words = cleanCueText(texts);
        if (words.empty()) {
            ++m_track.cuesWithoutWords;
            return;
        }
        m_track.cues.push_back({line.number, start, end, std::move(words)});
    }

    static std::u16string lineCount(size_t n) {
        return n == 0 ? u"no text" : n == 1 ? u"1 line" : ascii(std::to_string(n)) + u" lines";
    }

    std::vector<Line> m_lines;
    SubtitleFormat m_format;
    SubtitleTrack m_track;
    int m_lastNumber = -1;
};

}  // namespace

SubtitleFormat subtitleFormatFor(std::string_view path, std::u16string_view text) {
    if (text.substr(0, 6) == u"WEBVTT") {
        return SubtitleFormat::WebVtt;
    }
    return path.size() >= 4 && asciiLower(path.substr(path.size() - 4)) == ".vtt"
               ? SubtitleFormat::WebVtt
               : SubtitleFormat::Srt;
}

bool looksLikeSubtitles(std::string_view path, std::u16string_view text) {
    const std::string extension =
        path.size() >= 4 ? asciiLower(path.substr(path.size() - 4)) : std::string();
    return extension == ".srt" || extension == ".vtt" || text.substr(0, 6) == u"WEBVTT";
}

SubtitleTrack readSubtitles(std::u16string_view text, SubtitleFormat format) {
    return Reader(text, format).read();
}

int parseCueTime(std::u16string_view text) {
    text = trimmed(text);
    // seconds, a "," or ".", and three digits of milliseconds
    if (text.size() < 6) {
        return -1;
    }
    const std::u16string_view fraction = text.substr(text.size() - 6);
    if (!isDigit(fraction[0]) || !isDigit(fraction[1]) ||
        (fraction[2] != u',' && fraction[2] != u'.') || !isDigits(fraction.substr(3))) {
        return -1;
    }
    text.remove_suffix(6);
    if (text.empty() || text.back() != u':') {
        return -1;
    }
    text.remove_suffix(1);
    const size_t colon = text.rfind(u':');
    const int minutes = number(colon == text.npos ? text : text.substr(colon + 1), 2);
    const int hours = colon == text.npos ? 0 : number(text.substr(0, colon), 2);
    const int seconds = number(fraction.substr(0, 2), 2);
    if (minutes < 0 || hours < 0 || minutes >= 60 || seconds >= 60) {
        return -1;
    }
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + number(fraction.substr(3), 3);
}

std::u16string formatCueTime(int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return ascii(text);
}

std::u16string cleanCueText(const std::vector<std::u16string_view>& lines) {
    std::u16string out;
    for (std::u16string_view line : lines) {
        const std::u16string words = cleanLine(line);
        if (words.empty()) {
            continue;
        }
        if (!out.empty() && !isCjk(out.back()) && !isCjk(words.front())) {
            out += u' ';
        }
        out += words;
    }
    return out;
}

std::vector<std::u16string> matchByOverlap(const std::vector<SubtitleCue>& cues,
                                           const std::vector<SubtitleCue>& others) {
    std::vector<std::u16string> texts(cues.size());
    int longest = 0;
    for (const SubtitleCue& cue : cues) {
        longest = std::max(longest, cue.endMs - cue.startMs);
    }
    const auto startsBefore = [](const SubtitleCue& cue, int64_t ms) { return cue.startMs < ms; };
    for (const SubtitleCue& other : others) {
        // Only cues that start less than the longest cue's length before it can reach it.
        const auto first = std::lower_bound(cues.begin(), cues.end(),
                                            int64_t{other.startMs} - longest, startsBefore);
        const auto last = std::lower_bound(first, cues.end(), int64_t{other.endMs}, startsBefore);
        bool matched = false;
        int64_t bestOverlap = 0;
        size_t best = cues.size();
        for (auto it = first; it != last; ++it) {
            const int64_t overlap =
                int64_t{std::min(it->endMs, other.endMs)} - std::max(it->startMs, other.startMs);
            if (overlap <= 0) {
                continue;
            }
            const size_t index = static_cast<size_t>(it - cues.begin());
            if (overlap > bestOverlap) {
                bestOverlap = overlap;
                best = index;
            }
            const int64_t shorter = std::min(it->endMs - it->startMs, other.endMs - other.startMs);
            if (2 * overlap >= shorter) {
                std::u16string& text = texts[index];
                text += text.empty() ? u"" : u" ";
                text += other.text;
                matched = true;
            }
        }
        if (!matched && best < cues.size()) {
            std::u16string& text = texts[best];
            text += text.empty() ? u"" : u" ";
            text += other.text;
        }
    }
    return texts;
}

}  // namespace pw
