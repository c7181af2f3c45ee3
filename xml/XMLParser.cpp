// The XML document: loading, the parse-error message, writing and the index.
#include "xml/XMLParser.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <string>

#include "core/InputFile.h"
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

namespace {

constexpr size_t kFirstWindow = 64 * 1024;

// Where a window of UTF-8 bytes may end: before a character whose bytes may
// not all be there yet (the end itself once the file has ended).
size_t characterBoundary(const std::string& buffer, size_t size, bool atEnd) {
    if (atEnd) {
        return size;
    }
    size_t end = size;
    while (end > 0 && size - end < 4 &&
           (static_cast<unsigned char>(buffer[end - 1]) & 0xC0) == 0x80) {
        --end;
    }
    if (end > 0 && static_cast<unsigned char>(buffer[end - 1]) >= 0xC0) {
        --end;  // a lead byte, whose sequence may go on
    }
    return end;
}

// Reads into buffer[size..]; false on a read error.
bool readMore(int fd, std::string& buffer, size_t& size, bool& atEnd) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data() + size, buffer.size() - size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        atEnd = n == 0;
        size += static_cast<size_t>(n);
        return true;
    }
}

}  // namespace

bool XMLParser::load(const std::string& path) {
    std::string oldPath = std::move(m_path);
    m_path = path;
    std::optional<bool> loaded;
    try {
        loaded = loadUtf8File(path);
        if (!loaded) {
            // Not UTF-8 throughout, or malformed: read whole, to detect its
            // encoding or to show the error where it is.
            std::string bytes;
            loaded = readFileBytes(path, bytes) && loadBytes(std::move(bytes));
        }
    } catch (const std::bad_alloc&) {
        loaded = false;
    }
    if (!*loaded) {
        m_path = std::move(oldPath);
    }
    return *loaded;
}

std::optional<bool> XMLParser::loadUtf8File(const std::string& path) {
    const int fd = openRegularFile(path);
    if (fd < 0) {
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};

    // A window of the file at a time: the reader never needs the whole file
    // in memory beside the tree it builds.
    std::string buffer(kFirstWindow, '\0');
    size_t size = 0;       // bytes in buffer
    size_t start = 0;      // the first byte the reader has not taken
    size_t validated = 0;  // bytes checked to be well-formed
    bool atEnd = false;
    bool marked = false;
    bool first = true;
    XmlReader<char> reader;
    try {
        for (;;) {
            if (size == buffer.size()) {
                if (start > 0) {
                    buffer.erase(0, start);
                    size -= start;
                    validated -= start;
                    start = 0;
                    buffer.resize(buffer.capacity());
                } else {
                    buffer.resize(buffer.size() * 2);  // a construct larger than the window
                }
            }
            if (!readMore(fd, buffer, size, atEnd)) {
                return false;
            }
            if (first) {
                if (size < 3 && !atEnd) {
                    continue;
                }
                const std::string_view head(buffer.data(), std::min<size_t>(size, 3));
                if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
                    return std::nullopt;  // UTF-16
                }
                marked = head == "\xEF\xBB\xBF";
                start = validated = marked ? 3 : 0;
                first = false;
            }
            const size_t end = std::max(characterBoundary(buffer, size, atEnd), validated);
            // Detection would take the file for UTF-8 only when it is well-formed
            // throughout; a marked one is UTF-8 anyway. A NUL ends the text.
            const int checked =
                classifyUtf8(std::string_view(buffer).substr(validated, end - validated));
            if (checked == kBinary || (checked < 0 && !marked)) {
                return std::nullopt;
            }
            validated = end;
            start += reader.feed(std::string_view(buffer).substr(start, end - start), atEnd);
            if (atEnd) {
                break;
            }
        }
    } catch (const xml::ParserException&) {
        return std::nullopt;
    }
    if (!reader.root) {
        return false;
    }
    adopt(reader);
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
    adopt(reader);
    return true;
}

template <typename Char>
void XMLParser::adopt(XmlReader<Char>& reader) {
    m_lastError.reset();
    m_root = std::move(reader.root);
    m_index = std::move(reader.index);
    if (reader.declaration) {
        m_declaration = std::move(*reader.declaration);
        m_encoding = reader.encoding;
    }
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

std::vector<Element*>& XMLParser::elements(std::u16string_view name) {
    auto it = m_index.find(name);
    if (it == m_index.end()) {
        it = m_index.emplace(std::u16string(name), std::vector<Element*>()).first;
    }
    return it->second;
}

}  // namespace pw
