// Sample-level conversions of 16-bit interleaved PCM behind the WAV rewrites;
// results are streamed into a sink, so no conversion needs its whole output
// in memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pw {

class PcmSink {
public:
    virtual ~PcmSink() = default;
    // Takes count samples (whole frames); false stops the conversion.
    virtual bool put(const int16_t* samples, size_t count) = 0;
};

// The frame count after resampling: frames × toRate ÷ fromRate, rounded.
uint64_t resampledFrameCount(uint64_t frames, uint32_t fromRate, uint32_t toRate);

// Streams frames of channels-interleaved samples at toRate into sink, exactly
// resampledFrameCount() frames. Each channel is resampled on its own: by the
// doubling rule when toRate is twice fromRate (every sample followed by the
// mean of it and its successor), otherwise by windowed sinc interpolation
// over 25 neighbours.
bool resamplePcm(const int16_t* samples, size_t frames, unsigned channels, uint32_t fromRate,
                 uint32_t toRate, PcmSink& sink);

// Streams frames of fromChannels samples as frames of toChannels: a frame of
// half the target width is written twice (mono becomes two equal channels),
// one of twice the width keeps its first half (the first channel remains).
// False for any other pair of widths.
bool remapPcmChannels(const int16_t* samples, size_t frames, unsigned fromChannels,
                      unsigned toChannels, PcmSink& sink);

// A sink that remaps channels and hands the result on.
class ChannelRemapSink : public PcmSink {
public:
    ChannelRemapSink(unsigned fromChannels, unsigned toChannels, PcmSink& next)
        : m_from(fromChannels), m_to(toChannels), m_next(next) {}
    bool put(const int16_t* samples, size_t count) override {
        return remapPcmChannels(samples, count / m_from, m_from, m_to, m_next);
    }

private:
    unsigned m_from;
    unsigned m_to;
    PcmSink& m_next;
};

}  // namespace pw
