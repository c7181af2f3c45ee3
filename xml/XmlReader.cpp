// The XML reader: the state machine of XMLParser over UTF-16 or UTF-8 source.
#include "xml/XmlReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/Utf.h"
#include "xml/XMLParser.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pw {
namespace {

// Character classes of the reader; no character outside ASCII is in a name,
// so a UTF-8 byte of 0x80 or more classes as the character it belongs to.
enum : unsigned char { kNameStartClass = 1, kNameClass = 2 };
constexpr std::array<unsigned char, 128> kClasses = [] {
    std::array<unsigned char, 128> classes{};
    for (int c = 0; c < 128; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (letter || c == ':' || c == '_') {
            classes[c] |= kNameStartClass;
        }
        if (letter || digit || c == ':' || c == '-' || c == '_' || c == '.') {
            classes[c] |= kNameClass;
        }
    }
    return classes;
}();

// Code units as unsigned values: UTF-8 bytes of 0x80 and more stay above ASCII.
inline unsigned unit(char c) {
    return static_cast<unsigned char>(c);
}
inline unsigned unit(char16_t c) {
    return c;
}

template <typename Char>
bool isNameStart(Char c) {
    return unit(c) < 128 && (kClasses[unit(c)] & kNameStartClass);
}
template <typename Char>
bool isNameChar(Char c) {
    return unit(c) < 128 && (kClasses[unit(c)] & kNameClass);
}
template <typename Char>
bool isSpace(Char c) {
    return unit(c) < 33;
}
bool isLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The first position in [p, end) whose unit is not of the class, or end.
template <typename Char, typename Class>
const Char* runEnd(const Char* p, const Char* end, Class inClass) {
    while (p < end && inClass(*p)) {
        ++p;
    }
    return p;
}

// Where the run of name characters from p ends. Names of tags and attributes
// are most of what lies outside text, so UTF-8 is classed sixteen bytes at a
// time where sixteen are there.
const char16_t* nameEnd(const char16_t* p, const char16_t* end) {
    return runEnd(p, end, isNameChar<char16_t>);
}

const char* nameEnd(const char* p, const char* end) {
#ifdef __SSE2__
    // An unsigned byte b lies in [low, low + span] when min(b - low, span) is b - low.
    const auto within = [](__m128i bytes, char low, char span) {
        const __m128i offset = _mm_sub_epi8(bytes, _mm_set1_epi8(low));
        return _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(span)), offset);
    };
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i letter = within(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), 'a', 25);
        // "-", ".", the digits and ":" are one range, with "/" inside it.
        const __m128i punctuation = _mm_andnot_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('/')),
                                                     within(bytes, '-', ':' - '-'));
        const __m128i name = _mm_or_si128(_mm_or_si128(letter, punctuation),
                                          _mm_cmpeq_epi8(bytes, _mm_set1_epi8('_')));
        const unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(name)) & 0xFFFF;
        if (other != 0) {
            return p + __builtin_ctz(other);
        }
        p += 16;
    }
#endif
    return runEnd(p, end, isNameChar<char>);
}

// Where the run of white space from p ends. The runs between tags are a line
// break and a few tabs, whose lengths vary too much for a loop's exit to be
// foreseen: in UTF-8 they are classed sixteen bytes at once.
const char16_t* blankEnd(const char16_t* p, const char16_t* end) {
    return runEnd(p, end, isSpace<char16_t>);
}

const char* blankEnd(const char* p, const char* end) {
#ifdef __SSE2__
    if (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // A byte of 33 or more, unsigned, is not white space.
        const __m128i other = _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(33)), bytes);
        if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(other))) {
            return p + __builtin_ctz(mask);
        }
        p += 16;
    }
#endif
    return runEnd(p, end, isSpace<char>);
}

// White space (ASCII) as an element's text.
template <typename Run>
void assignBlank(std::u16string& text, Run run) {
    text.resize(run.size());
    std::copy(run.begin(), run.end(), text.begin());
}

std::u16string ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

