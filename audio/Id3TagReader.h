// Reads the ID3v2 tag at the start of an MP3 stream (versions 2.2, 2.3 and
// 2.4): its header, extended header and frame list, and the data of one frame.
// Every size in the stream is untrusted: nothing is read or allocated beyond
// what the tag and the stream really hold, and only the tag is read.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace pw {

namespace id3 {

// Four 7-bit groups, most significant first.
uint32_t syncsafe(const unsigned char* bytes);
bool isSyncsafe(const unsigned char* bytes);
// Undoes unsynchronisation: every FF 00 becomes FF.
std::string resynchronise(std::string_view data);

// Frames at or above this size end the frame list: no lyrics or text frame is
// that large, so the size is taken for damage.
inline constexpr uint32_t kMaxFrameSize = 0xA00000;

}  // namespace id3

class Id3TagReader {
public:
    enum class Result {
        Found,
        NoTag,        // the stream does not start with an ID3v2 tag of version 2.2 to 2.4
        Unsupported,  // a compressed tag or frame, or an encrypted frame
        Damaged,      // a size or field claims more than the tag or stream holds
        NotFound,     // the tag is sound but has no such frame
    };

    // in is read from its start; it must outlive the reader.
    explicit Id3TagReader(std::istream& in);

    // Reads the tag header and skips the extended header.
    Result readHeader();
    // After readHeader: finds the first frame named id in file order and puts
    // its data, with grouping bytes, data-length indicators and
    // unsynchronisation undone, into data. When the file ends inside that
    // frame (a download cut short), data is what the file holds of it.
    Result findFrame(std::string_view id, std::string& data);

    // The tag's major version (2, 3 or 4) once the header was read.
    int majorVersion() const { return m_major; }
    // Why the last step did not find what it looked for, in a sentence.
    const std::u16string& problem() const { return m_problem; }

private:
    // Reads the tag's bytes below its end, undoing unsynchronisation when the
    // whole tag was unsynchronised (versions 2.2 and 2.3).
    bool read(void* out, size_t size);
    // Reads up to size bytes, as many as the stream still holds; the count.
    size_t readAvailable(char* out, size_t size);
    bool skip(uint64_t size);
    uint64_t rawRemaining() const { return m_end - m_pos; }
    bool fillBuffer();
    Result fail(Result result, std::u16string problem);
    Result decodeFrameData(uint16_t flags, std::string& data);

    std::istream& m_in;
    int m_major = 0;
    unsigned m_tagFlags = 0;
    uint64_t m_pos = 0;  // in the stream
    uint64_t m_end = 0;  // the tag's end, or the stream's when that comes first
    bool m_truncated = false;
    bool m_unsynchronised = false;
    // Bytes read ahead for the unsynchronised tag.
    std::string m_buffer;
    size_t m_bufferPos = 0;
    bool m_afterFF = false;
    std::u16string m_problem;
};

}  // namespace pw
