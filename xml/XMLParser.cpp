// The XML document: a character-at-a-time reader, the writer and the index.
#include "xml/XMLParser.h"

#include <cstring>
#include <new>
#include <string>

#include "app/core/SafeFile.h"
#include "app/core/UiServices.h"
#include "app/core/Utf.h"
#include "xml/CodePage.h"
#include "xml/TextFile.h"

namespace pw {

namespace xml {

ParserException::ParserException(int line, std::u16string message)
    : m_line(line), m_message(std::move(message)) {
    m_what = "XML parse error " + std::to_string(line);
    if (!m_message.empty()) {
        m_what += ": " + toUtf8(m_message);
    }
}

}  // namespace xml

namespace {

using Index = std::map<std::u16string, std::vector<Element*>, std::less<>>;

bool isLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool isNameStart(char16_t c) {
    return isLetter(c) || c == u':' || c == u'_';
}
bool isNameChar(char16_t c) {
    return isLetter(c) || isDigit(c) || c == u':' || c == u'-' || c == u'_' || c == u'.';
}
bool isSpace(char16_t c) {
    return c < 33;
}

std::u16string ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

enum class State {
    Content,
    TagOpen,
    TagName,
    Markup,
    TagEnd,
    InTag,
    AttributeName,
    AfterEquals,
    AttributeValue,
};

enum TagKind { kProcessingInstruction, kMarkupDeclaration, kEmptyElementTag, kStartTag, kEndTag };

}  // namespace

// One run of the reader over a source text. It builds a new tree, index and
// declaration that the document takes over only when the whole run succeeds.
class XmlReader {
public:
    explicit XmlReader(std::u16string_view source) : m_source(source) {}

    // Throws xml::ParserException; position() is then the offending character.
    void run();
    size_t position() const { return m_pos; }

    std::unique_ptr<Element> root;
    Index index;
    std::optional<std::u16string> declaration;
    int encoding = 0;

private:
    [[noreturn]] void fail(int line, std::u16string message = {}) {
        throw xml::ParserException(line, std::move(message));
    }

    void contentCharacters(char16_t stop);
    void closeEntity();
    void addText();
    void endOfTag();
    void startElement(bool emptyTag);
    void endElement();
    void endDeclaration();
    // Skips to the end of a comment or CDATA section; false at the end of the text.
    bool skipPast(std::u16string_view terminator);
    void endCData(size_t contentStart, size_t terminator);

    std::u16string_view m_source;
    size_t m_pos = 0;
    State m_state = State::Content;
    TagKind m_tagKind = kStartTag;
    Element* m_current = nullptr;
    int m_depth = 0;  // of m_current

    std::u16string m_textBuffer;
    std::u16string m_tagName;
    std::u16string m_attributeName;
    char16_t m_quote = u'"';
    Element::Attributes m_attributes;

    // An open "&" reference: only its first few characters can matter.
    bool m_entityOpen = false;
    char16_t m_entity[6] = {};
    size_t m_entityLength = 0;