// Appends source text to wide text.
void appendRun(std::u16string& out, std::u16string_view run) {
    out.append(run);
}
void appendRun(std::u16string& out, std::string_view run) {
    // Attribute values are mostly a few ASCII characters, which widen unit by
    // unit quicker than the decoder sets up.
    if (run.size() <= 8 && std::all_of(run.begin(), run.end(), [](char c) { return c >= 0; })) {
        for (const char c : run) {
            out.push_back(static_cast<char16_t>(c));
        }
        return;
    }
    appendUtf8(out, run);
}

template <typename Char>
std::u16string widen(std::basic_string_view<Char> run) {
    std::u16string out;
    appendRun(out, run);
    return out;
}

// Names and white space are ASCII, which widens unit by unit.
template <typename Char>
std::u16string widenAscii(std::basic_string_view<Char> run) {
    return std::u16string(run.begin(), run.end());
}

// Whether a name of the source equals name (names are ASCII).
template <typename Char>
bool sameName(const std::u16string& name, std::basic_string_view<Char> source) {
    if (name.size() != source.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != unit(source[i])) {
            return false;
        }
    }
    return true;
}

// Whether a name kept from the source equals a run of it. Names are compared
// at every tag and are short: in UTF-8, two loads from each end compare them
// without a call into the library.
bool sameRun(std::u16string_view kept, std::u16string_view run) {
    return kept == run;
}
inline bool sameRun(std::string_view kept, std::string_view run) {
    const size_t n = kept.size();
    if (n != run.size()) {
        return false;
    }
    const char* a = kept.data();
    const char* b = run.data();
    const auto same = [a, b]<typename Word>(Word, size_t at) {
        Word x;
        Word y;
        std::memcpy(&x, a + at, sizeof x);
        std::memcpy(&y, b + at, sizeof y);
        return x == y;
    };
    if (n > 16) {
        return std::memcmp(a, b, n) == 0;
    }
    if (n >= 8) {
        return same(uint64_t(), 0) && same(uint64_t(), n - 8);
    }
    if (n >= 4) {
        return same(uint32_t(), 0) && same(uint32_t(), n - 4);
    }
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

// The first position in [p, end) that holds a or b, or end. Most of a
// document is text and CDATA content, scanned sixteen bytes at a time.
const char16_t* findEither(const char16_t* p, const char16_t* end, char16_t a, char16_t b) {
#ifdef __SSE2__
    const __m128i va = _mm_set1_epi16(static_cast<short>(a));
    const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
    while (end - p >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, va), _mm_cmpeq_epi16(units, vb)));
        if (mask != 0) {
            return p + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
        }
        p += 8;
    }
#endif
    while (p < end && *p != a && *p != b) {
        ++p;
    }
    return p;
}

const char* findEither(const char* p, const char* end, char a, char b) {
#ifdef __SSE2__
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, va), _mm_cmpeq_epi8(bytes, vb)));
        if (mask != 0) {
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        }
        p += 16;
    }
#endif
    while (p < end && *p != a && *p != b) {
        ++p;
    }
    return p;
}

// The position of the first "xx>" (x twice, then ">") in [p, end), or end.
template <typename Char>
const Char* findCloser(const Char* p, const Char* end, Char x) {
    for (;;) {
        p = findEither(p, end, x, x);
        if (end - p < 3) {
            return end;
        }
        if (p[1] == x && p[2] == '>') {
            return p;
        }
        ++p;
    }
}

// Whether text (of the source) is exactly the ASCII literal.
template <typename Char>
bool equalsAscii(std::basic_string_view<Char> text, std::string_view literal) {
    if (text.size() != literal.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (unit(text[i]) != static_cast<unsigned char>(literal[i])) {
            return false;
        }
    }
    return true;
}

template <typename Char>
bool startsWithAscii(std::basic_string_view<Char> text, std::string_view literal) {
    if constexpr (sizeof(Char) == 1) {
        // A literal's bytes at once, as "[CDATA[" is checked for every section.
        return text.size() >= literal.size() &&
               std::memcmp(text.data(), literal.data(), literal.size()) == 0;
    }
    return text.size() >= literal.size() && equalsAscii(text.substr(0, literal.size()), literal);
}

}  // namespace

