// Decoding (libsndfile), re-timing (SoundTouch) and resampling of a file.
#include "audio/TempoStream.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "audio/TempoFilter.h"
#include "core/InputFile.h"

namespace pw {
namespace {

constexpr size_t kChunkFrames = 2048;

// Maps a frame of `from` channels onto `to` channels: mono output is the
// mean, more channels repeat the last one available.
void mapChannels(const float* in, int from, float* out, int to) {
    if (from == to) {
        std::copy(in, in + from, out);
    } else if (to == 1) {
        float sum = 0.0f;
        for (int c = 0; c < from; ++c) {
            sum += in[c];
        }
        out[0] = sum / static_cast<float>(from);
    } else {
        for (int c = 0; c < to; ++c) {
            out[c] = in[std::min(c, from - 1)];
        }
    }
}

}  // namespace

// The file, read up to an optional end frame, in the output channel count.
class TempoStream::Decoder : public FrameSource {
public:
    ~Decoder() override {
        if (m_file) {
            sf_close(m_file);
        }
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }

    bool open(const std::string& path) {
        m_info = SF_INFO{};
        // A FIFO or device is refused instead of waited on. The descriptor
        // stays ours to close, whether libsndfile took the file or not.
        m_fd = openRegularFile(path);
        m_file = m_fd < 0 ? nullptr : sf_open_fd(m_fd, SFM_READ, &m_info, SF_FALSE);
        if (!m_file || m_info.channels <= 0 || m_info.samplerate <= 0) {
            return false;
        }
        m_raw.resize(kChunkFrames * static_cast<size_t>(m_info.channels));
        m_outChannels = m_info.channels;
        return true;
    }

    int rate() const { return m_info.samplerate; }
    int channels() const { return m_info.channels; }
    int64_t frames() const { return m_info.frames; }
    int64_t end() const { return m_end; }
    void setOutChannels(int channels) { m_outChannels = channels; }
    void setEnd(int64_t frame) { m_end = frame; }

    void seek(int64_t frame) {
        frame = std::clamp<int64_t>(frame, 0, std::max<int64_t>(m_info.frames, 0));
        m_position = sf_seek(m_file, frame, SEEK_SET) < 0 ? m_info.frames : frame;
    }

    size_t read(float* out, size_t frames, bool& ended) override {
        size_t done = 0;
        ended = false;
        while (done < frames) {
            size_t ask = std::min(frames - done, kChunkFrames);
            if (m_end >= 0) {
                ask = static_cast<size_t>(
                    std::clamp<int64_t>(m_end - m_position, 0, static_cast<int64_t>(ask)));
            }
            const sf_count_t got =
                ask == 0 ? 0 : sf_readf_float(m_file, m_raw.data(), static_cast<sf_count_t>(ask));
            for (sf_count_t i = 0; i < got; ++i) {
                mapChannels(m_raw.data() + i * m_info.channels, m_info.channels,
                            out + (done + static_cast<size_t>(i)) * m_outChannels, m_outChannels);
            }
            done += static_cast<size_t>(std::max<sf_count_t>(got, 0));
            m_position += std::max<sf_count_t>(got, 0);
            if (got <= 0 || static_cast<size_t>(got) < ask) {
                ended = true;
                break;
            }
        }
        return done;
    }

private:
    SNDFILE* m_file = nullptr;
    int m_fd = -1;
    SF_INFO m_info{};
    int m_outChannels = 1;
    int64_t m_position = 0;
    int64_t m_end = -1;
    std::vector<float> m_raw;
};

// Tempo and pitch change; passes frames through untouched at 1 and 0.
class TempoStream::Stretcher : public FrameSource {
public:
    explicit Stretcher(FrameSource& input) : m_input(input) {}

    void configure(int rate, int channels, double tempo, double pitch) {
        m_active = tempo != 1.0 || pitch != 0.0;
        m_buffer.resize(kChunkFrames * static_cast<size_t>(channels));
        if (!m_filter || m_filter->channels() != channels || m_rate != rate) {
            m_filter = std::make_unique<TempoFilter>(rate, channels);
            m_rate = rate;
        }
        m_filter->configure(tempo, pitch);
        clear();
    }

    void clear() {
        m_filter->clear();
        m_inputEnded = false;
    }

