// Sample-rate conversion over libsamplerate.
#include "audio/Resampler.h"

#include <samplerate.h>

#include <cstring>

namespace pw {

Resampler::Resampler(unsigned channels, Quality quality)
    : m_channels(channels), m_quality(quality), m_input(kChunkFrames * channels) {}

Resampler::~Resampler() {
    if (m_state) {
        src_delete(m_state);
    }
}

void Resampler::setRates(double fromRate, double toRate) {
    m_ratio = (fromRate > 0 && toRate > 0) ? toRate / fromRate : 1.0;
    if (!isPassThrough() && !m_state) {
        int error = 0;
        const int type = m_quality == Quality::Good ? SRC_SINC_MEDIUM_QUALITY : SRC_SINC_FASTEST;
        m_state = src_new(type, static_cast<int>(m_channels), &error);
    }
    reset();
}

void Resampler::reset() {
    if (m_state) {
        src_reset(m_state);
    }
    m_staged = 0;
    m_sourceEnded = false;
    m_drained = false;
}

size_t Resampler::read(FrameSource& source, float* out, size_t frames, bool& ended) {
    ended = false;
    if (isPassThrough() || !m_state) {
        return source.read(out, frames, ended);
    }
    if (m_drained) {
        ended = true;
        return 0;
    }
    size_t produced = 0;
    while (produced < frames) {
        bool starved = false;
        if (!m_sourceEnded && m_staged < kChunkFrames) {
            bool sourceEnded = false;
            const size_t n = source.read(m_input.data() + m_staged * m_channels,
                                         kChunkFrames - m_staged, sourceEnded);
            m_staged += n;
            m_sourceEnded = sourceEnded;
            starved = n == 0 && !sourceEnded;
        }
        SRC_DATA data{};
        data.data_in = m_input.data();
        data.input_frames = static_cast<long>(m_staged);
        data.data_out = out + produced * m_channels;
        data.output_frames = static_cast<long>(frames - produced);
        data.end_of_input = m_sourceEnded ? 1 : 0;
        data.src_ratio = m_ratio;
        if (src_process(m_state, &data) != 0) {
            m_drained = true;
            ended = true;
            return produced;
        }
        const auto used = static_cast<size_t>(data.input_frames_used);
        if (used > 0) {
            std::memmove(m_input.data(), m_input.data() + used * m_channels,
                         (m_staged - used) * m_channels * sizeof(float));
            m_staged -= used;
        }
        produced += static_cast<size_t>(data.output_frames_gen);
        if (data.output_frames_gen == 0 && used == 0) {
            if (m_sourceEnded) {
                m_drained = true;
                ended = true;
            }
            break;
        }
        if (starved && data.output_frames_gen == 0) {
            break;
        }
    }
    return produced;
}

}  // namespace pw