template <typename Char>
XmlReader<Char>::~XmlReader() {
    // Freed after the tree when the tree is the reader's own: the names live on in it.
    for (NameSlot& slot : m_names) {
        slot.name->release();
    }
    if (m_rareName.name) {
        m_rareName.name->release();
    }
}

template <typename Char>
void XmlReader<Char>::fail(int line, std::u16string message) {
    throw xml::ParserException(line, std::move(message));
}

template <typename Char>
void XmlReader<Char>::describeError(int& row, int& column, std::u16string& lineText) const {
    const size_t pos = m_pos < m_source.size() ? m_pos : m_source.size();
    size_t lineStart = pos;
    while (lineStart > 0 && m_source[lineStart - 1] != '\n') {
        --lineStart;
    }
    row = 1;
    for (size_t i = 0; i < lineStart; ++i) {
        row += m_source[i] == '\n';
    }
    // Counted in UTF-16 units; a character takes at most four UTF-8 bytes.
    const std::u16string before = widen(m_source.substr(lineStart, pos - lineStart));
    column = static_cast<int>(before.size());
    lineText = widen(m_source.substr(lineStart, pos - lineStart + 4));
    lineText.resize(std::min(lineText.size(), before.size() + 1));
}

template <typename Char>
void XmlReader<Char>::run() {
    feed(m_source, true);
}

template <typename Char>
size_t XmlReader<Char>::feed(View window, bool last) {
    m_source = window;
    m_pos = 0;
    m_last = last;
    const size_t n = m_source.size();
    const Char* s = m_source.data();
    bool needMore = false;
    while (m_pos < n && !m_stopped && !needMore) {
        const Char c = s[m_pos];
        switch (m_state) {
            case State::Content:
                if (c != '<') {
                    if (m_textBuffer.empty() && !m_entityOpen) {
                        // Text without references needs no buffer. Most text
                        // is the line break and tabs before a tag, told by
                        // its first few characters.
                        const Char* blank = blankEnd(s + m_pos, s + n);
                        if (blank < s + n && *blank == '<') {
                            keepBlankRun(View(s + m_pos, static_cast<size_t>(blank - s) - m_pos));
                            m_pos = static_cast<size_t>(blank - s);
                        } else if (const Char* run = findEither(blank, s + n, Char('<'), Char('&'));
                                   run != s + n && *run == '<') {
                            addText(View(s + m_pos, static_cast<size_t>(run - s) - m_pos));
                            m_pos = static_cast<size_t>(run - s);
                        } else {
                            contentCharacters('<');
                        }
                    } else {
                        contentCharacters('<');
                    }
                    if (m_pos == n) {
                        break;
                    }
                }
                // A "<": the text before it is complete. The tag is read at
                // once rather than on the loop's next turn, as most text is
                // only the line break before it. Text with references is rare,
                // so the call is made only for it.
                if (!m_textBuffer.empty()) {
                    addText();
                }
                m_attributes.clear();
                m_tagStart = m_base + m_pos;
                m_tagEntityOpen = m_entityOpen;
                if (m_entityOpen) {  // what a closed reference held never matters
                    std::copy(std::begin(m_entity), std::end(m_entity), m_tagEntity);
                    m_tagEntityLength = m_entityLength;
                }
                m_state = State::TagOpen;
                ++m_pos;
                [[fallthrough]];
            case State::TagOpen:
                // A tag is read in one go; a window that ends inside it reads
                // it again, whole, with the next one.
                needMore = !readTag();
                if (needMore || m_state != State::Markup) {
                    break;
                }
                [[fallthrough]];
            case State::Markup:
                needMore = !markup();
                break;
        }
    }
    storeBlank();  // the window it lies in goes
    if (m_stopped || last || m_state == State::Content) {
        const size_t taken = m_stopped ? n : m_pos;
        m_base += taken;
        return taken;
    }
    // A tag or section the window cuts: read again from its "<" next time,
    // as it stood then.
    const size_t taken = m_tagStart - m_base;
    m_state = State::Content;
    m_textBuffer.clear();
    m_attributes.clear();
    m_entityOpen = m_tagEntityOpen;
    std::copy(std::begin(m_tagEntity), std::end(m_tagEntity), m_entity);
    m_entityLength = m_tagEntityLength;
    m_base += taken;
    return taken;
}

