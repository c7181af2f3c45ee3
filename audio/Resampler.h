// Pull-based streams of interleaved float frames, and sample-rate conversion
// between them (libsamplerate).
#pragma once

#include <cstddef>
#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

namespace pw {

// Anything that hands out frames on request.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Writes up to frames frames into out and returns how many. Fewer than
    // asked means nothing more is available now; ended says no more will come.
    virtual size_t read(float* out, size_t frames, bool& ended) = 0;
};

class Resampler {
public:
    // Fast is for playback; Good, a slower and cleaner filter, for files.
    enum class Quality { Fast, Good };

    explicit Resampler(unsigned channels, Quality quality = Quality::Fast);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Sets the conversion and forgets any pending frames; equal rates pass
    // frames through untouched.
    void setRates(double fromRate, double toRate);
    void reset();
    bool isPassThrough() const { return m_ratio == 1.0; }
    unsigned channels() const { return m_channels; }

    // Fills out with up to frames converted frames read from source; at the
    // source's end the filter's tail is drained before ended is set.
    size_t read(FrameSource& source, float* out, size_t frames, bool& ended);

private:
    static constexpr size_t kChunkFrames = 1024;

    unsigned m_channels;
    Quality m_quality;
    double m_ratio = 1.0;
    SRC_STATE* m_state = nullptr;
    std::vector<float> m_input;
    size_t m_staged = 0;
    bool m_sourceEnded = false;
    bool m_drained = false;
};

}  // namespace pw
