// The XML document: loading, the parse-error message, writing and the index.
#include "xml/XMLParser.h"

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
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

constexpr off_t kFileEnd = std::numeric_limits<off_t>::max();

// How far a reader of one part may read, which the other reader lowers when
// it takes over the rest beyond a point; shared under a lock.
struct Reach {
    off_t end;       // kFileEnd for the file's end
    off_t reserved;  // the end of the bytes taken to read so far
};

// Feeds a UTF-8 file to a reader a window at a time, from a given byte on,
// so that the reader never needs the whole file in memory beside the tree it
// builds. Reads with pread: two feeders may share a descriptor.
class Utf8Feeder {
public:
    // cancel, when given, stops the feeding at the next window once set;
    // reach, when given, is consulted under lock before each window.
    Utf8Feeder(int fd, off_t from, bool marked, XmlReader<char>& reader,
               const std::atomic<bool>* cancel = nullptr, std::mutex* lock = nullptr,
               Reach* reach = nullptr)
        : m_fd(fd),
          m_offset(from),
          m_marked(marked),
          m_reader(reader),
          m_cancel(cancel),
          m_lock(lock),
          m_reach(reach) {}

    // Reads and feeds the bytes up to byte `to` of the file (or the reach's
    // end, when nearer), or to its end; a later call goes on from there. The
    // reader takes a window ending at `to` as one the source goes on after.
    // Throws xml::ParserException.
    Fed feedTo(off_t to = kFileEnd) {
        for (;;) {
            if (m_cancel && m_cancel->load(std::memory_order_relaxed)) {
                return Fed::Cancelled;
            }
            if (m_size == m_capacity) {
                makeRoom();
            }
            const off_t room = static_cast<off_t>(m_capacity - m_size);
            if (m_reach) {
                std::lock_guard guard(*m_lock);
                to = std::min(to, m_reach->end);
                m_reach->reserved = m_offset + std::min(room, to - m_offset);
            }
            const size_t wanted = static_cast<size_t>(std::min(room, to - m_offset));
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
    // Whether the file's end was fed.
    bool atEnd() const { return m_atEnd; }
    // The first byte the reader has not taken.
    off_t position() const { return m_offset - static_cast<off_t>(m_size - m_start); }
    // Goes on from byte at, where the reader stands after a join.
    void restartAt(off_t at) {
        m_offset = at;
        m_size = m_start = m_validated = 0;
        m_atEnd = false;
    }
    // Reads on alone, up to the file's end.
    void unshare() { m_reach = nullptr; }

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
    std::mutex* m_lock;
    Reach* m_reach;
    std::unique_ptr<char[]> m_buffer;
    size_t m_capacity = 0;
    size_t m_size = 0;       // bytes in the buffer
    size_t m_start = 0;      // the first byte the reader has not taken
    size_t m_validated = 0;  // bytes checked to be well-formed
    bool m_atEnd = false;
};

// The first "<" and name character in [from, before), within the next 4 KB:
// where a reader may begin without knowing what came before. Where a start
// tag is likeliest, at the start of a line's text (learning files are written
// one element a line), is preferred when asked: a "<" in the middle of a line
// may lie in a CDATA section (the markup of an explanation), where no reader
// can hand over.
std::optional<off_t> startTagFrom(int fd, off_t from, off_t before, bool preferLineStart) {
    char bytes[4096];
    const ssize_t n = ::pread(fd, bytes, sizeof bytes, from);
    std::optional<off_t> first;
    bool lineStart = false;  // only blanks since a line break
    for (ssize_t i = 0; i + 1 < n && from + i < before; ++i) {
        const char c = bytes[i];
        const char next = bytes[i + 1];
        if (c == '<' && ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') ||
                         next == '_' || next == ':')) {
            if (!preferLineStart || lineStart) {
                return from + i;
            }
            if (!first) {
                first = from + i;
            }
        }
        lineStart = c == '\n' || ((c == ' ' || c == '\t' || c == '\r') && lineStart);
    }
    return first;
}

// Where a second reader can begin: the first start tag after 53% of the
// file, or nothing for a file read in one go. The second part is the smaller
// one because its reader starts later, on a new thread, and builds in memory
// the other core touched last; so both end about together. The reader of the
// first part tells whether that "<" begins a tag.
std::optional<off_t> splitPoint(int fd, off_t from, off_t size) {
    const xml::ParallelLoad& policy = xml::parallelLoad();
    off_t search = from + (size - from) * 53 / 100;
    if (policy.searchFrom) {
        search = std::max(from + 1, static_cast<off_t>(*policy.searchFrom));
    } else if (static_cast<size_t>(size) < policy.minimumSize ||
               std::thread::hardware_concurrency() < 2) {
        return std::nullopt;
    }
    return startTagFrom(fd, search, kFileEnd, !policy.searchFrom);
}

using Clock = std::chrono::steady_clock;

// What one reader read of the file: [begin, end).
struct Part {
    XmlReader<char> reader;
    off_t begin = 0;
    off_t end = kFileEnd;
    std::optional<Fed> fed;  // none when the reader threw
    bool usable = false;     // read to its end, where the next part joins
};

// A file read in parts: the first on the calling thread, the second on a
// thread of its own, and at most one more, which the reader that finished
// first takes over from the far end of what the other had still to read.
struct Parts {
    int fd;
    bool marked;
    off_t from;   // the first part's start
    off_t split;  // the second part's
    off_t size;
    Part second;
    std::optional<Part> takenOver;
    std::atomic<bool> cancelled = false;