// From the character after "<" to the tag's ">": its kind, name and
// attributes, then endOfTag. "<!" hands over to markup(). False when the
// window ends first (what was read of the tag is read again); errors are
// thrown with m_pos at the offending character.
template <typename Char>
bool XmlReader<Char>::readTag() {
    const Char* s = m_source.data();
    const size_t n = m_source.size();
    size_t pos = m_pos;
    const auto failAt = [this](size_t at, int line) {
        m_pos = at;
        fail(line);
    };
    // The ">" that ends the tag, at pos.
    const auto endAt = [&](size_t at) {
        if (at >= n) {
            return false;
        }
        if (s[at] != '>') {
            failAt(at, 297);
        }
        m_pos = at;
        endOfTag();
        m_pos = at + 1;
        return true;
    };
    if (pos >= n) {
        return false;
    }
    Char c = s[pos];
    if (isNameStart(c)) {
        m_tagKind = kStartTag;
        m_pos = pos + 1;
        m_tagName = takeName(pos);
    } else if (c == '/' || c == '?') {
        m_tagKind = c == '/' ? kEndTag : kProcessingInstruction;
        m_pos = pos + 1;
        m_tagName = takeName(m_pos);
    } else if (c == '!') {
        m_tagKind = kMarkupDeclaration;
        m_pos = pos + 1;
        m_state = State::Markup;
        return true;
    } else {
        failAt(pos, 216);
    }
    pos = m_pos;
    if (pos >= n) {
        return false;
    }
    c = s[pos];
    if (c == '>') {
        return endAt(pos);
    }
    if (c == '/') {
        if (m_tagKind != kStartTag) {
            failAt(pos, 230);
        }
        m_tagKind = kEmptyElementTag;
        return endAt(pos + 1);
    }
    if (!isSpace(c)) {
        failAt(pos, 237);
    }
    // Between attributes.
    for (++pos;; ++pos) {
        if (pos >= n) {
            return false;
        }
        c = s[pos];
        if (isSpace(c)) {
            continue;
        }
        if (isNameStart(c)) {
            m_pos = pos + 1;
            const View name = takeName(pos);
            pos = m_pos;
            if (pos >= n) {
                return false;
            }
            if (s[pos] != '=') {
                failAt(pos, 272);  // blanks before "=" are not allowed
            }
            if (++pos >= n) {
                return false;
            }
            if (s[pos] != '"' && s[pos] != '\'') {
                failAt(pos, 280);  // nor after it
            }
            m_quote = s[pos];
            m_pos = pos + 1;
            const size_t valueStart = m_textBuffer.size();
            // Values are mostly a few characters without references, taken
            // here in one run.
            const Char* close = findEither(s + m_pos, s + n, m_quote, Char('&'));
            if (!m_entityOpen && close != s + n && *close == m_quote) {
                appendRun(m_textBuffer, View(s + m_pos, static_cast<size_t>(close - s) - m_pos));
                m_pos = static_cast<size_t>(close - s);
            } else {
                contentCharacters(m_quote);
            }
            if (m_pos >= n) {
                return false;
            }
            m_attributes.push_back({name, valueStart, m_textBuffer.size() - valueStart});
            pos = m_pos;
            continue;
        }
        if (c == '>') {
            return endAt(pos);
        }
        if (c == '?') {
            if (m_tagKind != kProcessingInstruction) {
                failAt(pos, 252);
            }
            return endAt(pos + 1);
        }
        if (c == '/') {
            if (m_tagKind != kStartTag) {
                failAt(pos, 256);
            }
            m_tagKind = kEmptyElementTag;
            return endAt(pos + 1);
        }
        failAt(pos, 261);
    }
}

template <typename Char>
inline typename XmlReader<Char>::View XmlReader<Char>::takeName(size_t start) {
    const Char* s = m_source.data();
    m_pos = static_cast<size_t>(nameEnd(s + m_pos, s + m_source.size()) - s);
    return View(s + start, m_pos - start);
}

