// A decoded sound file (anything libsndfile reads: WAV, FLAC, Ogg, MP3) with
// tempo and pitch changed by SoundTouch, volume applied, and frames handed out
// at a chosen rate and channel count. read() and the calls that change the
// decoding need the owner's lock; the gain and the positions do not, so the
// thread that plays never waits on someone asking where it is.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/Resampler.h"

namespace pw {

class TempoStream : public FrameSource {
public:
    TempoStream();
    ~TempoStream() override;
    TempoStream(const TempoStream&) = delete;
    TempoStream& operator=(const TempoStream&) = delete;

    bool open(const std::string& path);
    void close();
    bool isOpen() const;

    int sourceRate() const;
    int sourceChannels() const;
    // The length of the file in frames (an estimate for MP3 files without a
    // length header).
    int64_t sourceFrames() const;

    // Output format; 0 keeps the file's rate or channel count. Mono output
    // averages the channels; two channels from mono repeat it. Restarts the
    // pipeline at the current position.
    void setOutputFormat(int rate, int channels, Resampler::Quality quality);
    int outputRate() const { return m_outRate; }
    int outputChannels() const { return m_outChannels; }

    // 1 = normal; the pitch is kept.
    void setTempo(double factor);
    void setPitchSemitones(double semitones);
    void setGain(float gain) { m_gain.store(gain); }

    // Continues from sourceFrame and clears the end set by setEnd().
    void seek(int64_t sourceFrame);
    // Continues from sourceFrame; the end set by setEnd() stays.
    void moveTo(int64_t sourceFrame);
    // Ends the stream at sourceFrame (before the file's end).
    void setEnd(int64_t sourceFrame);

    size_t read(float* out, size_t frames, bool& ended) override;

    // Frames handed out since open().
    int64_t outputFrames() const { return m_outputFrames.load(); }
    // The file position that output frame outputFrame came from.
    int64_t sourcePositionAt(int64_t outputFrame) const;

private:
    class Decoder;
    class Stretcher;
    struct Segment {
        int64_t outputStart;
        int64_t sourceStart;
        double sourcePerOutput;
    };

    void reconfigure();
    void restart(int64_t sourceFrame);
    double sourcePerOutput() const;
    void addSegment(int64_t sourceFrame);

    std::unique_ptr<Decoder> m_decoder;
    std::unique_ptr<Stretcher> m_stretcher;
    std::unique_ptr<Resampler> m_resampler;
    int m_outRate = 0;
    int m_outChannels = 0;
    Resampler::Quality m_quality = Resampler::Quality::Fast;
    double m_tempo = 1.0;
    double m_pitch = 0.0;
    std::atomic<float> m_gain{1.0f};
    std::atomic<int64_t> m_outputFrames{0};
    mutable std::mutex m_segmentsMutex;
    std::vector<Segment> m_segments;
};

}  // namespace pw
