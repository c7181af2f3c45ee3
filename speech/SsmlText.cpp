// Translation of speech markup into SSML.
#include "speech/SsmlText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "core/Utf.h"

namespace pw {
namespace {

bool isNameChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'-' || c == u':';
}

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::string lower(std::u16string_view text) {
    return asciiLower(toUtf8(text));
}

// "&name;", "&#123;" or "&#x1F;" at markup[at].
bool startsReference(std::u16string_view markup, size_t at) {
    size_t i = at + 1;
    if (i < markup.size() && markup[i] == u'#') {
        ++i;
        if (i < markup.size() && (markup[i] == u'x' || markup[i] == u'X')) {
            ++i;
        }
    }
    const size_t start = i;
    while (i < markup.size() && i - start < 32 && isNameChar(markup[i]) && markup[i] != u':') {
        ++i;
    }
    return i > start && i < markup.size() && markup[i] == u';';
}

struct Tag {
    bool closing = false;
    bool empty = false;
    std::string name;
    std::map<std::string, std::u16string> attributes;
    size_t end = 0;  // just after ">"
};

// Reads the tag starting at markup[start] == '<'; false when it is no tag.
bool readTag(std::u16string_view markup, size_t start, Tag& tag) {
    size_t i = start + 1;
    if (i < markup.size() && markup[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    const size_t nameStart = i;
    while (i < markup.size() && isNameChar(markup[i])) {
        ++i;
    }
    if (i == nameStart) {
        return false;
    }
    tag.name = lower(markup.substr(nameStart, i - nameStart));
    while (i < markup.size()) {
        while (i < markup.size() && isSpace(markup[i])) {
            ++i;
        }
        if (i >= markup.size()) {
            return false;
        }
        if (markup[i] == u'>') {
            tag.end = i + 1;
            return true;
        }
        if (markup[i] == u'/' && i + 1 < markup.size() && markup[i + 1] == u'>') {
            tag.empty = true;
            tag.end = i + 2;
            return true;
        }
        const size_t attrStart = i;
        while (i < markup.size() && isNameChar(markup[i])) {
            ++i;
        }
        if (i == attrStart) {
            return false;
        }
        const std::string attr = lower(markup.substr(attrStart, i - attrStart));
        while (i < markup.size() && isSpace(markup[i])) {
            ++i;
        }
        std::u16string value;
        if (i < markup.size() && markup[i] == u'=') {
            ++i;
            while (i < markup.size() && isSpace(markup[i])) {
                ++i;
            }
            if (i >= markup.size()) {
                return false;
            }
            const char16_t quote = markup[i];
            if (quote == u'"' || quote == u'\'') {
                const size_t close = markup.find(quote, i + 1);
                if (close == markup.npos) {
                    return false;
                }
                value = std::u16string(markup.substr(i + 1, close - i - 1));
                i = close + 1;
            } else {
                const size_t valueStart = i;
                while (i < markup.size() && !isSpace(markup[i]) && markup[i] != u'>' &&
                       markup[i] != u'/') {
                    ++i;
                }
                value = std::u16string(markup.substr(valueStart, i - valueStart));
            }
        }
        tag.attributes[attr] = value;
    }
    return false;
}

long number(const Tag& tag, const char* attribute) {
    const auto it = tag.attributes.find(attribute);
    return it == tag.attributes.end() ? 0 : std::strtol(toUtf8(it->second).c_str(), nullptr, 10);
}

std::string signedPercent(double factor) {
    const long percent = std::lround((factor - 1.0) * 100.0);
    return (percent >= 0 ? "+" : "") + std::to_string(percent) + "%";
}

// Pitch steps are semitones; rate steps span a third to three times the speed.
std::string prosodyOpen(const Tag& tag) {
    if (tag.name == "pitch") {
        const long middle = std::labs(number(tag, "middle")) > 24 ? 0 : number(tag, "middle");
        return "<prosody pitch=\"" + signedPercent(std::pow(2.0, middle / 12.0)) + "\">";
    }
    if (tag.name == "rate") {
        const double speed = std::max(-10L, std::min(10L, number(tag, "speed")));
        return "<prosody rate=\"" + std::to_string(std::lround(std::pow(3.0, speed / 10.0) * 100)) +
               "%\">";
    }
    const long level = std::max(0L, std::min(100L, number(tag, "level")));
    return "<prosody volume=\"" + std::to_string(level) + "\">";
}

class Translator {
public:
    explicit Translator(std::u16string_view markup) : m_markup(markup) {}

    SsmlText run() {
        size_t i = 0;
        while (i < m_markup.size()) {
            Tag tag;
            if (m_markup[i] == u'<' && readTag(m_markup, i, tag)) {
                translate(tag, i);
                i = tag.end;
                continue;
            }
            if (m_markup[i] == u'<') {
                emit("&lt;", i);  // a "<" that starts no tag
            } else if (m_markup[i] == u'&') {
                if (!startsReference(m_markup, i)) {
                    emit("&amp;", i);
                } else {
                    // The synthesiser reports a reference at its last unit;
                    // all of it maps to its start.
                    const size_t end = m_markup.find(u';', i) + 1;
                    m_out.text.append(m_markup.substr(i, end - i));
                    m_out.origin.insert(m_out.origin.end(), end - i, static_cast<int32_t>(i));
                    i = end;
                    continue;
                }
            } else {
                m_out.text += m_markup[i];
                m_out.origin.push_back(static_cast<int32_t>(i));
            }
            ++i;
        }
        closeDownTo(0, m_markup.size());
        m_out.origin.push_back(static_cast<int32_t>(m_markup.size()));
        return std::move(m_out);
    }

private:
    struct Open {
        std::string name;  // the caller's tag name
        std::string close;
        bool toEnd;  // opened by an empty tag: lasts to the end
    };

    void emit(const std::string& ssml, size_t origin) {
        const std::u16string text = fromUtf8(ssml);
        m_out.text += text;
        m_out.origin.insert(m_out.origin.end(), text.size(), static_cast<int32_t>(origin));
    }

    void closeDownTo(size_t depth, size_t origin) {
        while (m_open.size() > depth) {
            emit(m_open.back().close, origin);
            m_open.pop_back();
        }
    }

    // Opens an element, or closes the innermost open one of the same name
    // (with whatever was opened inside it), so the SSML stays well formed
    // whatever the caller's markup looks like.
    void element(const Tag& tag, const std::string& open, const std::string& close, size_t at,
                 bool emptyLastsToEnd) {
        if (!tag.closing) {
            if (tag.empty && !emptyLastsToEnd) {
                return;
            }
            emit(open, at);
            m_open.push_back({tag.name, close, tag.empty});
            return;
        }
        for (size_t i = m_open.size(); i-- > 0;) {
            if (m_open[i].name == tag.name && !m_open[i].toEnd) {
                closeDownTo(i, at);
                return;
            }
        }
    }

    void translate(const Tag& tag, size_t at) {
        if (tag.name == "silence") {
            if (!tag.closing) {
                emit(
                    "<break time=\"" + std::to_string(std::max(0L, number(tag, "msec"))) + "ms\"/>",
                    at);
            }
        } else if (tag.name == "pitch" || tag.name == "rate" || tag.name == "volume") {
            element(tag, tag.closing ? std::string() : prosodyOpen(tag), "</prosody>", at, true);
        } else if (tag.name == "emph") {
            element(tag, "<emphasis>", "</emphasis>", at, false);
        } else if (tag.name == "spell") {
            element(tag, "<say-as interpret-as=\"characters\">", "</say-as>", at, false);
        }
        // Other tags (voice, bookmark, context, ...) have no counterpart here.
    }

    std::u16string_view m_markup;
    SsmlText m_out;
    std::vector<Open> m_open;
};

}  // namespace

SsmlText sapiToSsml(std::u16string_view markup) {
    return Translator(markup).run();
}

SsmlText plainText(std::u16string_view text) {
    SsmlText out;
    out.text = std::u16string(text);
    out.origin.resize(text.size() + 1);
    for (size_t i = 0; i <= text.size(); ++i) {
        out.origin[i] = static_cast<int32_t>(i);
    }
    return out;
}

}  // namespace pw