// Takes content characters from m_pos up to (not including) stop, decoding the
// five predefined references.
template <typename Char>
void XmlReader<Char>::contentCharacters(Char stop) {
    const Char* s = m_source.data();
    const Char* end = s + m_source.size();
    while (m_pos < m_source.size() && s[m_pos] != stop) {
        const Char c = s[m_pos];
        if (m_entityOpen) {
            if (c == ';') {
                closeEntity();
            } else if (m_entityLength < std::size(m_entity)) {
                m_entity[m_entityLength++] = c;
            } else {
                m_entityLength = std::size(m_entity) + 1;  // too long for any known name
            }
            ++m_pos;
        } else if (c == '&') {
            m_entityOpen = true;
            m_entityLength = 0;
            ++m_pos;
        } else {
            const size_t run = static_cast<size_t>(findEither(s + m_pos, end, stop, Char('&')) - s);
            appendRun(m_textBuffer, View(s + m_pos, run - m_pos));
            m_pos = run;
        }
    }
}

template <typename Char>
void XmlReader<Char>::closeEntity() {
    m_entityOpen = false;
    if (m_entityLength > std::size(m_entity)) {
        return;
    }
    const View name(m_entity, m_entityLength);
    if (equalsAscii(name, "amp")) {
        m_textBuffer.push_back(u'&');
    } else if (equalsAscii(name, "lt")) {
        m_textBuffer.push_back(u'<');
    } else if (equalsAscii(name, "gt")) {
        m_textBuffer.push_back(u'>');
    } else if (equalsAscii(name, "quot")) {
        m_textBuffer.push_back(u'"');
    } else if (equalsAscii(name, "apos")) {
        m_textBuffer.push_back(u'\'');
    }
    // Other references, numeric ones included, give nothing.
}

template <typename Char>
void XmlReader<Char>::addText() {
    if (!m_textBuffer.empty()) {
        addText(std::u16string_view(m_textBuffer));
        m_textBuffer.clear();
    }
}

template <typename Char>
template <typename Run>
void XmlReader<Char>::addText(Run text) {
    if (!m_current) {
        return;
    }
    bool blank = true;
    for (auto c : text) {
        if (!isSpace(c)) {
            blank = false;
            break;
        }
    }
    if (blank) {
        keepBlank(text);
    } else {
        auto node = std::make_unique<Element>();
        appendRun(node->m_text, text);
        link(node.release());
    }
}

template <typename Char>
template <typename Run>
void XmlReader<Char>::keepBlank(Run text) {
    if (!takesBlank()) {
        return;
    }
    if (m_blankOwner == m_current) {
        m_blankOwner = nullptr;  // this run replaces the one kept back
    }
    assignBlank(m_current->m_text, text);
}

template <typename Char>
inline void XmlReader<Char>::keepBlankRun(View text) {
    if (!takesBlank()) {
        return;
    }
    // Only an element's last run counts, and most elements have several (one
    // before each child): the run is stored when the next one is another
    // element's, or when the window ends.
    if (m_blankOwner != m_current) {
        storeBlank();
        m_blankOwner = m_current;
    }
    m_blank = text;
}

template <typename Char>
void XmlReader<Char>::storeBlank() {
    if (m_blankOwner) {
        assignBlank(m_blankOwner->m_text, m_blank);
        m_blankOwner = nullptr;
    }
}

template <typename Char>
inline bool XmlReader<Char>::takesBlank() {
    if (!m_current) {
        return false;
    }
    if (m_current == m_holder) {
        m_tailLevels.back().hasBlank = true;
    }
    return true;
}

