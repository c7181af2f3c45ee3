// The record rules of learning files.
#include "content/SentenceRecord.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "audio/LyricsInfo.h"

namespace pw {
namespace {

constexpr char16_t kSentence[] = u"sentence";
constexpr char16_t kDescription[] = u"description";

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
// What a word loses at both ends: controls and the space.
bool isControlOrSpace(char16_t c) {
    return c <= 32;
}

std::u16string_view trimmed(std::u16string_view text, bool (*drop)(char16_t)) {
    while (!text.empty() && drop(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && drop(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

namespace records {
namespace {

// A field of digits, with blanks around it allowed; -1 for anything else.
long long timeField(std::u16string_view field) {
    field = trimmed(field, isBlank);
    if (field.empty() || field.size() > 9) {
        return -1;
    }
    long long value = 0;
    for (char16_t c : field) {
        if (c < u'0' || c > u'9') {
            return -1;
        }
        value = value * 10 + (c - u'0');
    }
    return value;
}

std::u16string ascii(const char* text) {
    return std::u16string(text, text + std::strlen(text));
}

}  // namespace

std::u16string renderCheck(int check) {
    if (check == 0) {
        return {};
    }
    std::u16string text;
    for (int bit = 0; bit < 2; ++bit) {
        text += (check & (1 << bit)) ? u"X" : u"  ";
    }
    return text;
}

int nextTrialNumber(int stored) {
    const int reduced = static_cast<int>(static_cast<unsigned>(stored) % 256);
    return std::min(reduced, 100) + 1;
}

double parseScore(std::u16string_view text) {
    text = trimmed(text, isBlank);
    std::string number;
    for (char16_t c : text) {
        if (c >= 0x80) {
            break;
        }
        number.push_back(static_cast<char>(c));
    }
    const char* first = number.data();
    if (!number.empty() && number[0] == '+') {
        ++first;
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(first, number.data() + number.size(), value, std::chars_format::general);
    if (error != std::errc() || end == first || !std::isfinite(value)) {
        return 0;
    }
    return value;
}

int parseTimeText(std::u16string_view text) {
    long long fields[3];
    for (int i = 0; i < 3; ++i) {
        const size_t colon = text.find(u':');
        if ((i < 2) == (colon == std::u16string_view::npos)) {
            return -1;  // fewer or more than three fields
        }
        fields[i] = timeField(text.substr(0, colon));
        if (fields[i] < 0) {
            return -1;
        }
        text.remove_prefix(i < 2 ? colon + 1 : text.size());
    }
    const long long ms = ((fields[0] * 60 + fields[1]) * 100 + fields[2]) * 10;
    return ms > INT_MAX ? -1 : static_cast<int>(ms);
}

std::u16string formatTimeText(uint32_t ms) {
    char text[40];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", ms / 60000, (ms / 1000) % 60,
                  (ms % 1000) / 10);
    return ascii(text);
}

std::u16string readDescription(const Element& root) {
    const Element* description = root.findFirst(kDescription);
    if (!description) {
        return {};
    }
    if (const Element* cdata = description->firstCDataChild()) {
        return cdata->getText();
    }
    return description->childrenToXmlString();
}

void writeDescription(Element& root, const std::u16string& text) {
    Element* description = root.findFirst(kDescription);
    if (!description) {
        description = root.insertFirstChild(std::make_unique<Element>(kDescription));
    }
    Element* cdata = description->firstCDataChild();
    if (!cdata) {
        cdata = description->appendCData({});
    }
    cdata->setCData(text);
}

std::unique_ptr<Element> sentenceListFromLyrics(const LyricsInfo& lyrics) {
    auto root = std::make_unique<Element>(u"SentenceList");
    for (size_t i = 0; i < lyrics.size(); ++i) {
        Element* record = root->appendElement(kSentenceRecord);
        record->appendElement(kSentence)->appendCData(lyrics.texts[i]);
        record->appendElement(u"translation")->appendCData({});
        record->appendElement(u"explanation")->appendCData({});
        record->setAttribute(kStartTime, formatTimeText(lyrics.valueAt(i)));
    }
    return root;
}

}  // namespace records

namespace {

const char16_t* elementName(TextKind kind) {
    switch (kind) {
        case TextKind::Sentence:
            return kSentence;
        case TextKind::Translation:
            return u"translation";
        default:
            return u"explanation";
    }
}

// The first CDATA child of element, added empty when it has none.
Element& cdataOf(Element& element) {
    Element* cdata = element.firstCDataChild();
    return cdata ? *cdata : *element.appendCData({});
}

}  // namespace

Element& SentenceRecord::elementFor(TextKind kind) {
    const char16_t* name = elementName(kind);
    Element* element = m_element.findFirst(name);
    return element ? *element : *m_element.appendElement(name);
}

std::u16string SentenceRecord::text(TextKind kind) {
    if (!m_wordMode || kind == TextKind::Explanation) {
        return textNode(kind).getText();
    }
    if (kind == TextKind::Translation) {
        if (const Element* value = m_element.findFirst(u"value")) {
            return value->cdataText();
        }
        const Element* own = m_element.firstCDataChild();
        return own ? own->getText() : u"?";
    }
    Element* key = m_element.findFirst(u"key");
    Element* keyText = key ? key->firstCDataChild() : nullptr;
    std::u16string word =
        key ? (keyText ? keyText->getText() : std::u16string()) : m_element.getAttribute(u"key");
    const std::u16string_view trimmedWord = trimmed(word, isControlOrSpace);
    if (trimmedWord.size() == word.size()) {
        return word;
    }
    std::u16string result(trimmedWord);
    if (keyText) {
        keyText->setCData(result);
    } else {
        m_element.setAttribute(u"key", result);
    }
    return result;
}

Element& SentenceRecord::keyNode() {
    if (Element* key = m_element.findFirst(u"key")) {
        return cdataOf(*key);
    }
    const std::u16string word = text(TextKind::Sentence);
    return *m_element.appendElement(u"key")->appendCData(word);
}

Element& SentenceRecord::valueNode() {
    if (Element* value = m_element.findFirst(u"value")) {
        return cdataOf(*value);
    }
    const Element* own = m_element.firstCDataChild();
    return *m_element.appendElement(u"value")->appendCData(own ? own->getText() : u"");
}

Element& SentenceRecord::textNode(TextKind kind) {
    if (m_wordMode && kind == TextKind::Sentence) {
        return keyNode();
    }
    if (m_wordMode && kind == TextKind::Translation) {
        return valueNode();
    }
    return cdataOf(elementFor(kind));
}

void SentenceRecord::setText(TextKind kind, std::u16string text) {
    textNode(kind).setCData(std::move(text));
}

void SentenceRecord::setCheck(int bit, bool on) {
    if (bit != 0 && bit != 1) {
        return;
    }
    const int mask = 1 << bit;
    const int value = check();
    m_element.setIntAttribute(records::kCheck, on ? value | mask : value & ~mask);
}

void SentenceRecord::incrementTrial() {
    m_element.setIntAttribute(
        records::kTrialNumber,
        records::nextTrialNumber(m_element.getIntAttribute(records::kTrialNumber)));
}

std::u16string SentenceRecord::scoreText(bool writing) const {
    return m_element.getAttribute(writing ? records::kWritingScore : records::kDictationScore);
}

void SentenceRecord::setScore(std::u16string text, bool writing) {
    m_element.setAttribute(writing ? records::kWritingScore : records::kDictationScore,
                           std::move(text));
}

std::u16string SentenceRecord::voice() const {
    std::u16string path = m_element.getAttribute(records::kVoice);
    if (path.empty()) {
        if (const Element* sentence = m_element.findFirst(u"sentence")) {
            path = sentence->getAttribute(records::kVoice);
        }
    }
    return path;
}

void SentenceRecord::removeObsoleteAttributes() {
    m_element.removeAttribute(u"dictationPoint");
    m_element.removeAttribute(u"writingPoint");
}

}  // namespace pw
