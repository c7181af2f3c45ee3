// Decoders that hand out a sound file as 16-bit little-endian PCM, with an
// optional loop, for the players that feed the output buffer by buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pw {

class PCMDecoder {
public:
    virtual ~PCMDecoder() = default;

    virtual bool isOpen() const = 0;
    virtual bool open(const std::string& path) = 0;
    virtual void close() = 0;
    // Zeroes size bytes of buffer and fills them with whole frames;
    // bytesRead receives the count. With loop on, playback goes back to the
    // loop start at the loop end and at the end of the file; with loop off,
    // ended is set at the end of the file. False when decoding failed.
    bool read(char* buffer, size_t size, size_t& bytesRead, bool& ended, bool loop);
    // The decoding position in milliseconds.
    virtual int64_t tell() = 0;
    virtual bool seek(int64_t ms) = 0;

    int channels() const { return m_channels; }
    int sampleRate() const { return m_sampleRate; }
    int bitsPerSample() const { return m_bitsPerSample; }
    // In samples (frames); a loop length of 0 means no loop.
    int64_t loopStart() const { return m_loopStart; }
    int64_t loopLength() const { return m_loopLength; }
    int64_t totalSamples() const { return m_totalSamples; }

    static int64_t samplesToMs(int64_t samples, int rate) {
        return rate > 0 ? samples / rate * 1000 + samples % rate * 1000 / rate : 0;
    }
    static int64_t msToSamples(int64_t ms, int rate) {
        return ms / 1000 * rate + ms % 1000 * rate / 1000;
    }

protected:
    // What one call into the decoding library gave.
    struct Piece {
        enum Status { More, End, Failed };
        size_t bytes = 0;
        Status status = More;
    };
    // Decodes at most size bytes into buffer; called only while open.
    virtual Piece readPiece(char* buffer, size_t size) = 0;
    // Goes back to the loop start; false when the decoder cannot.
    virtual bool rewind() = 0;
    // The decoding position in samples; asked only when the loop has a length.
    virtual int64_t samplePosition() = 0;

    int m_channels = 0;
    int m_sampleRate = 0;
    int m_bitsPerSample = 16;
    int64_t m_loopStart = 0;
    int64_t m_loopLength = 0;
    int64_t m_totalSamples = 0;
};

}  // namespace pw
