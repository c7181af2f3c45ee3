// Speech to the speakers and into WAV files.
#include "speech/SpeechSinks.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>

#include "audio/WavFile.h"

namespace pw {
namespace {

// A minute of speech ahead of playback: the worker never waits for the
// speakers on ordinary sentences, and stops waiting once playback is stopped.
constexpr double kQueueSeconds = 60.0;

std::vector<float> resample(const std::vector<int16_t>& samples, int toRate) {
    std::vector<float> in(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        in[i] = samples[i] / 32768.0f;
    }
    if (toRate == EspeakEngine::kSampleRate || in.empty()) {
        return in;
    }
    const double ratio = static_cast<double>(toRate) / EspeakEngine::kSampleRate;
    std::vector<float> out(static_cast<size_t>(std::ceil(in.size() * ratio)) + 16);
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = static_cast<long>(in.size());
    data.data_out = out.data();
    data.output_frames = static_cast<long>(out.size());
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_FASTEST, 1) != 0) {
        return {};
    }
    out.resize(static_cast<size_t>(data.output_frames_gen));
    return out;
}

}  // namespace

PlaybackSink::PlaybackSink() : m_stream(EspeakEngine::kSampleRate, 1, kQueueSeconds) {}

bool PlaybackSink::write(const int16_t* samples, size_t frames) {
    size_t done = 0;
    while (done < frames) {
        if (isCancelled()) {
            return false;
        }
        done += m_stream.write(samples + done, frames - done, 100);
    }
    return true;
}

void PlaybackSink::finish(bool) {
    m_stream.finish();
}

WavSink::WavSink(std::string path, const SpeechFormat& format)
    : m_format(format), m_writer(std::move(path)) {}

bool WavSink::open() {
    return m_writer.open();
}

bool WavSink::write(const int16_t* samples, size_t frames) {
    m_samples.insert(m_samples.end(), samples, samples + frames);
    return true;
}

std::string WavSink::convert(const std::vector<int16_t>& samples, const SpeechFormat& format) {
    const std::vector<float> mono = resample(samples, format.rate);
    const size_t bytesPerSample = format.bits / 8;
    std::string data;
    data.reserve(mono.size() * bytesPerSample * static_cast<size_t>(format.channels));
    for (float sample : mono) {
        const long value = std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
        for (int c = 0; c < format.channels; ++c) {
            if (format.bits == 8) {
                // 8-bit WAV samples are unsigned, silence at 128.
                data += static_cast<char>(std::clamp((value + 32768 + 128) >> 8, 0L, 255L));
            } else {
                data += static_cast<char>(value & 0xFF);
                data += static_cast<char>((value >> 8) & 0xFF);
            }
        }
    }
    return data;
}

void WavSink::finish(bool) {
    const std::string data = convert(m_samples, m_format);
    const WaveFormat wave =
        pcmFormat(static_cast<uint32_t>(m_format.rate), static_cast<uint16_t>(m_format.channels),
                  static_cast<uint16_t>(m_format.bits));
    m_written = m_writer.write(wavHeader(wave, static_cast<uint32_t>(data.size()))) &&
                m_writer.write(data) && m_writer.commit();
    if (!m_written) {
        m_writer.abandon();
    }
}

}  // namespace pw