    std::mutex lock;
    Reach reach[2];
    Clock::time_point started[2];
    bool done[2] = {};  // each reader with its own part
    bool taken = false;
    // For tests that choose which reader takes over: the other waits until
    // that one is done.
    std::condition_variable turn;

    std::thread thread;

    Parts(int fd_, bool marked_, off_t from_, off_t split_, off_t size_)
        : fd(fd_), marked(marked_), from(from_), split(split_), size(size_) {
        second.begin = split;
        reach[0] = {split, from};
        reach[1] = {kFileEnd, split};
        second.reader.beginTail();
        thread = std::thread([this] { readSecond(); });
    }
    // Waits for the other readers: soon, when the first part failed and
    // what they read is not needed.
    ~Parts() {
        cancelled = true;
        {
            std::lock_guard guard(lock);
            done[0] = done[1] = true;
        }
        turn.notify_all();
        if (thread.joinable()) {
            thread.join();
        }
    }

    // Reader me (0 for the first part's, 1 for the second's) begins.
    void begin(int me) {
        std::unique_lock guard(lock);
        const std::optional<int> by = xml::parallelLoad().takeOverBy;
        if (by && *by != me) {
            turn.wait(guard, [&] { return done[*by]; });
        }
        started[me] = Clock::now();
    }

    // Reader me has read its part; when it may, it takes over the far share
    // of what the other has still to read, once per load, when that is
    // worth a reader of its own. The share follows how fast each has read.
    std::optional<std::pair<off_t, off_t>> takeOver(int me, bool may) {
        const xml::ParallelLoad& policy = xml::parallelLoad();
        const int other = 1 - me;
        std::optional<std::pair<off_t, off_t>> range;
        {
            std::lock_guard guard(lock);
            done[me] = true;
            const off_t end = std::min(reach[other].end, size);
            const off_t rest = end - reach[other].reserved;
            if (may && !taken && !done[other] && !cancelled && rest > 0 &&
                static_cast<size_t>(rest) >= policy.minimumTakeOver) {
                off_t search;
                if (policy.takeOverFrom) {
                    search =
                        std::max(reach[other].reserved, static_cast<off_t>(*policy.takeOverFrom));
                } else {
                    const Clock::time_point now = Clock::now();
                    const auto rate = [&](int who, off_t bytes) {
                        const double seconds =
                            std::chrono::duration<double>(now - started[who]).count();
                        return seconds > 0 ? static_cast<double>(bytes) / seconds : 0.0;
                    };
                    const off_t mine = me == 0 ? split - from : size - split;
                    const double mineRate = rate(me, mine);
                    const double otherRate =
                        rate(other, reach[other].reserved - (other == 0 ? from : split));
                    const double share =
                        std::clamp(mineRate / std::max(mineRate + otherRate, 1.0), 0.1, 0.9);
                    search = end - static_cast<off_t>(static_cast<double>(rest) * share);
                }
                if (const std::optional<off_t> at =
                        startTagFrom(fd, search, end, !policy.takeOverFrom)) {
                    range.emplace(*at, reach[other].end);
                    reach[other].end = *at;
                    taken = true;
                }
            }
        }
        turn.notify_all();
        return range;
    }

    // Reads the part taken over, on the thread of the reader that took it.
    void readTakenOver(std::pair<off_t, off_t> range) {
        try {
            Part& part = takenOver.emplace();
            part.begin = range.first;
            part.end = range.second;
            part.reader.beginTail();
            Utf8Feeder feeder(fd, part.begin, marked, part.reader, &cancelled);
            part.fed = feeder.feedTo(part.end);
            part.usable =
                part.fed == Fed::Ok &&
                (part.end == kFileEnd || (feeder.allTaken() && part.reader.endAtBoundary()));
        } catch (...) {  // a parse error or no memory: the part is read again
            if (takenOver) {
                takenOver->fed.reset();
                takenOver->usable = false;
            }
        }
    }