    size_t read(float* out, size_t frames, bool& ended) override {
        if (!m_active) {
            return m_input.read(out, frames, ended);
        }
        ended = false;
        const auto channels = static_cast<size_t>(m_filter->channels());
        size_t done = 0;
        while (done < frames) {
            done += m_filter->take(out + done * channels, frames - done);
            if (done == frames) {
                break;
            }
            if (m_inputEnded) {
                if (m_filter->isFlushed()) {
                    ended = true;
                    break;
                }
                m_filter->flush();
                continue;
            }
            bool inputEnded = false;
            const size_t n = m_input.read(m_buffer.data(), kChunkFrames, inputEnded);
            m_filter->put(m_buffer.data(), n);
            m_inputEnded = inputEnded;
            if (n == 0 && !inputEnded) {
                break;
            }
        }
        return done;
    }

private:
    FrameSource& m_input;
    std::unique_ptr<TempoFilter> m_filter;
    std::vector<float> m_buffer;
    int m_rate = 0;
    bool m_active = false;
    bool m_inputEnded = false;
};

TempoStream::TempoStream() = default;
TempoStream::~TempoStream() = default;

bool TempoStream::open(const std::string& path) {
    close();
    auto decoder = std::make_unique<Decoder>();
    if (!decoder->open(path)) {
        return false;
    }
    m_decoder = std::move(decoder);
    m_stretcher = std::make_unique<Stretcher>(*m_decoder);
    m_outputFrames = 0;
    {
        std::lock_guard lock(m_segmentsMutex);
        m_segments.clear();
    }
    setOutputFormat(0, 0, m_quality);
    return true;
}

void TempoStream::close() {
    m_resampler.reset();
    m_stretcher.reset();
    m_decoder.reset();
    std::lock_guard lock(m_segmentsMutex);
    m_segments.clear();
    m_outputFrames = 0;
}

bool TempoStream::isOpen() const {
    return m_decoder != nullptr;
}
int TempoStream::sourceRate() const {
    return m_decoder ? m_decoder->rate() : 0;
}
int TempoStream::sourceChannels() const {
    return m_decoder ? m_decoder->channels() : 0;
}
int64_t TempoStream::sourceFrames() const {
    return m_decoder ? m_decoder->frames() : 0;
}

void TempoStream::setOutputFormat(int rate, int channels, Resampler::Quality quality) {
    if (!m_decoder) {
        return;
    }
    const int64_t position = sourcePositionAt(m_outputFrames);
    m_outRate = rate > 0 ? rate : m_decoder->rate();
    m_outChannels = channels > 0 ? channels : m_decoder->channels();
    m_quality = quality;
    m_decoder->setOutChannels(m_outChannels);
    m_resampler = std::make_unique<Resampler>(static_cast<unsigned>(m_outChannels), quality);
    m_resampler->setRates(m_decoder->rate(), m_outRate);
    m_stretcher->configure(m_decoder->rate(), m_outChannels, m_tempo, m_pitch);
    restart(position);
}

void TempoStream::setTempo(double factor) {
    if (factor > 0.0 && factor != m_tempo) {
        m_tempo = factor;
        reconfigure();
    }
}

void TempoStream::setPitchSemitones(double semitones) {
    if (semitones != m_pitch) {
        m_pitch = semitones;
        reconfigure();
    }
}

void TempoStream::reconfigure() {
    if (m_decoder) {
        // Carries on from the frame last handed out, at the new settings.
        const int64_t position = sourcePositionAt(m_outputFrames);
        m_stretcher->configure(m_decoder->rate(), m_outChannels, m_tempo, m_pitch);
        restart(position);
    }
}

void TempoStream::seek(int64_t sourceFrame) {
    if (!m_decoder) {
        return;
    }
    m_decoder->setEnd(-1);
    restart(sourceFrame);
}

void TempoStream::moveTo(int64_t sourceFrame) {
    if (m_decoder) {
        restart(sourceFrame);
    }
}

void TempoStream::setEnd(int64_t sourceFrame) {
    if (m_decoder) {
        m_decoder->setEnd(std::max<int64_t>(sourceFrame, 0));
    }
}

void TempoStream::restart(int64_t sourceFrame) {
    m_decoder->seek(sourceFrame);
    m_stretcher->clear();
    m_resampler->reset();
    addSegment(std::clamp<int64_t>(sourceFrame, 0, std::max<int64_t>(sourceFrames(), 0)));
}

double TempoStream::sourcePerOutput() const {
    return m_tempo * static_cast<double>(sourceRate()) / static_cast<double>(m_outRate);
}

void TempoStream::addSegment(int64_t sourceFrame) {
    // Positions are asked for frames a little behind the newest, never far.
    constexpr size_t kKeep = 32;
    std::lock_guard lock(m_segmentsMutex);
    if (m_segments.size() >= kKeep) {
        m_segments.erase(m_segments.begin());
    }
    m_segments.push_back({m_outputFrames, sourceFrame, sourcePerOutput()});
}

size_t TempoStream::read(float* out, size_t frames, bool& ended) {
    ended = false;
    if (!m_decoder) {
        ended = true;
        return 0;
    }
    const size_t n = m_resampler->read(*m_stretcher, out, frames, ended);
    const float gain = m_gain.load(std::memory_order_relaxed);
    if (gain != 1.0f) {
        for (size_t i = 0; i < n * static_cast<size_t>(m_outChannels); ++i) {
            out[i] *= gain;
        }
    }
    m_outputFrames += static_cast<int64_t>(n);
    return n;
}

int64_t TempoStream::sourcePositionAt(int64_t outputFrame) const {
    std::lock_guard lock(m_segmentsMutex);
    if (m_segments.empty()) {
        return 0;
    }
    const Segment* segment = &m_segments.front();
    for (const Segment& s : m_segments) {
        if (s.outputStart <= outputFrame) {
            segment = &s;
        }
    }
    const double offset =
        static_cast<double>(std::max<int64_t>(outputFrame - segment->outputStart, 0)) *
        segment->sourcePerOutput;
    int64_t position = segment->sourceStart + static_cast<int64_t>(std::llround(offset));
    if (m_decoder && m_decoder->end() >= 0) {
        position = std::min(position, std::max(m_decoder->end(), segment->sourceStart));
    }
    return std::clamp<int64_t>(position, 0, std::max<int64_t>(sourceFrames(), 0));
}

}  // namespace pw
