// ID3v2 tag reading with every size checked against what is really there.
#include "audio/Id3TagReader.h"

#include <algorithm>

namespace pw {

namespace id3 {

uint32_t syncsafe(const unsigned char* bytes) {
    return (uint32_t{bytes[0]} & 0x7F) << 21 | (uint32_t{bytes[1]} & 0x7F) << 14 |
           (uint32_t{bytes[2]} & 0x7F) << 7 | (uint32_t{bytes[3]} & 0x7F);
}

bool isSyncsafe(const unsigned char* bytes) {
    return ((bytes[0] | bytes[1] | bytes[2] | bytes[3]) & 0x80) == 0;
}

std::string resynchronise(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        out.push_back(data[i]);
        if (static_cast<unsigned char>(data[i]) == 0xFF && i + 1 < data.size() &&
            data[i + 1] == 0) {
            ++i;
        }
    }
    return out;
}

}  // namespace id3

namespace {

constexpr size_t kChunk = 4096;

uint32_t bigEndian(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

bool isLetterOrDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::u16string asciiText(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace

Id3TagReader::Id3TagReader(std::istream& in) : m_in(in) {}

Id3TagReader::Result Id3TagReader::fail(Result result, std::u16string problem) {
    m_problem = std::move(problem);
    return result;
}

Id3TagReader::Result Id3TagReader::readHeader() {
    m_in.clear();
    m_in.seekg(0, std::ios::end);
    const std::streamoff streamSize = m_in.tellg();
    m_in.seekg(0, std::ios::beg);
    unsigned char header[10];
    if (streamSize < 10 || !m_in.read(reinterpret_cast<char*>(header), 10) ||
        std::string_view(reinterpret_cast<char*>(header), 3) != "ID3") {
        return fail(Result::NoTag, u"The file does not start with an ID3v2 tag.");
    }
    m_major = header[3];
    m_tagFlags = header[5];
    if (m_major < 2 || m_major > 4) {
        return fail(Result::NoTag, u"The file's ID3v2." + asciiText(std::to_string(m_major)) +
                                       u" tag is of a version this program does not read.");
    }
    if (!id3::isSyncsafe(header + 6)) {
        return fail(Result::Damaged, u"The size in the file's ID3v2 tag header is damaged.");
    }
    if (m_major == 2 && (m_tagFlags & 0x40)) {
        return fail(Result::Unsupported, u"The file's ID3v2.2 tag is compressed.");
    }
    const uint64_t tagEnd = 10 + uint64_t{id3::syncsafe(header + 6)};
    m_truncated = tagEnd > static_cast<uint64_t>(streamSize);
    m_end = std::min<uint64_t>(tagEnd, static_cast<uint64_t>(streamSize));
    m_pos = 10;
    // Version 2.4 unsynchronises frame by frame instead.
    m_unsynchronised = m_major < 4 && (m_tagFlags & 0x80);

    if (m_major > 2 && (m_tagFlags & 0x40)) {
        unsigned char sizeBytes[4];
        if (!read(sizeBytes, 4)) {
            return fail(Result::Damaged, u"The file ends inside the tag's extended header.");
        }
        uint64_t rest = bigEndian(sizeBytes, 4);
        if (m_major == 4) {
            // A syncsafe size that counts its own four bytes.
            const uint32_t size = id3::syncsafe(sizeBytes);
            if (!id3::isSyncsafe(sizeBytes) || size < 6) {
                return fail(Result::Damaged, u"The tag's extended header is damaged.");
            }
            rest = size - 4;
        }
        if (rest > rawRemaining() || !skip(rest)) {
            return fail(Result::Damaged,
                        u"The tag's extended header claims more bytes than the tag holds.");
        }
    }
    return Result::Found;
}

Id3TagReader::Result Id3TagReader::findFrame(std::string_view id, std::string& data) {
    const int headerSize = m_major == 2 ? 6 : 10;
    const int idSize = m_major == 2 ? 3 : 4;
    while (true) {
        unsigned char header[10];
        if (rawRemaining() < static_cast<uint64_t>(headerSize) || !read(header, headerSize)) {
            break;
        }
        // Padding, or whatever follows the last frame.
        if (!isLetterOrDigit(header[0]) || !isLetterOrDigit(header[1]) ||
            !isLetterOrDigit(header[2])) {
            return fail(Result::NotFound,
                        u"The file's ID3v2 tag has no " + asciiText(id) + u" frame.");
        }
        const std::string_view frameId(reinterpret_cast<char*>(header), idSize);
        uint32_t size = 0;
        uint16_t flags = 0;
        if (m_major == 2) {
            size = bigEndian(header + 3, 3);
        } else {
            // Version 2.4 sizes are syncsafe; a size that is not is read plainly,
            // as some writers of 2.4 tags stored them.
            size = m_major == 4 && id3::isSyncsafe(header + 4) ? id3::syncsafe(header + 4)
                                                               : bigEndian(header + 4, 4);
            flags = static_cast<uint16_t>(header[8] << 8 | header[9]);
        }
        if (size >= id3::kMaxFrameSize) {
            break;
        }
        if (size > rawRemaining() && frameId == id && m_truncated) {
            // A download cut short: the frame's entries up to the end of the
            // file are still the learner's lyrics.
            data.assign(size, '\0');
            data.resize(readAvailable(data.data(), size));
            return decodeFrameData(flags, data);
        }
        if (size > rawRemaining()) {
            return fail(Result::Damaged,
                        u"The " + asciiText(frameId) + u" frame of the file's ID3v2 tag claims " +
                            asciiText(std::to_string(size)) + u" bytes, more than the tag holds.");
        }
        if (frameId == id) {
            data.assign(size, '\0');
            if (!read(data.data(), size)) {
                return fail(Result::Damaged,
                            u"The file ends inside the " + asciiText(frameId) + u" frame.");
            }
            return decodeFrameData(flags, data);
        }
        if (!skip(size)) {
            return fail(Result::Damaged,
                        u"The file ends inside the " + asciiText(frameId) + u" frame.");
        }
    }
    if (m_truncated) {
        return fail(Result::Damaged, u"The file ends inside its ID3v2 tag.");
    }
    return fail(Result::NotFound, u"The file's ID3v2 tag has no " + asciiText(id) + u" frame.");
}

Id3TagReader::Result Id3TagReader::decodeFrameData(uint16_t flags, std::string& data) {
    const unsigned format = flags & 0xFF;
    size_t skipped = 0;
    bool unsynchronised = false;
    if (m_major == 3) {
        if (format & 0xC0) {
            return fail(Result::Unsupported, u"The frame is compressed or encrypted.");
        }
        skipped = (format & 0x20) ? 1 : 0;  // group identifier
    } else if (m_major == 4) {
        if (format & 0x0C) {
            return fail(Result::Unsupported, u"The frame is compressed or encrypted.");
        }
        skipped = ((format & 0x40) ? 1 : 0) + ((format & 0x01) ? 4 : 0);
        unsynchronised = (format & 0x02) || (m_tagFlags & 0x80);
    }
    if (skipped > data.size()) {
        return fail(Result::Damaged, u"The frame is shorter than its flags say.");
    }
    data.erase(0, skipped);
    if (unsynchronised) {
        data = id3::resynchronise(data);
    }
    return Result::Found;
}

bool Id3TagReader::fillBuffer() {
    // Called when the buffer is used up, so the stream stands at m_pos.
    const size_t count = static_cast<size_t>(std::min<uint64_t>(kChunk, rawRemaining()));
    if (count == 0) {
        return false;
    }
    m_buffer.resize(count);
    m_bufferPos = 0;
    if (!m_in.read(m_buffer.data(), static_cast<std::streamsize>(count))) {
        m_buffer.clear();
        return false;
    }
    return true;
}

bool Id3TagReader::read(void* out, size_t size) {
    auto* bytes = static_cast<char*>(out);
    if (!m_unsynchronised) {
        if (size > rawRemaining() || !m_in.read(bytes, static_cast<std::streamsize>(size))) {
            return false;
        }
        m_pos += size;
        return true;
    }
    for (size_t done = 0; done < size;) {
        if (m_bufferPos == m_buffer.size() && !fillBuffer()) {
            return false;
        }
        const auto byte = static_cast<unsigned char>(m_buffer[m_bufferPos++]);
        ++m_pos;
        if (m_afterFF && byte == 0) {
            m_afterFF = false;
            continue;
        }
        m_afterFF = byte == 0xFF;
        bytes[done++] = static_cast<char>(byte);
    }
    return true;
}

size_t Id3TagReader::readAvailable(char* out, size_t size) {
    if (!m_unsynchronised) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(size, rawRemaining()));
        m_in.read(out, static_cast<std::streamsize>(count));
        const auto got = static_cast<size_t>(m_in.gcount());
        m_pos += got;
        return got;
    }
    size_t done = 0;
    while (done < size && read(out + done, 1)) {
        ++done;
    }
    return done;
}

bool Id3TagReader::skip(uint64_t size) {
    if (!m_unsynchronised) {
        if (size > rawRemaining()) {
            return false;
        }
        m_pos += size;
        return static_cast<bool>(m_in.seekg(static_cast<std::streamoff>(m_pos)));
    }
    char scratch[kChunk];
    while (size > 0) {
        const size_t part = static_cast<size_t>(std::min<uint64_t>(size, kChunk));
        if (!read(scratch, part)) {
            return false;
        }
        size -= part;
    }
    return true;
}

}  // namespace pw
