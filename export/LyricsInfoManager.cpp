// The lyrics writers: LRC files and SYLT tags.
#include "export/LyricsInfoManager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "audio/Id3TagReader.h"
#include "audio/SyltTagReader.h"
#include "core/SafeFile.h"
#include "core/Utf.h"
#include "export/FileCopy.h"
#include "xml/CodePage.h"
#include "xml/TextFile.h"

namespace pw {
namespace {

constexpr const char* kInsertFunction = "LyricsInfoManager::insertSubtitleToMP3";
constexpr const char* kLrcFunction = "LyricsInfoManager::createLrcFile";
constexpr const char* kSyltFunction = "LyricsInfoManager::setSyltTag";

// The largest tag size the four 7-bit groups of the header can hold.
constexpr uint64_t kMaxTagSize = 0x0FFFFFFF;

void putBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void putSyncsafe(std::string& out, uint32_t value) {
    for (int shift = 21; shift >= 0; shift -= 7) {
        out.push_back(static_cast<char>((value >> shift) & 0x7F));
    }
}

// The encoding code of an LRC file. "Binary" has no text form, so such files
// are written as UTF-8.
int lrcEncoding(const std::u16string& encodingName) {
    const int code = encodingFromName(encodingName);
    return code == kBinary ? kUtf8 : code;
}

// Encodes text for an LRC file of encodingName, without a byte-order mark.
// "Shift_JIS" means CP932 whatever the locale.
bool encodeLrc(std::u16string_view text, const std::u16string& encodingName, std::string& out) {
    if (encodingName == u"Shift_JIS") {
        return encodeCodePage(text, kCharsetCp932, out);
    }
    const int code = lrcEncoding(encodingName);
    if (!encodeTextBytes(text, code, out)) {
        return false;
    }
    std::string mark;
    encodeTextBytes(u"", code, mark);
    out.erase(0, mark.size());
    return true;
}

// Characters the encoding lacks become "?" rather than costing the line.
std::string encodeLrcLine(std::u16string_view text, const std::u16string& encodingName) {
    std::string out;
    if (encodeLrc(text, encodingName, out)) {
        return out;
    }
    out.clear();
    for (size_t i = 0; i < text.size();) {
        const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        const size_t length = pair ? 2 : 1;
        std::string piece;
        if (!encodeLrc(text.substr(i, length), encodingName, piece)) {
            encodeLrc(u"?", encodingName, piece);
        }
        out += piece;
        i += length;
    }
    return out;
}

std::string byteOrderMark(const std::u16string& encodingName) {
    if (encodingName == u"Shift_JIS") {
        return {};
    }
    std::string mark;
    encodeTextBytes(u"", lrcEncoding(encodingName), mark);
    return mark;
}

class FileDescriptor {
public:
    explicit FileDescriptor(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

std::vector<std::u16string> wrapRows(std::u16string_view text, const PlayerFormat& format) {
    const int fontSize = format.characterWidth();
    const int width = format.wrapWidth();
    std::vector<std::u16string> rows;
    std::u16string row;
    int running = 0;
    size_t lastSpace = std::u16string::npos;  // in text, of the current row
    size_t spaceRowLength = 0;                // the row's length up to and with it
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c < 0x20) {
            ++i;
            continue;
        }
        const int w = (c == u' ' || c < 0x81) ? fontSize / 2 : fontSize;
        if (running + w <= width) {
            row.push_back(c);
            running += w;
            if (c == u' ') {
                lastSpace = i;
                spaceRowLength = row.size();
            }
            ++i;
            continue;
        }
        if (row.empty()) {
            // A character wider than a whole row: what is left goes as it is.
            std::u16string rest(text.substr(rows.empty() ? 0 : i));
            for (size_t at; (at = rest.find(u"\r\n")) != std::u16string::npos;) {
                rest.erase(at, 2);
            }
            rows.push_back(std::move(rest));
            return rows;
        }
        if (lastSpace != std::u16string::npos && spaceRowLength > 1) {
            row.resize(spaceRowLength);
            i = lastSpace + 1;
        }
        rows.push_back(std::move(row));
        row.clear();
        running = 0;
        lastSpace = std::u16string::npos;
    }
    rows.push_back(std::move(row));
    return rows;
}

std::u16string lrcTimeTag(uint32_t ms, const std::u16string& extendedTag) {
    const uint32_t seconds = ms / 1000;
    char buffer[32];
    if (extendedTag.empty()) {
        std::snprintf(buffer, sizeof buffer, "[%02u:%02u]", seconds / 60, seconds % 60);
        return fromUtf8(buffer);
    }
    std::snprintf(buffer, sizeof buffer, "[%02u:%02u", seconds / 60, seconds % 60);
    std::u16string tag = fromUtf8(buffer) + extendedTag;
    std::snprintf(buffer, sizeof buffer, "%02u]", ms % 1000 / 10);
    return tag + fromUtf8(buffer);
}

std::string syltFrameBody(const LyricsInfo& lyrics, const std::string& language) {
    std::string body{'\x01'};
    body += (language + "   ").substr(0, 3);
    body += '\x02';  // milliseconds
    body += '\x01';  // lyrics
    body += std::string("\xFF\xFE\0\0", 4);
    uint64_t start = 0;
    for (size_t i = 0; i < lyrics.size(); ++i) {
        // Every UTF-16 text opens with its byte-order mark: readers that
        // insist on one drop the whole frame without it.
        body += "\xFF\xFE";
        for (char16_t unit : lyrics.texts[i]) {
            // A NUL would end the text early and misread the rest as times.
            if (unit != 0) {
                body.push_back(static_cast<char>(unit & 0xFF));
                body.push_back(static_cast<char>(unit >> 8));
            }
        }
        body += std::string(2, '\0');
        putBigEndian(body, static_cast<uint32_t>(std::min<uint64_t>(start, 0xFFFFFFFFu)));
        start += lyrics.valueAt(i);
    }
    return body;
}

std::string syltTag(const LyricsInfo& lyrics, const std::string& language) {
    const std::string body = syltFrameBody(lyrics, language);
    // Readers take larger frames for damage.
    if (body.size() >= id3::kMaxFrameSize || body.size() + 10 > kMaxTagSize) {
        return {};
    }
    std::string tag("ID3\x03\0\0", 6);
    putSyncsafe(tag, static_cast<uint32_t>(body.size() + 10));
    tag += "SYLT";
    putBigEndian(tag, static_cast<uint32_t>(body.size()));
    tag += std::string(2, '\0');
    return tag + body;
}

LyricsInfoManager::LyricsInfoManager(std::vector<PlayerFormat> formats)
    : m_formats(std::move(formats)) {}

void LyricsInfoManager::loadPlayerFormats(const std::string& path) {
    m_formats = pw::loadPlayerFormats(path);
}

const PlayerFormat* LyricsInfoManager::format() const {
    if (m_index < 0 || static_cast<size_t>(m_index) >= m_formats.size()) {
        return nullptr;
    }
    return &m_formats[static_cast<size_t>(m_index)];
}

std::string LyricsInfoManager::lrcPath(const std::string& mp3Path) {
    const size_t slash = mp3Path.rfind('/');
    const size_t dot = mp3Path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return mp3Path + ".lrc";
    }
    return mp3Path.substr(0, dot) + ".lrc";
}

void LyricsInfoManager::insertSubtitleToMP3(const std::string& mp3Path) {
    const PlayerFormat* chosen = format();
    if (!chosen) {
        throw LyricsManagerException(u"MP3 に歌詞をつけることは出来ませんでした。",
                                     LyricsManagerException::kSyltTagFailed, kInsertFunction,
                                     __LINE__);
    }
    if (chosen->isLrc()) {
        createLrcFile(mp3Path);
    } else {
        setSyltTag(mp3Path);
    }
}

void LyricsInfoManager::createLrcFile(const std::string& mp3Path) {
    const auto fail = [](std::u16string message, int line) {
        throw LyricsManagerException(std::move(message), LyricsManagerException::kLrcFileFailed,
                                     kLrcFunction, line);
    };
    const PlayerFormat* chosen = format();
    if (!chosen || chosen->name.empty()) {
        fail(u"LyricsHeader に名前が設定されていないため", __LINE__);
    }
    if (m_lyrics.empty()) {
        fail(u"歌詞に使用するセンテンスが設定されていないため", __LINE__);
    }
    std::string bytes = byteOrderMark(chosen->encoding);
    uint64_t start = 0;
    for (size_t i = 0; i < m_lyrics.size(); ++i) {
        const std::vector<std::u16string> rows = wrapRows(m_lyrics.texts[i], *chosen);
        const uint32_t share = m_lyrics.valueAt(i) / static_cast<uint32_t>(rows.size());
        for (size_t k = 0; k < rows.size(); ++k) {
            const uint64_t t = std::min<uint64_t>(start + k * share, 0xFFFFFFFFu);
            const std::u16string line =
                lrcTimeTag(static_cast<uint32_t>(t), chosen->extendedTag) + rows[k] + u"\r\n";
            bytes += encodeLrcLine(line, chosen->encoding);
        }
        start += m_lyrics.valueAt(i);
    }
    const std::string path = lrcPath(mp3Path);
    if (!replaceFileContents(path, bytes)) {
        fail(fromUtf8(path) + u" ファイルを作成できなかったため", __LINE__);
    }
}

void LyricsInfoManager::setSyltTag(const std::string& mp3Path) {
    const std::u16string path = fromUtf8(mp3Path);
    const auto fail = [&path](const std::u16string& reason, int line) {
        throw LyricsManagerException(path + reason, LyricsManagerException::kSyltTagFailed,
                                     kSyltFunction, line);
    };
    const PlayerFormat* chosen = format();
    if (!chosen) {
        fail(u"\nMP3 に歌詞をつけることは出来ませんでした。", __LINE__);
    }
    if (!chosen->isSylt()) {
        // Player-specific USLT blocks are not written by this version.
        fail(
            u"\nThe lyrics block of the player format \"" + chosen->name + u"\" cannot be written.",
            __LINE__);
    }
    FileDescriptor in(mp3Path);
    struct stat st;
    if (in.get() < 0 || fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        fail(u"\nファイルが見つからないため", __LINE__);
    }
    if (st.st_size == 0) {
        fail(u"\nファイルのサイズが０のため", __LINE__);
    }
    const std::string tag = syltTag(m_lyrics, chosen->syltLanguage());
    if (tag.empty()) {
        fail(u"\nThe lyrics are too long for one tag.", __LINE__);
    }

    SafeFileWriter writer(mp3Path);
    if (!writer.open() || !writer.write(tag)) {
        fail(u"\nファイルの作成に失敗したため\n" + fromUtf8(writer.error()), __LINE__);
    }
    if (!appendFileContent(in.get(), writer)) {
        fail(u"\nファイルの作成に失敗したため\n" + fromUtf8(writer.error()), __LINE__);
    }
    if (!writer.commit()) {
        fail(u"\nファイルの作成に失敗したため\n" + fromUtf8(writer.error()), __LINE__);
    }
}

void LyricsInfoManager::readSyltTag(const std::string& mp3Path) {
    pw::readSyltTag(mp3Path, m_lyrics);
}

}  // namespace pw
