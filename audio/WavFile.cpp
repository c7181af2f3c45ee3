// WAV file reading and the in-place rewrites used by the audio conversion.
#include "audio/WavFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <vector>

#include "audio/PcmConvert.h"
#include "core/SafeFile.h"

namespace pw {
namespace {

constexpr uint64_t kMinimumFileSize = 64;
constexpr uint32_t kMaxSilenceMs = 10000;

uint16_t le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}
void put32(std::string& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
    }
}
void patch32(std::string& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

using ReadAt = std::function<bool(uint64_t offset, void* buffer, size_t size)>;

bool parseLayout(uint64_t fileSize, const ReadAt& read, WavLayout& layout) {
    layout = WavLayout{};
    if (fileSize < kMinimumFileSize) {
        return false;
    }
    unsigned char head[20 + 18];
    if (!read(0, head, 20) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0 || std::memcmp(head + 12, "fmt ", 4) != 0) {
        return false;
    }
    const uint32_t fmtSize = le32(head + 16);
    if ((fmtSize != 16 && fmtSize != 18) || !read(20, head + 20, fmtSize)) {
        return false;
    }
    const unsigned char* f = head + 20;
    WaveFormat& format = layout.format;
    format.formatTag = le16(f);
    format.channels = le16(f + 2);
    format.samplesPerSec = le32(f + 4);
    format.avgBytesPerSec = le32(f + 8);
    format.blockAlign = le16(f + 12);
    format.bitsPerSample = le16(f + 14);
    format.extraSize = fmtSize == 18 ? le16(f + 16) : 0;
    // Every count below is later divided by or multiplied into a size.
    if (format.formatTag != 1 || format.channels == 0 || format.samplesPerSec == 0 ||
        format.blockAlign == 0 || format.bitsPerSample == 0) {
        return false;
    }

    uint64_t at = 20 + fmtSize;
    unsigned char chunk[8];
    if (!read(at, chunk, 8)) {
        return false;
    }
    if (std::memcmp(chunk, "fact", 4) == 0) {
        at += 8 + static_cast<uint64_t>(le32(chunk + 4));
        if (at + 8 > fileSize || !read(at, chunk, 8)) {
            return false;
        }
    }
    if (std::memcmp(chunk, "data", 4) != 0) {
        return false;
    }
    layout.dataOffset = at + 8;
    const uint64_t present = fileSize - layout.dataOffset;
    layout.dataSize = static_cast<uint32_t>(std::min<uint64_t>(le32(chunk + 4), present));
    return true;
}

class FileHandle {
public:
    // Non-blocking, so a named pipe given as a file cannot hang the open.
    explicit FileHandle(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ~FileHandle() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // The size of a regular file; false for anything else.
    bool size(uint64_t& bytes) const {
        struct stat st;
        if (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            return false;
        }
        bytes = static_cast<uint64_t>(st.st_size);
        return true;
    }
    bool readAt(uint64_t offset, void* buffer, size_t size) const {
        auto* p = static_cast<char*>(buffer);
        while (size > 0) {
            const ssize_t n = ::pread(m_fd, p, size, static_cast<off_t>(offset));
            if (n <= 0) {
                if (n < 0 && errno == EINTR) {
                    continue;
                }
                return false;
            }
            p += n;
            offset += static_cast<uint64_t>(n);
            size -= static_cast<size_t>(n);
        }
        return true;
    }

private:
    int m_fd;
};

// The rewrites handle only consistent 16-bit PCM, whose sizes can be trusted.
bool isRewritable(const WaveFormat& f) {
    return f.formatTag == 1 && f.bitsPerSample == 16 && f.channels > 0 && f.samplesPerSec > 0 &&
           f.blockAlign == f.channels * 2 &&
           f.avgBytesPerSec == static_cast<uint64_t>(f.blockAlign) * f.samplesPerSec;
}

// A rewritable file's layout and its samples (whole frames only).
struct PcmFile {
    WavLayout layout;
    std::vector<int16_t> samples;
    size_t frames() const { return samples.size() / layout.format.channels; }
};

bool loadPcm(const std::string& path, PcmFile& file, bool withSamples = true) {
    FileHandle handle(path);
    uint64_t size = 0;
    if (!handle.isOpen() || !handle.size(size)) {
        return false;
    }
    const ReadAt read = [&](uint64_t offset, void* buffer, size_t n) {
        return offset + n <= size && handle.readAt(offset, buffer, n);
    };
    if (!parseLayout(size, read, file.layout) || !isRewritable(file.layout.format)) {
        return false;
    }
    if (!withSamples) {
        return true;
    }
    const size_t frameBytes = file.layout.format.blockAlign;
    const size_t bytes = file.layout.dataSize / frameBytes * frameBytes;
    std::vector<unsigned char> raw(bytes);
    if (!handle.readAt(file.layout.dataOffset, raw.data(), bytes)) {
        return false;
    }
    file.samples.resize(bytes / 2);
    for (size_t i = 0; i < file.samples.size(); ++i) {
        file.samples[i] = static_cast<int16_t>(le16(raw.data() + 2 * i));
    }
    return true;
}

// Writes samples as little-endian bytes into a file being replaced.
class WriterSink : public PcmSink {
public:
    explicit WriterSink(SafeFileWriter& writer) : m_writer(writer) {}
    bool put(const int16_t* samples, size_t count) override {
        m_bytes.resize(count * 2);
        for (size_t i = 0; i < count; ++i) {
            const auto v = static_cast<uint16_t>(samples[i]);
            m_bytes[2 * i] = static_cast<char>(v & 0xFF);
            m_bytes[2 * i + 1] = static_cast<char>(v >> 8);
        }
        return m_writer.write(m_bytes.data(), m_bytes.size());
    }

private:
    SafeFileWriter& m_writer;
    std::string m_bytes;
};

// The conversion a file's samples need to reach rate and channels, written
// into sink; returns the output format, or nothing when it cannot be done.
struct Conversion {
    WaveFormat target;
    uint64_t frames = 0;
};

bool planConversion(const WaveFormat& from, size_t frames, uint32_t rate, uint16_t channels,
                    Conversion& plan) {
    if (channels != from.channels && channels != from.channels * 2 &&
        channels * 2 != from.channels) {
        return false;
    }
    plan.target = pcmFormat(rate, channels);
    plan.frames =
        rate == from.samplesPerSec ? frames : resampledFrameCount(frames, from.samplesPerSec, rate);
    const uint64_t bytes = plan.frames * plan.target.blockAlign;
    // The sizes must fit the header's 32-bit fields.
    return bytes + kWavHeaderSize - 8 <= 0xFFFFFFFFull;
}

bool convertInto(const PcmFile& file, const Conversion& plan, PcmSink& sink) {
    const WaveFormat& from = file.layout.format;
    if (plan.target.channels == from.channels && plan.target.samplesPerSec == from.samplesPerSec) {
        return sink.put(file.samples.data(), file.samples.size());
    }
    if (plan.target.samplesPerSec == from.samplesPerSec) {
        return remapPcmChannels(file.samples.data(), file.frames(), from.channels,
                                plan.target.channels, sink);
    }
    if (plan.target.channels == from.channels) {
        return resamplePcm(file.samples.data(), file.frames(), from.channels, from.samplesPerSec,
                           plan.target.samplesPerSec, sink);
    }
    ChannelRemapSink remap(from.channels, plan.target.channels, sink);
    return resamplePcm(file.samples.data(), file.frames(), from.channels, from.samplesPerSec,
                       plan.target.samplesPerSec, remap);
}

bool rewrite(const std::string& path, uint32_t rate, uint16_t channels) {
    PcmFile file;
    Conversion plan;
    if (!loadPcm(path, file) ||
        !planConversion(file.layout.format, file.frames(), rate, channels, plan)) {
        return false;
    }
    SafeFileWriter writer(path);
    WriterSink sink(writer);
    const auto dataSize = static_cast<uint32_t>(plan.frames * plan.target.blockAlign);
    return writer.open() && writer.write(wavHeader(plan.target, dataSize)) &&
           convertInto(file, plan, sink) && writer.commit();
}

}  // namespace

WaveFormat pcmFormat(uint32_t rate, uint16_t channels, uint16_t bits) {
    WaveFormat f;
    f.formatTag = 1;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = f.blockAlign * rate;
    f.extraSize = 0;
    return f;
}

std::string wavHeader(const WaveFormat& format, uint32_t dataSize) {
    std::string h;
    h.reserve(kWavHeaderSize);
    h += "RIFF";
    put32(h, dataSize == 0xFFFFFFFFu ? dataSize : dataSize + (kWavHeaderSize - 8));
    h += "WAVEfmt ";
    put32(h, 18);
    put16(h, format.formatTag);
    put16(h, format.channels);
    put32(h, format.samplesPerSec);
    put32(h, format.avgBytesPerSec);
    put16(h, format.blockAlign);
    put16(h, format.bitsPerSample);
    put16(h, 0);
    h += "data";
    put32(h, dataSize);
    return h;
}

bool writeWav(const std::string& path, const WaveFormat& format, std::string_view data) {
    if (data.size() > 0xFFFFFFFFull - kWavHeaderSize) {
        return false;
    }
    SafeFileWriter writer(path);
    return writer.open() && writer.write(wavHeader(format, static_cast<uint32_t>(data.size()))) &&
           writer.write(data) && writer.commit();
}

bool readWavLayout(const std::string& path, WavLayout& layout) {
    FileHandle handle(path);
    uint64_t size = 0;
    if (!handle.isOpen() || !handle.size(size)) {
        return false;
    }
    return parseLayout(
        size,
        [&](uint64_t offset, void* buffer, size_t n) {
            return offset + n <= size && handle.readAt(offset, buffer, n);
        },
        layout);
}

bool parseWavLayout(std::string_view image, WavLayout& layout) {
    return parseLayout(
        image.size(),
        [&](uint64_t offset, void* buffer, size_t n) {
            if (offset > image.size() || n > image.size() - offset) {
                return false;
            }
            std::memcpy(buffer, image.data() + offset, n);
            return true;
        },
        layout);
}

uint32_t readWavInfo(const std::string& path, WaveFormat& format) {
    WavLayout layout;
    if (!readWavLayout(path, layout)) {
        return 0;
    }
    format = layout.format;
    return layout.dataSize;
}

uint32_t wavDuration(const std::string& path) {
    WaveFormat format;
    const uint32_t size = readWavInfo(path, format);
    // Whole bytes per millisecond, as the lyrics timings were always computed.
    const uint32_t perMs = format.avgBytesPerSec / 1000;
    if (size == 0 || perMs == 0) {
        return 0;
    }
    return size / perMs;
}

bool reformatWav(const std::string& path, const WaveFormat& target) {
    PcmFile file;
    if (!loadPcm(path, file, false)) {
        return false;
    }
    if (file.layout.format.channels == target.channels) {
        return true;
    }
    // Only the channel count changes; the samples keep their own rate.
    return rewrite(path, file.layout.format.samplesPerSec, target.channels);
}

bool resampleWav(const std::string& path, uint32_t targetRate) {
    PcmFile file;
    if (targetRate == 0 || !loadPcm(path, file, false)) {
        return false;
    }
    if (file.layout.format.samplesPerSec == targetRate) {
        return true;
    }
    return rewrite(path, targetRate, file.layout.format.channels);
}

uint32_t silenceBytes(const WaveFormat& format, uint32_t silenceMs) {
    const uint64_t ms = std::min(silenceMs, kMaxSilenceMs);
    uint64_t bytes = static_cast<uint64_t>(format.avgBytesPerSec) * ms / 1000;
    // Whole frames, so the samples after the silence keep their channels.
    const uint64_t block = std::max<uint16_t>(format.blockAlign, 1);
    bytes = (bytes + block - 1) / block * block;
    return static_cast<uint32_t>(std::min<uint64_t>(bytes, 0xFFFFFFFFull));
}

bool appendWav(const std::string& first, const std::string& second, uint32_t silenceMs) {
    PcmFile a;
    PcmFile b;
    // An empty file, like an unreadable one, stops the append.
    if (!loadPcm(first, a) || !loadPcm(second, b, false) || a.layout.dataSize == 0 ||
        b.layout.dataSize == 0) {
        return false;
    }
    const WaveFormat& fa = a.layout.format;
    const WaveFormat& fb = b.layout.format;
    const uint32_t rate = std::max(fa.samplesPerSec, fb.samplesPerSec);
    const uint16_t channels = std::max(fa.channels, fb.channels);
    Conversion plan;
    if (!planConversion(fa, a.frames(), rate, channels, plan) ||
        (fb.channels != channels && fb.channels * 2 != channels)) {
        return false;
    }
    // The second file is converted in place; the first only in its new image.
    if ((fb.samplesPerSec != rate && !resampleWav(second, rate)) ||
        (fb.channels != channels && !reformatWav(second, plan.target))) {
        return false;
    }
    FileHandle secondFile(second);
    if (!loadPcm(second, b, false) || b.layout.dataSize == 0 || !secondFile.isOpen()) {
        return false;
    }
    const WaveFormat& target = plan.target;
    const uint64_t firstBytes = plan.frames * target.blockAlign;
    const uint32_t silence = silenceMs == 0 ? 0 : silenceBytes(target, silenceMs);
    const uint64_t secondBytes = b.layout.dataSize / target.blockAlign * target.blockAlign;

    const bool converted = !(target.channels == fa.channels && rate == fa.samplesPerSec);
    std::string header;
    if (converted) {
        header = wavHeader(target, 0);
    } else {
        FileHandle firstFile(first);
        header.resize(a.layout.dataOffset);
        if (!firstFile.readAt(0, header.data(), header.size())) {
            return false;
        }
    }
    const uint64_t dataSize = firstBytes + silence + secondBytes;
    if (dataSize + header.size() - 8 > 0xFFFFFFFFull) {
        return false;
    }
    patch32(header, 4, static_cast<uint32_t>(dataSize + header.size() - 8));
    patch32(header, header.size() - 4, static_cast<uint32_t>(dataSize));

    SafeFileWriter writer(first);
    WriterSink sink(writer);
    if (!writer.open() || !writer.write(header) || !convertInto(a, plan, sink)) {
        return false;
    }
    const std::string zeros(std::min<uint64_t>(silence, 1 << 20), '\0');
    for (uint64_t left = silence; left > 0;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
        if (!writer.write(zeros.data(), n)) {
            return false;
        }
        left -= n;
    }
    std::vector<char> piece(1 << 20);
    for (uint64_t done = 0; done < secondBytes;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(secondBytes - done, piece.size()));
        if (!secondFile.readAt(b.layout.dataOffset + done, piece.data(), n) ||
            !writer.write(piece.data(), n)) {
            return false;
        }
        done += n;
    }
    return writer.commit();
}

}  // namespace pw
