// The XML document: loading, the parse-error message, writing and the index.
#include "xml/XMLParser.h"

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "core/InputFile.h"
#include "core/SafeFile.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "xml/CodePage.h"
#include "xml/ParallelLoad.h"
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
// not all be there yet (the end itself once the bytes have ended).
size_t characterBoundary(const char* buffer, size_t size, bool atEnd) {
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

enum class Fed { Ok, NotUtf8, ReadError, Cancelled };

// Feeds a UTF-8 file to a reader a window at a time, from a given byte on,
// so that the reader never needs the whole file in memory beside the tree it
// builds. Reads with pread: two feeders may share a descriptor.
class Utf8Feeder {
public:
    // cancel, when given, stops the feeding at the next window once set.
    Utf8Feeder(int fd, off_t from, bool marked, XmlReader<char>& reader,
               const std::atomic<bool>* cancel = nullptr)
        : m_fd(fd), m_offset(from), m_marked(marked), m_reader(reader), m_cancel(cancel) {}

    // Reads and feeds the bytes up to byte `to` of the file, or to its end;
    // a later call goes on from there. The reader takes a window ending at
    // `to` as one the source goes on after. Throws xml::ParserException.
    Fed feedTo(off_t to = std::numeric_limits<off_t>::max()) {
        for (;;) {
            if (m_cancel && m_cancel->load(std::memory_order_relaxed)) {
                return Fed::Cancelled;
            }
            if (m_size == m_capacity) {
                makeRoom();
            }
            const size_t wanted = static_cast<size_t>(
                std::min<off_t>(static_cast<off_t>(m_capacity - m_size), to - m_offset));
            if (wanted > 0) {
                const ssize_t n = ::pread(m_fd, m_buffer.get() + m_size, wanted, m_offset);
                if (n < 0 && errno == EINTR) {
                    continue;
                }
                if (n < 0) {
                    return Fed::ReadError;
                }
                m_atEnd = n == 0;
                m_size += static_cast<size_t>(n);
                m_offset += n;
            }
            // A range ends before a "<", where no character is cut.
            const bool rangeEnd = m_offset == to;
            const size_t end = std::max(
                characterBoundary(m_buffer.get(), m_size, m_atEnd || rangeEnd), m_validated);
            // Detection would take the file for UTF-8 only when it is well-formed
            // throughout; a marked one is UTF-8 anyway. A NUL ends the text.
            const int checked =
                classifyUtf8(std::string_view(m_buffer.get() + m_validated, end - m_validated));
            if (checked == kBinary || (checked < 0 && !m_marked)) {
                return Fed::NotUtf8;
            }
            m_validated = end;
            m_start +=
                m_reader.feed(std::string_view(m_buffer.get() + m_start, end - m_start), m_atEnd);
            if (m_atEnd || rangeEnd) {
                return Fed::Ok;
            }
        }
    }

    // Whether the reader took every byte fed so far.
    bool allTaken() const { return m_start == m_size; }

private:
    // Drops the bytes taken; the window doubles when that would free less
    // than half of it (a construct larger than the window).
    void makeRoom() {
        const size_t kept = m_size - m_start;
        const size_t capacity = m_capacity == 0         ? kFirstWindow
                                : kept > m_capacity / 2 ? m_capacity * 2
                                                        : m_capacity;
        if (capacity != m_capacity) {
            // Not value-initialised: every byte is read before it is used.
            std::unique_ptr<char[]> larger(new char[capacity]);
            if (kept > 0) {
                std::memcpy(larger.get(), m_buffer.get() + m_start, kept);
            }
            m_buffer = std::move(larger);
            m_capacity = capacity;
        } else {
            std::memmove(m_buffer.get(), m_buffer.get() + m_start, kept);
        }
        m_size = kept;
        m_validated -= m_start;
        m_start = 0;
    }

    int m_fd;
    off_t m_offset;  // of the next byte to read
    bool m_marked;
    XmlReader<char>& m_reader;
    const std::atomic<bool>* m_cancel;
    std::unique_ptr<char[]> m_buffer;
    size_t m_capacity = 0;
    size_t m_size = 0;       // bytes in the buffer
    size_t m_start = 0;      // the first byte the reader has not taken
    size_t m_validated = 0;  // bytes checked to be well-formed
    bool m_atEnd = false;
};

// Where a second reader can begin: the first "<" and name character after
// 53% of the file, or nothing for a file read in one go. The second part is
// the smaller one because its reader starts later, on a new thread, and
// builds in memory the other core touched last; so both end about together.
// The reader of the first part tells whether that "<" begins a tag.
std::optional<off_t> splitPoint(int fd, off_t from, off_t size) {
    const xml::ParallelLoad& policy = xml::parallelLoad();
    off_t search = from + (size - from) * 53 / 100;
    if (policy.searchFrom) {
        search = std::max(from + 1, static_cast<off_t>(*policy.searchFrom));
    } else if (static_cast<size_t>(size) < policy.minimumSize ||
               std::thread::hardware_concurrency() < 2) {
        return std::nullopt;
    }
    char bytes[4096];
    const ssize_t n = ::pread(fd, bytes, sizeof bytes, search);
    for (ssize_t i = 0; i + 1 < n; ++i) {
        const char next = bytes[i + 1];
        if (bytes[i] == '<' && ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') ||
                                next == '_' || next == ':')) {
            return search + i;
        }
    }
    return std::nullopt;
}

