// The mixing output stream.
#include "audio/OutputStream.h"

#include <pa_linux_alsa.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

#include "audio/AudioVoice.h"

namespace pw {
namespace {

// Runs open with the calling thread at real-time priority when the system
// allows it. The threads a device layer starts while it opens (the sound
// server's client thread behind ALSA, for one) inherit that priority, and
// the output is only as punctual as the slowest of them.
template <typename Open>
PaError openWithPriority(Open&& open) {
    sched_param saved{};
    int policy = SCHED_OTHER;
    pthread_getschedparam(pthread_self(), &policy, &saved);
    sched_param realtime{};
    realtime.sched_priority = 1;
    const bool raised = pthread_setschedparam(pthread_self(), SCHED_FIFO, &realtime) == 0;
    const PaError error = open();
    if (raised) {
        pthread_setschedparam(pthread_self(), policy, &saved);
    }
    return error;
}

}  // namespace

OutputStream::OutputStream(double latency, int sampleRate, unsigned long periodFrames)
    : m_latency(latency), m_sampleRate(sampleRate), m_periodFrames(periodFrames) {}

OutputStream::~OutputStream() {
    close();
}

PaError OutputStream::open(PaDeviceIndex device) {
    close();
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    if (!info || info->maxOutputChannels < kChannels) {
        return paInvalidDevice;
    }
    PaStreamParameters params{};
    params.device = device;
    params.channelCount = kChannels;
    params.sampleFormat = paFloat32;
    params.suggestedLatency = m_latency > 0 ? m_latency : info->defaultLowOutputLatency;
    PaStream* stream = nullptr;
    const unsigned long period = m_periodFrames > 0 ? m_periodFrames : paFramesPerBufferUnspecified;
    const PaError error = openWithPriority([&] {
        return Pa_OpenStream(&stream, nullptr, &params, m_sampleRate, period, paNoFlag, &callback,
                             this);
    });
    if (error != paNoError) {
        return error;
    }
    // The mix must be ready on time even on a busy machine; where the
    // system allows it, the output thread gets real-time priority.
    const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
    if (api && api->type == paALSA) {
        PaAlsa_EnableRealtimeScheduling(stream, 1);
    }
    std::lock_guard lock(m_streamMutex);
    m_stream = stream;
    m_running = false;
    const PaStreamInfo* streamInfo = Pa_GetStreamInfo(stream);
    m_deviceLatency = streamInfo ? streamInfo->outputLatency : params.suggestedLatency;
    return paNoError;
}

void OutputStream::close() {
    std::lock_guard lock(m_streamMutex);
    if (!m_stream) {
        return;
    }
    // Abort, not stop: a device being left need not play out its buffer.
    if (m_running) {
        Pa_AbortStream(m_stream);
    }
    Pa_CloseStream(m_stream);
    m_stream = nullptr;
    m_running = false;
    // Everything rendered so far counts as heard once the stream is gone.
    m_heardHighWater.store(m_rendered.load());
}

bool OutputStream::add(AudioVoice& voice) {
    for (auto& slot : m_voices) {
        AudioVoice* expected = nullptr;
        if (slot.compare_exchange_strong(expected, &voice)) {
            voice.m_stream.store(this);
            return true;
        }
    }
    return false;
}

void OutputStream::remove(AudioVoice& voice) {
    bool found = false;
    for (auto& slot : m_voices) {
        AudioVoice* expected = &voice;
        if (slot.compare_exchange_strong(expected, nullptr)) {
            found = true;
        }
    }
    if (!found) {
        return;
    }
    // A callback that began before the slot was cleared may still hold the
    // voice; wait for it to end. Later callbacks cannot see the voice.
    const uint64_t cycle = m_cycle.load();
    if (cycle & 1) {
        while (m_cycle.load() == cycle) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    voice.m_stream.store(nullptr);
}

bool OutputStream::hasVoices() const {
    return std::any_of(m_voices.begin(), m_voices.end(),
                       [](const auto& slot) { return slot.load() != nullptr; });
}

PaError OutputStream::run() {
    std::lock_guard lock(m_streamMutex);
    if (!m_stream) {
        return paNotInitialized;
    }
    m_lastStart = std::chrono::steady_clock::now();
    if (m_running && Pa_IsStreamActive(m_stream) == 1) {
        return paNoError;
    }
    if (Pa_IsStreamStopped(m_stream) == 0) {
        Pa_AbortStream(m_stream);
    }
    const PaError error = Pa_StartStream(m_stream);
    m_running = error == paNoError;
    return error;
}

void OutputStream::stopIfIdle(int idleMs) {
    std::lock_guard lock(m_streamMutex);
    if (!m_stream || !m_running) {
        return;
    }
    const int64_t idleFrames = static_cast<int64_t>(idleMs) * m_sampleRate / 1000;
    const bool quiet = m_rendered.load() - m_lastSoundFrame.load() > idleFrames;
    const bool oldStart =
        std::chrono::steady_clock::now() - m_lastStart > std::chrono::milliseconds(idleMs);
    if (quiet && oldStart) {
        // The quiet tail has long been played, so stopping loses nothing.
        Pa_StopStream(m_stream);
        m_running = false;
        m_heardHighWater.store(m_rendered.load());
    }
}

int64_t OutputStream::heardFrame() const {
    std::lock_guard lock(m_streamMutex);
    const int64_t rendered = m_rendered.load();
    if (!m_stream || !m_running) {
        return rendered;
    }
    int64_t frame = 0;
    double dacTime = 0.0;
    for (;;) {
        const uint64_t before = m_timingSequence.load(std::memory_order_acquire);
        if (before & 1) {
            continue;
        }
        frame = m_timingFrame.load(std::memory_order_relaxed);
        dacTime = m_timingDacTime.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (m_timingSequence.load(std::memory_order_relaxed) == before) {
            break;
        }
    }
    int64_t heard = rendered;
    if (dacTime > 0.0) {
        const double now = Pa_GetStreamTime(m_stream);
        heard = frame + static_cast<int64_t>(std::floor((now - dacTime) * m_sampleRate));
    } else {
        heard = rendered - static_cast<int64_t>(m_deviceLatency * m_sampleRate);
    }
    heard = std::clamp<int64_t>(heard, 0, rendered);
    // Never report going backwards, whatever the clock's jitter.
    int64_t high = m_heardHighWater.load();
    while (heard > high && !m_heardHighWater.compare_exchange_weak(high, heard)) {
    }
    return std::max(heard, high);
}

int OutputStream::callback(const void*, void* output, unsigned long frames,
                           const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags,
                           void* self) {
    static_cast<OutputStream*>(self)->process(static_cast<float*>(output), frames, time);
    return paContinue;
}

void OutputStream::process(float* out, unsigned long frames, const PaStreamCallbackTimeInfo* time) {
    m_cycle.fetch_add(1);
    std::memset(out, 0, frames * kChannels * sizeof(float));
    const int64_t first = m_rendered.load(std::memory_order_relaxed);
    int64_t frame = first;
    bool sound = false;
    for (unsigned long done = 0; done < frames;) {
        const size_t piece = std::min<size_t>(frames - done, kPieceFrames);
        for (auto& slot : m_voices) {
            AudioVoice* voice = slot.load();
            if (voice && voice->mixInto(out + done * kChannels, piece, frame) > 0) {
                sound = true;
            }
        }
        done += piece;
        frame += static_cast<int64_t>(piece);
    }
    for (unsigned long i = 0; i < frames * kChannels; ++i) {
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    }
    m_timingSequence.fetch_add(1, std::memory_order_acq_rel);
    m_timingFrame.store(first, std::memory_order_relaxed);
    m_timingDacTime.store(time ? time->outputBufferDacTime : 0.0, std::memory_order_relaxed);
    m_timingSequence.fetch_add(1, std::memory_order_release);
    m_rendered.store(frame);
    if (sound) {
        m_lastSoundFrame.store(frame);
    }
    m_cycle.fetch_add(1);
}

}  // namespace pw