    // Adjacent CDATA sections are one text that held "]]>" when written.
    Element* m_lastCData = nullptr;
    size_t m_lastCDataEnd = 0;
    size_t m_tagStart = 0;
};

void XmlReader::run() {
    const size_t n = m_source.size();
    const char16_t* s = m_source.data();
    while (m_pos < n) {
        const char16_t c = s[m_pos];
        switch (m_state) {
            case State::Content:
                if (c == u'<') {
                    addText();
                    m_attributes.clear();
                    m_tagStart = m_pos;
                    m_state = State::TagOpen;
                    ++m_pos;
                } else {
                    contentCharacters(u'<');
                }
                break;
            case State::TagOpen:
                if (isNameStart(c)) {
                    m_textBuffer.push_back(c);
                    m_tagKind = kStartTag;
                    m_state = State::TagName;
                } else if (c == u'/') {
                    m_tagKind = kEndTag;
                    m_state = State::TagName;
                } else if (c == u'?') {
                    m_tagKind = kProcessingInstruction;
                    m_state = State::TagName;
                } else if (c == u'!') {
                    m_tagKind = kMarkupDeclaration;
                    m_state = State::Markup;
                } else {
                    fail(216);
                }
                ++m_pos;
                break;
            case State::TagName:
                if (isNameChar(c)) {
                    size_t end = m_pos + 1;
                    while (end < n && isNameChar(s[end])) {
                        ++end;
                    }
                    m_textBuffer.append(s + m_pos, end - m_pos);
                    m_pos = end;
                    break;
                }
                m_tagName.swap(m_textBuffer);
                m_textBuffer.clear();
                if (c == u'>') {
                    endOfTag();
                } else if (c == u'/') {
                    if (m_tagKind != kStartTag) {
                        fail(230);
                    }
                    m_tagKind = kEmptyElementTag;
                    m_state = State::TagEnd;
                } else if (isSpace(c)) {
                    m_state = State::InTag;
                } else {
                    fail(237);
                }
                ++m_pos;
                break;
            case State::Markup: {
                m_textBuffer.push_back(c);
                ++m_pos;
                const std::u16string_view buffer = m_textBuffer;
                if (buffer == u"--") {
                    m_textBuffer.clear();
                    m_state = State::Content;
                    if (!skipPast(u"-->")) {
                        return;
                    }
                } else if (buffer == u"[CDATA[") {
                    m_textBuffer.clear();
                    m_state = State::Content;
                    const size_t contentStart = m_pos;
                    if (!skipPast(u"]]>")) {
                        return;
                    }
                    endCData(contentStart, m_pos - 3);
                } else if (!std::u16string_view(u"--").starts_with(buffer) &&
                           !std::u16string_view(u"[CDATA[").starts_with(buffer)) {
                    // Any other declaration swallows the rest of the text unread.
                    return;
                }
                break;
            }
            case State::TagEnd:
                if (c != u'>') {
                    fail(297);
                }
                endOfTag();
                ++m_pos;
                break;
            case State::InTag:
                if (isNameStart(c)) {
                    m_textBuffer.push_back(c);
                    m_state = State::AttributeName;
                } else if (c == u'>') {
                    endOfTag();
                } else if (c == u'?') {
                    if (m_tagKind != kProcessingInstruction) {
                        fail(252);
                    }
                    m_state = State::TagEnd;
                } else if (c == u'/') {
                    if (m_tagKind != kStartTag) {
                        fail(256);
                    }
                    m_tagKind = kEmptyElementTag;
                    m_state = State::TagEnd;
                } else if (!isSpace(c)) {
                    fail(261);
                }
                ++m_pos;
                break;
            case State::AttributeName:
                if (isNameChar(c)) {
                    m_textBuffer.push_back(c);
                } else if (c == u'=') {
                    m_attributeName.swap(m_textBuffer);
                    m_textBuffer.clear();
                    m_state = State::AfterEquals;
                } else {
                    fail(272);
                }
                ++m_pos;
                break;
            case State::AfterEquals:
                if (c != u'"' && c != u'\'') {
                    fail(280);
                }
                m_quote = c;
                m_state = State::AttributeValue;
                ++m_pos;
                break;
            case State::AttributeValue:
                if (c == m_quote) {
                    m_attributes.insert_or_assign(m_attributeName, m_textBuffer);
                    m_textBuffer.clear();
                    m_state = State::InTag;
                    ++m_pos;
                } else {
                    contentCharacters(m_quote);
                }
                break;
        }
    }
}

// Takes content characters from m_pos up to (not including) stop, decoding the
// five predefined references.
void XmlReader::contentCharacters(char16_t stop) {
    const size_t n = m_source.size();
    const char16_t* s = m_source.data();
    while (m_pos < n && s[m_pos] != stop) {
        const char16_t c = s[m_pos];
        if (m_entityOpen) {
            if (c == u';') {
                closeEntity();
            } else if (m_entityLength < std::size(m_entity)) {
                m_entity[m_entityLength++] = c;
            } else {
                m_entityLength = std::size(m_entity) + 1;  // too long for any known name
            }
            ++m_pos;
        } else if (c == u'&') {
            m_entityOpen = true;
            m_entityLength = 0;
            ++m_pos;
        } else {
            size_t end = m_pos + 1;
            while (end < n && s[end] != stop && s[end] != u'&') {
                ++end;
            }
            m_textBuffer.append(s + m_pos, end - m_pos);
            m_pos = end;
        }
    }
}

void XmlReader::closeEntity() {
    m_entityOpen = false;
    if (m_entityLength > std::size(m_entity)) {
        return;
    }
    const std::u16string_view name(m_entity, m_entityLength);
    if (name == u"amp") {
        m_textBuffer.push_back(u'&');
    } else if (name == u"lt") {
        m_textBuffer.push_back(u'<');
    } else if (name == u"gt") {
        m_textBuffer.push_back(u'>');
    } else if (name == u"quot") {
        m_textBuffer.push_back(u'"');
    } else if (name == u"apos") {
        m_textBuffer.push_back(u'\'');
    }
    // Other references, numeric ones included, give nothing.
}

void XmlReader::addText() {
    if (m_textBuffer.empty()) {
        return;
    }
    if (m_current) {
        bool blank = true;
        for (char16_t c : m_textBuffer) {
            if (!isSpace(c)) {
                blank = false;
                break;
            }
        }
        if (blank) {
            m_current->setText(m_textBuffer);
        } else {
            auto node = std::make_unique<Element>();
            node->setText(m_textBuffer);
            m_current->linkLast(node.release());
        }
    }
    m_textBuffer.clear();
}

bool XmlReader::skipPast(std::u16string_view terminator) {
    const size_t found = m_source.find(terminator, m_pos);
    if (found == std::u16string_view::npos) {
        m_pos = m_source.size();
        return false;
    }
    m_pos = found + terminator.size();
    return true;
}

void XmlReader::endCData(size_t contentStart, size_t terminator) {
    const size_t closing = terminator + 2;  // the ">"
    if (terminator > contentStart && m_current) {
        const std::u16string_view content =
            m_source.substr(contentStart, terminator - contentStart);
        if (m_lastCData && m_lastCData == m_current->getLastChild() &&
            m_tagStart == m_lastCDataEnd + 1) {
            m_lastCData->text().append(content);
        } else {
            auto node = std::make_unique<Element>();
            node->setCData(std::u16string(content));
            m_lastCData = node.get();
            m_current->linkLast(node.release());
        }
    }
    m_lastCDataEnd = closing;
}

void XmlReader::endOfTag() {
    m_state = State::Content;
    switch (m_tagKind) {
        case kProcessingInstruction:
            if (m_tagName == u"xml") {
                endDeclaration();
            }
            break;
        case kStartTag:
            startElement(false);
            break;
        case kEmptyElementTag:
            startElement(true);
            endElement();
            break;
        case kEndTag:
            endElement();
            break;
        case kMarkupDeclaration:
            break;
    }
}

void XmlReader::startElement(bool emptyTag) {
    if (root) {
        if (m_depth + 1 >= XMLParser::kMaxDepth) {
            fail(520, u"Elements are nested more than " +
                          ascii(std::to_string(XMLParser::kMaxDepth)) + u" levels deep");
        }
        ++m_depth;
    }
    auto element = std::make_unique<Element>(emptyTag ? m_tagName : std::move(m_tagName),
                                             std::move(m_attributes));
    m_attributes.clear();
    Element* raw = element.get();
    if (!root) {
        root = std::move(element);
    } else {
        m_current->linkLast(element.release());
    }
    m_current = raw;
    auto slot = index.find(raw->getName());
    if (slot == index.end()) {
        slot = index.emplace(raw->getName(), std::vector<Element*>()).first;
    }
    slot->second.push_back(raw);
}

void XmlReader::endElement() {
    if (!m_current) {
        fail(511, u"要素");
    }
    if (m_current->getName() != m_tagName) {
        fail(516, u"要素が部分的に重ねられています　<A><B></A></B>\r\n" + m_tagName + u" > " +
                      m_current->getName());
    }
    m_current->setEmptyTag(m_tagKind == kEmptyElementTag);
    if (m_current->getParent()) {
        m_current = m_current->getParent();
        --m_depth;
    }
}

void XmlReader::endDeclaration() {
    const auto version = m_attributes.find(std::u16string_view(u"version"));
    if (version == m_attributes.end() || version->second.empty()) {
        fail(442, u"version attribute is empty");
    }
    const auto declared = m_attributes.find(std::u16string_view(u"encoding"));
    if (declared == m_attributes.end() || declared->second.empty()) {
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
    for (const auto& [name, value] : m_attributes) {
        if (name != u"version" && name != u"encoding") {
            text += u" " + name + u"=\"" + Element::escape(value) + u"\"";
        }
    }
    text += u"?>";
    declaration = std::move(text);
}

// ---- The document

XMLParser::XMLParser() = default;
XMLParser::~XMLParser() = default;

namespace {

// The encoding named by the XML declaration at the start of bytes, normalised
// as the reader does ("Shift_JIS" gives "SHIFTJIS"); empty when there is none.
std::string declaredEncoding(std::string_view bytes) {
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
        if (isLetter(c) || isDigit(c)) {
            normalized.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
        }
    }
    return normalized;
}

// Reads a document's text. A document declared Shift_JIS that detection finds
// to be in the system code page is CP932, whatever the locale's code page is.
bool readDocumentText(const std::string& path, std::u16string& text) {
    try {
        std::string bytes;
        if (!readFileBytes(path, bytes)) {
            return false;
        }
        if (decodeTextBytes(bytes, text) == kSystemCodePage &&
            declaredEncoding(bytes) == "SHIFTJIS") {
            text = decodeCodePage(bytes, kCharsetCp932);
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

bool XMLParser::load(const std::string& path) {
    std::u16string text;
    if (!readDocumentText(path, text) || text.empty()) {
        return false;
    }
    std::string oldPath = std::move(m_path);
    m_path = path;
    if (!parseString(text)) {
        m_path = std::move(oldPath);
        return false;
    }
    return true;
}

bool XMLParser::parseString(std::u16string_view text) {
    XmlReader reader(text);
    try {
        reader.run();
    } catch (const xml::ParserException& e) {
        // Row from 1 and column from 0 of the offending character, which is
        // shown with the start of its line.
        const size_t pos = reader.position();
        const size_t lineStart = text.rfind(u'\n', pos == 0 ? 0 : pos - 1);
        const size_t from =
            (lineStart == std::u16string_view::npos || pos == 0) ? 0 : lineStart + 1;
        XmlParseError error;
        error.line = e.line();
        error.message = e.message();
        error.row = 1;
        for (size_t i = 0; i < from; ++i) {
            error.row += text[i] == u'\n';
        }
        error.column = static_cast<int>(pos - from);
        const std::string rowCol = "\r\nRow:" + std::to_string(error.row) +
                                   " Col:" + std::to_string(error.column) + " in ";
        error.boxText = u"Exception in XMLParser.parse():\r\nXMLParser line:" +
                        ascii(std::to_string(error.line)) + u"\r\n" + error.message +
                        ascii(rowCol) + fromUtf8(m_path) + u"\r\n" +
                        std::u16string(text.substr(from, pos - from + 1));
        m_lastError = error;
        messageBox(error.boxText);
        return false;
    }
    if (!reader.root) {
        return false;
    }
    m_lastError.reset();
    m_root = std::move(reader.root);
    m_index = std::move(reader.index);
    if (reader.declaration) {
        m_declaration = std::move(*reader.declaration);
        m_encoding = reader.encoding;
    }
    return true;
}

std::u16string XMLParser::toXmlText() {
    std::u16string text = m_declaration.empty()
                              ? std::u16string(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>")
                              : m_declaration;
    text += u"\r\n";
    if (!m_declaration.empty()) {
        if (m_declaration.find(u"Shift_JIS") != std::u16string::npos) {
            m_encoding = kDeclaredShiftJis;
        } else if (m_declaration.find(u"UTF-8") != std::u16string::npos) {
            m_encoding = kDeclaredUtf8;
        }
    }
    if (m_root) {
        text += m_root->toXmlString();
    }
    return text;
}

bool XMLParser::saveAs(const std::string& path, std::string* error) {
    if (!m_root) {
        messageBox(
            u"XMLParser.saveAs() is called, but rootElement is null so couldn't save xml file.\n"
            u"It may be a kind of bag.");
        if (error) {
            *error = "There is no document to save.";
        }
        return false;
    }
    const std::u16string text = toXmlText();
    if (m_encoding == kDeclaredShiftJis) {
        // Shift_JIS is CP932 whatever the locale's own code page is.
        std::string bytes;
        if (!encodeCodePage(text, kCharsetCp932, bytes)) {
            if (error) {
                *error = "The document cannot be written in Shift_JIS: " + path;
            }
            return false;
        }
        return replaceFileContents(path, bytes, error);
    }
    const int code = m_encoding == kDeclaredUtf8    ? kUtf8WithBom
                     : m_encoding == kDeclaredEucJp ? kEucJp
                                                    : kUtf16;
    return writeTextFile(path, text, code, error);
}

void XMLParser::clear() {
    m_index.clear();
    m_root.reset();
}

void XMLParser::setRoot(std::unique_ptr<Element> root) {
    if (root.get() == m_root.get()) {
        root.release();
        return;
    }
    m_index.clear();
    m_root = std::move(root);
    for (Element* node = m_root.get(); node; node = node->nextInPreOrder(m_root.get())) {
        if (node->isElement()) {
            m_index[node->getName()].push_back(node);
        }
    }
}

std::unique_ptr<Element> XMLParser::releaseRoot() {
    m_index.clear();
    return std::move(m_root);
}

std::vector<Element*>& XMLParser::elements(std::u16string_view name) {
    auto it = m_index.find(name);
    if (it == m_index.end()) {
        it = m_index.emplace(std::u16string(name), std::vector<Element*>()).first;
    }
    return it->second;
}

}  // namespace pw
