// The XML document: loading, the parse-error message, writing and the index.
#include "xml/XMLParser.h"

#include <new>
#include <string>

#include "core/SafeFile.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "xml/CodePage.h"
#include "xml/TextFile.h"
#include "xml/XmlReader.h"

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

std::u16string ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace

// ---- The document

XMLParser::XMLParser() = default;
XMLParser::~XMLParser() = default;

bool XMLParser::load(const std::string& path) {
    std::string bytes;
    try {
        if (!readFileBytes(path, bytes)) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::string oldPath = std::move(m_path);
    m_path = path;
    if (!loadBytes(std::move(bytes))) {
        m_path = std::move(oldPath);
        return false;
    }
    return true;
}

bool XMLParser::loadBytes(std::string bytes) {
    try {
        // UTF-8, the usual case, is read straight from the bytes.
        const bool marked = bytes.starts_with("\xEF\xBB\xBF");
        const int detected = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ? kUtf16
                             : marked ? kUtf8WithBom
                                      : detectEncoding(bytes);
        if (detected == kUtf8 || detected == kUtf8WithBom) {
            std::string_view source(bytes);
            source.remove_prefix(marked ? 3 : 0);
            source = source.substr(0, source.find('\0'));  // the text ends at a NUL
            return !source.empty() && parse(source);
        }
        std::u16string text;
        // A document declared Shift_JIS is CP932 whatever the locale's code page is.
        if (decodeTextBytes(bytes, text, bytes.empty() ? kDetectEncoding : detected) ==
                kSystemCodePage &&
            declaredXmlEncoding(bytes) == "SHIFTJIS") {
            text = decodeCodePage(bytes, kCharsetCp932);
        }
        return !text.empty() && parse(std::u16string_view(text));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool XMLParser::parseString(std::u16string_view text) {
    return parse(text);
}

template <typename Char>
bool XMLParser::parse(std::basic_string_view<Char> source) {
    XmlReader<Char> reader(source);
    try {
        reader.run();
    } catch (const xml::ParserException& e) {
        XmlParseError error;
        error.line = e.line();
        error.message = e.message();
        std::u16string lineText;
        reader.describeError(error.row, error.column, lineText);
        const std::string rowCol = "\r\nRow:" + std::to_string(error.row) +
                                   " Col:" + std::to_string(error.column) + " in ";
        error.boxText = u"Exception in XMLParser.parse():\r\nXMLParser line:" +
                        ascii(std::to_string(error.line)) + u"\r\n" + error.message +
                        ascii(rowCol) + fromUtf8(m_path) + u"\r\n" + lineText;
        m_lastError = error;
        if (m_showsErrors) {
            messageBox(error.boxText);
        }
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
