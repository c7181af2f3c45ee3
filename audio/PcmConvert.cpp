// Resampling and channel remapping of 16-bit PCM.
#include "audio/PcmConvert.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace pw {
namespace {

// Collects output samples and hands them to the sink in large pieces.
class Batch {
public:
    explicit Batch(PcmSink& sink) : m_sink(sink) { m_buffer.reserve(kSize); }
    bool add(int16_t sample) {
        m_buffer.push_back(sample);
        return m_buffer.size() < kSize || flush();
    }
    bool flush() {
        const bool ok = m_buffer.empty() || m_sink.put(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
        return ok;
    }

private:
    static constexpr size_t kSize = 1 << 16;
    PcmSink& m_sink;
    std::vector<int16_t> m_buffer;
};

int16_t sincSample(const int16_t* samples, size_t frames, unsigned channels, unsigned channel,
                   double t) {
    const auto c = static_cast<int64_t>(t);
    const int64_t first = std::max<int64_t>(c - 12, 0);
    const int64_t last = std::min<int64_t>(c + 13, static_cast<int64_t>(frames));
    // sin(pi (t - k)) differs from sin(pi (t - c)) only in sign, so one sine serves every tap.
    const double base = std::sin(std::numbers::pi * (t - static_cast<double>(c)));
    double y = 0.0;
    for (int64_t k = first; k < last; ++k) {
        const double a = std::numbers::pi * (t - static_cast<double>(k));
        double weight;
        if (std::fabs(a) < 0.00001) {
            weight = 1.0;
        } else {
            const double s = ((c - k) % 2 == 0) ? base : -base;
            weight = s / a;
        }
        y += samples[static_cast<size_t>(k) * channels + channel] / 32768.0 * weight;
    }
    const double level = std::clamp((y + 1.0) * 0.5 * 65535.0, 0.0, 65535.0);
    return static_cast<int16_t>(static_cast<int32_t>(level - 32768.0));
}

}  // namespace

uint64_t resampledFrameCount(uint64_t frames, uint32_t fromRate, uint32_t toRate) {
    if (fromRate == 0) {
        return 0;
    }
    // Frames below 2^32 and rates below 2^32 keep the product inside 128 bits;
    // long double keeps the rounding honest for any WAV file.
    const long double exact = static_cast<long double>(frames) * toRate / fromRate;
    return static_cast<uint64_t>(std::llround(exact));
}

bool resamplePcm(const int16_t* samples, size_t frames, unsigned channels, uint32_t fromRate,
                 uint32_t toRate, PcmSink& sink) {
    if (channels == 0 || fromRate == 0 || toRate == 0) {
        return false;
    }
    Batch out(sink);
    if (frames == 0) {
        return true;
    }
    if (static_cast<uint64_t>(fromRate) * 2 == toRate) {
        for (size_t i = 0; i < frames; ++i) {
            for (unsigned ch = 0; ch < channels; ++ch) {
                if (!out.add(samples[i * channels + ch])) {
                    return false;
                }
            }
            const size_t next = i + 1 < frames ? i + 1 : i;
            for (unsigned ch = 0; ch < channels; ++ch) {
                const int a = samples[i * channels + ch];
                const int b = samples[next * channels + ch];
                if (!out.add(static_cast<int16_t>((a + b) / 2))) {
                    return false;
                }
            }
        }
        return out.flush();
    }
    const uint64_t count = resampledFrameCount(frames, fromRate, toRate);
    const double step = static_cast<double>(fromRate) / toRate;
    for (uint64_t j = 0; j < count; ++j) {
        const double t = static_cast<double>(j) * step;
        for (unsigned ch = 0; ch < channels; ++ch) {
            if (!out.add(sincSample(samples, frames, channels, ch, t))) {
                return false;
            }
        }
    }
    return out.flush();
}

bool remapPcmChannels(const int16_t* samples, size_t frames, unsigned fromChannels,
                      unsigned toChannels, PcmSink& sink) {
    const bool doubling = fromChannels * 2 == toChannels;
    const bool halving = toChannels * 2 == fromChannels;
    if (fromChannels == 0 || (!doubling && !halving)) {
        return false;
    }
    Batch out(sink);
    for (size_t i = 0; i < frames; ++i) {
        const int16_t* frame = samples + i * fromChannels;
        const unsigned copies = doubling ? 2 : 1;
        const unsigned width = doubling ? fromChannels : toChannels;
        for (unsigned copy = 0; copy < copies; ++copy) {
            for (unsigned ch = 0; ch < width; ++ch) {
                if (!out.add(frame[ch])) {
                    return false;
                }
            }
        }
    }
    return out.flush();
}

}  // namespace pw
