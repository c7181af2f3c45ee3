// Re-timing with SoundTouch.
#include "audio/TempoFilter.h"

#include <SoundTouch.h>

#include <algorithm>
#include <cmath>

namespace pw {

TempoFilter::TempoFilter(int rate, int channels)
    : m_touch(std::make_unique<soundtouch::SoundTouch>()), m_channels(std::max(channels, 1)) {
    m_touch->setSampleRate(static_cast<unsigned>(std::max(rate, 1)));
    m_touch->setChannels(static_cast<unsigned>(m_channels));
}

TempoFilter::~TempoFilter() = default;

void TempoFilter::configure(double tempo, double semitones) {
    m_tempo = tempo > 0.0 ? tempo : 1.0;
    m_touch->setTempo(m_tempo);
    m_touch->setPitchSemiTones(semitones);
    clear();
}

void TempoFilter::clear() {
    m_touch->clear();
    m_expected = 0.0;
    m_received = 0;
    m_flushed = false;
}

void TempoFilter::put(const float* frames, size_t n) {
    if (n == 0) {
        return;
    }
    m_touch->putSamples(frames, static_cast<uint>(n));
    m_expected += static_cast<double>(n) / m_tempo;
}

void TempoFilter::flush() {
    if (!m_flushed) {
        m_touch->flush();
        m_flushed = true;
    }
}

size_t TempoFilter::take(float* out, size_t frames) {
    if (m_flushed) {
        // The flush pads with silence; only the frames the input accounts
        // for are real.
        const auto left = static_cast<int64_t>(std::llround(m_expected)) - m_received;
        frames = static_cast<size_t>(std::clamp<int64_t>(left, 0, static_cast<int64_t>(frames)));
    }
    if (frames == 0) {
        return 0;
    }
    const uint got = m_touch->receiveSamples(out, static_cast<uint>(frames));
    m_received += got;
    return got;
}

}  // namespace pw