    void readSecond() {
        begin(1);
        try {
            Utf8Feeder feeder(fd, split, marked, second.reader, &cancelled, &lock, &reach[1]);
            second.fed = feeder.feedTo();
            if (second.fed == Fed::Ok && !feeder.atEnd()) {
                // Stopped where the other reader took over: it may not stand
                // where it can hand over, and then reads to the end after all.
                if (feeder.allTaken() && second.reader.endAtBoundary()) {
                    second.end = feeder.position();
                } else {
                    {
                        std::lock_guard guard(lock);
                        reach[1].end = kFileEnd;
                    }
                    second.fed = feeder.feedTo();
                }
            }
            second.usable = second.fed == Fed::Ok;
        } catch (...) {  // a parse error or no memory: the first part's reader goes on
            second.fed.reset();
        }
        // Before taking over: after that part, the join would wait for this.
        if (second.usable && !cancelled) {
            const off_t mine = std::min(second.end, size) - split;
            try {
                second.reader.makeRoomForJoin(static_cast<double>(size - from - mine) /
                                              static_cast<double>(std::max<off_t>(mine, 1)));
            } catch (const std::bad_alloc&) {  // the join grows the lists instead
            }
        }
        if (const auto range = takeOver(1, second.usable && second.end == kFileEnd)) {
            readTakenOver(*range);
        }
    }
};

// Reads the first part on this thread, then joins the parts read by the
// other readers where one reader would have read them the same. finished
// tells whether that reached the file's end; otherwise the reader reads on
// from where the feeder stands. Returns how the feeding ended.
Fed readFirstPart(Parts& parts, XmlReader<char>& reader, Utf8Feeder& feeder, bool& finished) {
    parts.begin(0);
    Fed fed = feeder.feedTo(parts.split);
    bool atBoundary = fed == Fed::Ok && feeder.allTaken() && reader.endAtBoundary();
    if (fed == Fed::Ok && !atBoundary && feeder.position() < parts.split) {
        // Stopped where the second part's reader took over, but not where
        // it can hand over: reads its whole part after all.
        {
            std::lock_guard guard(parts.lock);
            parts.reach[0].end = parts.split;
        }
        fed = feeder.feedTo(parts.split);
        atBoundary = fed == Fed::Ok && feeder.allTaken() && reader.endAtBoundary();
    }
    feeder.unshare();
    if (!atBoundary) {
        parts.cancelled = true;  // nothing the others read can be joined
    }
    const off_t stopped = feeder.position();
    if (const auto range = parts.takeOver(0, atBoundary && stopped == parts.split)) {
        parts.readTakenOver(*range);
    }
    parts.thread.join();

    Part* later[] = {&parts.second, parts.takenOver ? &*parts.takenOver : nullptr};
    if (later[1] && later[1]->begin < later[0]->begin) {
        std::swap(later[0], later[1]);
    }
    off_t at = stopped;
    bool joined = false;
    bool tookOver = false;
    for (Part* part : later) {
        if (!atBoundary || !part || part->begin < at) {
            continue;  // none, or read by the part before
        }
        if (part->begin > at) {
            break;
        }
        if (part->fed && *part->fed != Fed::Ok) {
            fed = *part->fed;  // bytes one reader would have met as well
            break;
        }
        if (!part->usable || !reader.join(part->reader)) {
            break;
        }
        at = part->end;
        joined = true;
        tookOver = tookOver || part != &parts.second;
    }
    xml::parallelLoad().joins += joined;
    xml::parallelLoad().takeOvers += tookOver;
    finished = at == kFileEnd;
    if (!finished && at != stopped) {
        feeder.restartAt(at);
    }
    return fed;
}

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
    // Declared after the reader and the descriptor: parts still being read
    // when this returns early are stopped and waited for before they go.
    std::optional<Parts> parts;
    if (split) {
        try {
            parts.emplace(fd, marked, from, *split, status.st_size);
        } catch (const std::system_error&) {  // no thread: one reader reads it all
            parts.reset();
        }
    }
    try {
        Utf8Feeder feeder(fd, from, marked, reader, nullptr, parts ? &parts->lock : nullptr,
                          parts ? &parts->reach[0] : nullptr);
        Fed fed = Fed::Ok;
        bool finished = false;
        if (parts) {
            fed = readFirstPart(*parts, reader, feeder, finished);
            parts.reset();
        }
        if (fed == Fed::Ok && !finished) {
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