// After "<!": "--" opens a comment and "[CDATA[" a CDATA section, each read
// up to its closing "-->" or "]]>"; any other declaration is not supported
// and swallows the rest of the text.
template <typename Char>
bool XmlReader<Char>::markup() {
    const View rest = m_source.substr(m_pos);
    const Char* end = m_source.data() + m_source.size();
    const auto couldBecome = [&rest](std::string_view opener) {
        return rest.size() < opener.size() && equalsAscii(rest, opener.substr(0, rest.size()));
    };
    if (!m_last && rest.size() < 7 && (couldBecome("--") || couldBecome("[CDATA["))) {
        return false;  // which section this is comes with the next window
    }
    const Char* close = end;
    // Told apart by the first character: the rest is compared only then.
    const Char first = rest.empty() ? Char() : rest[0];
    const bool comment = first == '-' && startsWithAscii(rest, "--");
    const bool cdata = first == '[' && startsWithAscii(rest, "[CDATA[");
    if (comment) {
        close = findCloser(rest.data() + 2, end, Char('-'));
    } else if (cdata) {
        close = findCloser(m_source.data() + m_pos + 7, end, Char(']'));
    }
    if (close == end && (comment || cdata) && !m_last) {
        return false;
    }
    m_state = State::Content;
    if (cdata && close != end) {
        endCData(m_pos + 7, static_cast<size_t>(close - m_source.data()));
    }
    if (close == end) {
        m_stopped = true;
        return true;
    }
    m_pos = static_cast<size_t>(close - m_source.data()) + 3;
    return true;
}

template <typename Char>
void XmlReader<Char>::endCData(size_t contentStart, size_t terminator) {
    const size_t closing = terminator + 2;  // the ">"
    if (terminator > contentStart && m_current) {
        const View content = m_source.substr(contentStart, terminator - contentStart);
        if (m_lastCData && m_lastCData == m_current->m_lastChild &&
            m_tagStart == m_lastCDataEnd + 1) {
            appendRun(m_lastCData->m_text, content);
        } else {
            auto node = std::make_unique<Element>();
            appendRun(node->m_text, content);
            node->m_isCData = true;
            m_lastCData = node.get();
            link(node.release());
        }
    }
    m_lastCDataEnd = m_base + closing;
}

template <typename Char>
std::vector<Attributes::value_type> XmlReader<Char>::attributePairs() const {
    std::vector<Attributes::value_type> pairs;
    pairs.reserve(m_attributes.size());
    for (const PendingAttribute& a : m_attributes) {
        pairs.emplace_back(widenAscii(a.name), m_textBuffer.substr(a.valueStart, a.valueSize));
    }
    return pairs;
}

template <typename Char>
void XmlReader<Char>::endOfTag() {
    m_state = State::Content;
    switch (m_tagKind) {
        case kProcessingInstruction:
            if (equalsAscii(m_tagName, "xml")) {
                endDeclaration();
            }
            break;
        case kStartTag:
            startElement();
            break;
        case kEmptyElementTag:
            startElement();
            endElement();
            break;
        case kEndTag:
            endElement();
            break;
        case kMarkupDeclaration:
            break;
    }
    m_textBuffer.clear();  // the attribute values
}

template <typename Char>
typename XmlReader<Char>::NameSlot& XmlReader<Char>::slotFor(View name) {
    // Names are never empty; length and ends pick a cache entry.
    NameSlot*& cached =
        m_nameCache[(name.size() * 7 + unit(name.front()) + unit(name.back())) % kNameCache];
    if (cached && sameRun(cached->source, name)) {
        return *cached;
    }
    for (NameSlot& slot : m_names) {
        if (sameRun(slot.source, name)) {
            cached = &slot;
            return slot;
        }
    }
    if (m_names.capacity() < kNames) {
        m_names.reserve(kNames);  // slots stay where the cache points
    }
    SharedName* shared = SharedName::make(widenAscii(name));
    auto it = index.find(shared->text());
    if (it == index.end()) {
        it = index.emplace(shared->text(), std::vector<Element*>()).first;
    }
    // A document with very many names keeps only the first ones at hand.
    NameSlot& slot = m_names.size() < kNames ? m_names.emplace_back() : m_rareName;
    if (slot.name) {
        slot.name->release();
    }
    slot = {shared, &it->second, std::basic_string<Char>(name)};
    return slot;
}

