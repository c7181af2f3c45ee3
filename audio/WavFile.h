// The 16-bit PCM WAV files that speech and the audio conversion produce: read
// their format and size, give their duration, change their channel count and
// sample rate, and append one to another with a silence between.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pw {

// The format block of a WAV file, field for field.
struct WaveFormat {
    uint16_t formatTag = 0;  // 1 = PCM
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;  // present only in 18-byte format blocks

    bool operator==(const WaveFormat&) const = default;
};

// A consistent PCM format of the given rate, channels and sample size.
WaveFormat pcmFormat(uint32_t rate, uint16_t channels, uint16_t bits = 16);

// The header this program writes in front of every WAV file: "RIFF", size,
// "WAVE", an 18-byte "fmt " chunk and the "data" chunk header.
inline constexpr size_t kWavHeaderSize = 46;
// dataSize 0xFFFFFFFF marks a stream whose length is not known yet.
std::string wavHeader(const WaveFormat& format, uint32_t dataSize);

// Writes a WAV file of format holding data (whole frames of little-endian
// samples), replacing any earlier file only once the new one is complete.
bool writeWav(const std::string& path, const WaveFormat& format, std::string_view data);

// The data size in bytes of a usable PCM WAV file (0 when it is not usable)
// and its format block. The size never exceeds what the file really holds.
uint32_t readWavInfo(const std::string& path, WaveFormat& format);

// The file's duration in milliseconds, 0 when it is not usable.
uint32_t wavDuration(const std::string& path);

// Gives the file the channel count of target (mono to stereo by doubling each
// sample, stereo to mono by keeping the first channel). Success without change
// when the counts agree. The file is replaced only once the new one is
// complete.
bool reformatWav(const std::string& path, const WaveFormat& target);

// Brings the file to targetRate; success without change when it has that rate.
bool resampleWav(const std::string& path, uint32_t targetRate);

// Extends first by silenceMs of silence (at most 10 000) and the samples of
// second. Both are first brought to the higher rate and the larger channel
// count (second in place, first within the new file). first is replaced only
// once the new file is complete; a failure leaves it as it was.
bool appendWav(const std::string& first, const std::string& second, uint32_t silenceMs);

// The byte count of silenceMs of silence in format: the milliseconds clamped
// to 10 000, rounded up to whole sample frames.
uint32_t silenceBytes(const WaveFormat& format, uint32_t silenceMs);

// Where the samples of a WAV image are, from its header alone.
struct WavLayout {
    WaveFormat format;
    uint64_t dataOffset = 0;
    uint32_t dataSize = 0;  // clamped to what follows dataOffset
};

// The layout of a WAV file; false when it is not a usable PCM WAV file.
bool readWavLayout(const std::string& path, WavLayout& layout);
// The same for a file image in memory.
bool parseWavLayout(std::string_view image, WavLayout& layout);

}  // namespace pw
