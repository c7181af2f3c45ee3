// The .ini store.
#include "core/IniFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "core/SafeFile.h"
#include "core/Utf.h"

namespace pw {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
        s.remove_suffix(1);
    }
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    return asciiLower(a) == asciiLower(b);
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The section name of a "[name]" line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') {
        return std::nullopt;
    }
    const auto close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(line.substr(1, close - 1));
}

// Splits a "key=value" line; comments and lines without "=" have no key.
bool keyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    const auto t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#') {
        return false;
    }
    const auto eq = t.find('=');
    if (eq == std::string_view::npos) {
        return false;
    }
    key = trim(t.substr(0, eq));
    value = trim(t.substr(eq + 1));
    return true;
}

// Sets key in section to value among lines: in place when the key is there,
// else after the section's last key, else in a new section at the end.
void setKey(std::vector<std::string>& lines, const std::string& wantSection,
            const std::string& wantKey, const std::string& value) {
    const std::string newLine = wantKey + "=" + value;
    bool inSection = false;
    bool sectionFound = false;
    size_t insertAt = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = sectionName(lines[i])) {
            if (inSection) {
                break;
            }
            inSection = sameName(*name, wantSection);
            if (inSection) {
                sectionFound = true;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        std::string_view k, v;
        if (keyValue(lines[i], k, v)) {
            if (sameName(k, wantKey)) {
                lines[i] = newLine;
                return;
            }
            insertAt = i + 1;
        }
    }
    if (sectionFound) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
    } else {
        lines.push_back("[" + wantSection + "]");
        lines.push_back(newLine);
    }
}

// An exclusive advisory lock on a lock file, held while the object lives.
// Without a lock file (a folder that cannot be written) nothing is locked,
// and the write that follows fails on its own.
class FileLock {
public:
    explicit FileLock(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
        if (m_fd >= 0) {
            while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FileLock() {
        if (m_fd >= 0) {
            close(m_fd);  // releases the lock
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd;
};

}  // namespace

int IniFile::parseInt(std::string_view text) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > 0x80000000LL) {
            value = 0x80000000LL;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > 0x7FFFFFFF) {
        value = 0x7FFFFFFF;
    }
    return static_cast<int>(value);
}

std::u16string IniFile::readString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view defaultValue) const {
    std::string text;
    if (m_path.empty() || !readFileBytes(m_path, text)) {
        return std::u16string(defaultValue);
    }
    const std::string wantSection = toUtf8(section);
    const std::string wantKey = toUtf8(key);
    bool inSection = false;
    for (const auto& line : splitLines(text)) {
        if (auto name = sectionName(line)) {
            inSection = sameName(*name, wantSection);
            continue;
        }
        std::string_view k, v;
        if (inSection && keyValue(line, k, v) && sameName(k, wantKey)) {
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
                v = v.substr(1, v.size() - 2);
            }
            return fromUtf8(v);
        }
    }
    return std::u16string(defaultValue);
}

int IniFile::readInt(std::u16string_view section, std::u16string_view key, int defaultValue) const {
    static const std::u16string missing = u"\x1\x2missing";
    const auto value = readString(section, key, missing);
    if (value == missing) {
        return defaultValue;
    }
    return parseInt(toUtf8(value));
}

bool IniFile::writeString(std::u16string_view section, std::u16string_view key,
                          std::u16string_view value) {
    return writeEntries({{std::u16string(section), std::u16string(key), std::u16string(value)}});
}

bool IniFile::writeEntries(const std::vector<Entry>& entries) {
    if (m_path.empty()) {
        return false;
    }
    if (entries.empty()) {
        return true;
    }
    // Held from the read to the replace, so that no other instance's write
    // falls between them.
    const FileLock lock(m_path + ".lock");
    std::string text;
    readFileBytes(m_path, text);
    auto lines = splitLines(text);
    for (const Entry& entry : entries) {
        setKey(lines, toUtf8(entry.section), toUtf8(entry.key), toUtf8(entry.value));
    }
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += '\n';
    }
    return replaceFileContents(m_path, out);
}

bool IniFile::writeInt(std::u16string_view section, std::u16string_view key, int value) {
    return writeString(section, key, fromUtf8(std::to_string(value)));
}

}  // namespace pw
