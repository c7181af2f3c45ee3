// Feeds arbitrary bytes to the WAV header reader as a file, and the samples
// of whatever it accepts to the conversions behind the rewrites.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "audio/PcmConvert.h"
#include "audio/WavFile.h"

namespace {

class CountingSink : public pw::PcmSink {
public:
    bool put(const int16_t* samples, size_t count) override {
        for (size_t i = 0; i < count; ++i) {
            m_sum += samples[i];
        }
        m_count += count;
        return true;
    }
    size_t count() const { return m_count; }

private:
    size_t m_count = 0;
    int64_t m_sum = 0;
};

// One in-memory file for every run, reachable by a path.
const std::string& scratchPath(int& fd) {
    static int file = memfd_create("wav", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(file);
    fd = file;
    return path;
}

void convertSamples(std::string_view image, const pw::WavLayout& layout) {
    const pw::WaveFormat& f = layout.format;
    if (f.bitsPerSample != 16 || f.channels > 8) {
        return;
    }
    const size_t frames = std::min<size_t>(layout.dataSize / (2u * f.channels), 2048);
    std::vector<int16_t> samples(frames * f.channels);
    std::copy_n(image.data() + layout.dataOffset, samples.size() * 2,
                reinterpret_cast<char*>(samples.data()));
    // A target rate from the header's own numbers, kept to a sane output.
    const uint32_t target = 8000 + f.avgBytesPerSec % 40001;
    const uint64_t out = pw::resampledFrameCount(frames, f.samplesPerSec, target);
    CountingSink sink;
    if (out <= 100000) {
        pw::resamplePcm(samples.data(), frames, f.channels, f.samplesPerSec, target, sink);
        if (sink.count() != out * f.channels) {
            std::abort();
        }
    }
    pw::remapPcmChannels(samples.data(), frames, f.channels, f.channels * 2u, sink);
    pw::remapPcmChannels(samples.data(), frames, f.channels, std::max(f.channels / 2u, 1u), sink);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fd = -1;
    const std::string& path = scratchPath(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))) {
        return 0;
    }
    const std::string_view image(reinterpret_cast<const char*>(data), size);

    pw::WaveFormat format;
    const uint32_t dataSize = pw::readWavInfo(path, format);
    pw::WavLayout layout;
    const bool usable = pw::parseWavLayout(image, layout);
    // The file and the memory reader agree, and no size points past the end.
    if ((usable ? layout.dataSize : 0u) != dataSize ||
        (usable && layout.dataOffset + layout.dataSize > size)) {
        std::abort();
    }
    pw::wavDuration(path);
    if (usable) {
        convertSamples(image, layout);
    }
    return 0;
}