template <typename Char>
void XmlReader<Char>::startElement() {
    if (m_current) {
        // A second part's depths count from the element open at its start,
        // so no deeper one than this check would refuse can be hidden.
        if (m_depth + 1 >= XMLParser::kMaxDepth) {
            fail(520, u"Elements are nested more than " +
                          ascii(std::to_string(XMLParser::kMaxDepth)) + u" levels deep");
        }
        ++m_depth;
        if (m_holder) {
            int& deepest = m_tailLevels.back().deepest;
            deepest = std::max(deepest, m_depth);
        }
    }
    NameSlot& slot = slotFor(m_tagName);
    auto element = std::make_unique<Element>();
    element->m_name = slot.name;
    slot.name->acquireUnshared();
    if (!m_attributes.empty()) {
        // Names in order and unique, as the program writes them, need no sorting.
        bool ordered = true;
        for (size_t i = 1; i < m_attributes.size() && ordered; ++i) {
            const View before = m_attributes[i - 1].name;
            const View name = m_attributes[i].name;
            // Mostly told by the first letters, without a call.
            ordered = before[0] != name[0] ? unit(before[0]) < unit(name[0]) : before < name;
        }
        if (ordered) {
            Attributes attributes = Attributes::withRoom(m_attributes.size());
            for (const PendingAttribute& a : m_attributes) {
                attributes.emplaceLast(
                    std::forward_as_tuple(a.name.begin(), a.name.end()),
                    std::forward_as_tuple(m_textBuffer.data() + a.valueStart, a.valueSize));
            }
            element->m_attributes = std::move(attributes);
        } else {
            element->m_attributes = Attributes::fromPairs(attributePairs());
        }
    }
    Element* raw = element.get();
    if (!m_current) {
        root = std::move(element);
    } else {
        link(element.release());
    }
    m_current = raw;
    slot.elements->push_back(raw);
    m_open.push_back(&slot == &m_rareName ? nullptr : &slot.source);
}

template <typename Char>
void XmlReader<Char>::endElement() {
    if (!m_current) {
        fail(511, u"要素");
    }
    if (m_current == m_holder) {
        closeTailLevel();
        return;
    }
    const std::basic_string<Char>* open = m_open.empty() ? nullptr : m_open.back();
    if (open ? !sameRun(*open, m_tagName) : !sameName(m_current->getName(), m_tagName)) {
        fail(516, u"要素が部分的に重ねられています　<A><B></A></B>\r\n" + widen(m_tagName) +
                      u" > " + m_current->getName());
    }
    m_current->m_isEmptyTag = m_tagKind == kEmptyElementTag;
    if (!m_open.empty()) {
        m_open.pop_back();
    }
    if (m_current->m_parent) {
        m_current = m_current->m_parent;
        --m_depth;
    }
}

template <typename Char>
inline void XmlReader<Char>::link(Element* node) {
    m_current->linkLast(node);
    if (m_current == m_holder) {
        m_tailLevels.back().children.push_back(node);
    }
}

template <typename Char>
void XmlReader<Char>::beginTail() {
    m_tailLevels.emplace_back().holder = std::make_unique<Element>();
    m_holder = m_current = m_tailLevels.back().holder.get();
    m_depth = 0;
}

template <typename Char>
void XmlReader<Char>::closeTailLevel() {
    TailLevel& level = m_tailLevels.back();
    level.closed = true;
    level.closedBy.assign(m_tagName);
    beginTail();
}

template <typename Char>
bool XmlReader<Char>::endAtBoundary() {
    if (m_state != State::Content || m_entityOpen || m_stopped || !m_current) {
        return false;
    }
    addText();
    return true;
}

template <typename Char>
void XmlReader<Char>::makeRoomForJoin(double othersShare) {
    constexpr size_t kWorthIt = 4096;  // shorter lists are merged quickly anyway
    for (auto& [name, elements] : index) {
        const size_t size = elements.size();
        if (size < kWorthIt) {
            continue;
        }
        // A little more than the share, as records differ in length.
        const size_t wanted =
            size + static_cast<size_t>(static_cast<double>(size) * othersShare * 1.05) + 64;
        elements.reserve(wanted);  // exactly: resize alone may double
        // Touched now, so that its pages are not first written during the join.
        elements.resize(wanted);
        elements.resize(size);
    }
}