// The second part of a file, read on a thread of its own.
struct Tail {
    XmlReader<char> reader;
    std::optional<Fed> fed;  // none when the reader threw
    std::atomic<bool> cancelled = false;
    std::thread thread;

    // The second part is [from, size); the first is [start, from).
    void start(int fd, off_t start, off_t from, off_t size, bool marked) {
        reader.beginTail();
        const double firstShare = static_cast<double>(from - start) /
                                  static_cast<double>(std::max<off_t>(size - from, 1));
        thread = std::thread([this, fd, from, marked, firstShare] {
            try {
                fed = Utf8Feeder(fd, from, marked, reader, &cancelled).feedTo();
                if (fed == Fed::Ok && !cancelled) {
                    reader.makeRoomForJoin(firstShare);
                }
            } catch (...) {  // a parse error or no memory: the first part's reader goes on
                fed.reset();
            }
        });
    }
    // Not needed any more (the first part failed): stopped soon, not read to the end.
    ~Tail() {
        cancelled = true;
        if (thread.joinable()) {
            thread.join();
        }
    }
};

}  // namespace

namespace xml {

ParallelLoad& parallelLoad() {
    static ParallelLoad policy;
    return policy;
}

}  // namespace xml

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

    char head[3];
    ssize_t headSize;
    do {
        headSize = ::pread(fd, head, sizeof head, 0);
    } while (headSize < 0 && errno == EINTR);
    if (headSize < 0) {
        return false;
    }
    const std::string_view start(head, static_cast<size_t>(headSize));
    if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) {
        return std::nullopt;  // UTF-16
    }
    const bool marked = start == "\xEF\xBB\xBF";
    const off_t from = marked ? 3 : 0;
    struct stat status;
    const std::optional<off_t> split =
        fstat(fd, &status) == 0 ? splitPoint(fd, from, status.st_size) : std::nullopt;

    XmlReader<char> reader;
    // Declared after the reader and the descriptor: a tail still running
    // when this returns early is stopped and waited for before they go.
    std::optional<Tail> tail;
    if (split) {
        try {
            tail.emplace();
            tail->start(fd, from, *split, status.st_size, marked);
        } catch (const std::system_error&) {  // no thread: one reader reads it all
            tail.reset();
        }
    }
    try {
        Utf8Feeder feeder(fd, from, marked, reader);
        Fed fed = Fed::Ok;
        bool joined = false;
        if (tail) {
            fed = feeder.feedTo(*split);
            const bool joinable = fed == Fed::Ok && feeder.allTaken() && reader.endBeforeTail();
            tail->thread.join();
            if (fed == Fed::Ok && tail->fed && *tail->fed != Fed::Ok) {
                fed = *tail->fed;  // bytes one reader would have met as well
            } else if (joinable && tail->fed) {
                joined = reader.join(tail->reader);
                xml::parallelLoad().joins += joined;
            }
            tail.reset();
        }
        if (fed == Fed::Ok && !joined) {
            fed = feeder.feedTo();
        }
        if (fed == Fed::ReadError) {
            return false;
        }
        if (fed == Fed::NotUtf8) {
            return std::nullopt;
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