template <typename Char>
bool XmlReader<Char>::join(XmlReader& tail) {
    // Checked first, so that a refused join changes nothing.
    Element* at = m_current;
    int depth = m_depth;
    for (const TailLevel& level : tail.m_tailLevels) {
        if (depth + level.deepest >= XMLParser::kMaxDepth) {
            return false;
        }
        if (level.closed) {
            if (!sameName(at->getName(), View(level.closedBy))) {
                return false;
            }
            if (at->m_parent) {  // the root stays current once it is closed
                at = at->m_parent;
                --depth;
            }
        }
    }
    for (TailLevel& level : tail.m_tailLevels) {
        Element* holder = level.holder.get();
        if (Element* first = holder->m_firstChild) {
            // The chain is spliced in whole; only its ends and each node's
            // parent change.
            first->m_previousSibling = m_current->m_lastChild;
            (m_current->m_lastChild ? m_current->m_lastChild->m_nextSibling
                                    : m_current->m_firstChild) = first;
            m_current->m_lastChild = holder->m_lastChild;
            holder->m_firstChild = holder->m_lastChild = nullptr;
        }
        const std::vector<Element*>& children = level.children;
        for (size_t i = 0; i < children.size(); ++i) {
            if (i + 16 < children.size()) {
                __builtin_prefetch(children[i + 16], 1);
            }
            children[i]->m_parent = m_current;
        }
        if (level.hasBlank) {
            m_current->m_text = std::move(holder->m_text);
        }
        if (level.closed) {
            m_current->m_isEmptyTag = false;
            if (!m_open.empty()) {
                m_open.pop_back();
            }
            if (m_current->m_parent) {
                m_current = m_current->m_parent;
                --m_depth;
            }
        }
    }
    // Where tail stopped before the end, this reader reads on from there:
    // the elements tail began and left open become its own.
    if (tail.m_current != tail.m_holder) {
        m_current = tail.m_current;
        m_depth += tail.m_depth;
    }
    for (const std::basic_string<Char>* open : tail.m_open) {
        NameSlot* slot = open ? &slotFor(View(*open)) : nullptr;
        m_open.push_back(slot && slot != &m_rareName ? &slot->source : nullptr);
    }
    m_base += tail.m_base;
    m_lastCData = nullptr;  // what follows begins with a start tag
    for (auto& [name, elements] : tail.index) {
        std::vector<Element*>& mine = index.try_emplace(name).first->second;
        if (elements.capacity() - elements.size() >= mine.size()) {
            elements.insert(elements.begin(), mine.begin(), mine.end());
            mine.swap(elements);
        } else {
            mine.insert(mine.end(), elements.begin(), elements.end());
        }
    }
    tail.index.clear();
    if (tail.declaration) {
        declaration = std::move(tail.declaration);
        encoding = tail.encoding;
    }
    return true;
}

template <typename Char>
void XmlReader<Char>::endDeclaration() {
    const Attributes attributes = Attributes::fromPairs(attributePairs());
    const auto version = attributes.find(std::u16string_view(u"version"));
    if (version == attributes.end() || version->second.empty()) {
        fail(442, u"version attribute is empty");
    }
    const auto declared = attributes.find(std::u16string_view(u"encoding"));
    if (declared == attributes.end() || declared->second.empty()) {
        fail(444, u"encoding attribute is empty");
    }
    std::u16string normalized;
    for (char16_t c : declared->second) {
        if (isLetter(c) || isDigit(c)) {
            normalized.push_back(c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c);
        }
    }
    if (normalized == u"EUCJP") {
        encoding = XMLParser::kDeclaredEucJp;
    } else if (normalized == u"SHIFTJIS") {
        encoding = XMLParser::kDeclaredShiftJis;
    } else if (normalized == u"UTF8") {
        encoding = XMLParser::kDeclaredUtf8;
    } else if (normalized == u"UTF16") {
        encoding = XMLParser::kDeclaredUtf16;
    } else {
        fail(468, declared->second + u": This encoding is not supported");
    }
    // Values are escaped so that the rebuilt declaration is always well-formed.
    std::u16string text = u"<?xml version=\"" + Element::escape(version->second) +
                          u"\" encoding=\"" + Element::escape(declared->second) + u"\"";
    for (const auto& [name, value] : attributes) {
        if (name != u"version" && name != u"encoding") {
            text += u" " + name + u"=\"" + Element::escape(value) + u"\"";
        }
    }
    text += u"?>";
    declaration = std::move(text);
}

template class XmlReader<char>;
template class XmlReader<char16_t>;

}  // namespace pw
