// The sound output: device opening, device change, voices and idle streams.
#include "audio/AudioEngine.h"

#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "audio/AudioVoice.h"
#include "audio/OutputStream.h"
#include "core/Thread.h"
#include "core/UiServices.h"
#include "core/Utf.h"

namespace pw {
namespace {

// Players and speech can afford some delay; a stream this deep survives a
// busy machine without gaps.
constexpr double kNormalLatency = 0.1;
// 10 ms a callback: a play or pause takes effect within that.
constexpr unsigned long kNormalPeriod = 441;

// How often the feeder tops up the fed voices when nobody wakes it.
constexpr int kFeedIntervalMs = 5;

constexpr const char16_t* kDeviceFailedText =
    u"Failed BASS_Init in setOutputDevice()\nCan't initialize device";

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
void quietJack(const char*) {}

// Device enumeration probes every ALSA and JACK device the configuration
// names and prints a line for each one that is missing, and ALSA reports
// each underrun it recovers from. None of that is news to the user, so the
// libraries are kept quiet; failures reach the user through our own box.
void quietLibraries() {
    using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    if (auto set = reinterpret_cast<int (*)(AlsaHandler)>(
            dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler"))) {
        set(&quietAlsa);
    }
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"}) {
        if (auto set =
                reinterpret_cast<void (*)(void (*)(const char*))>(dlsym(RTLD_DEFAULT, name))) {
            set(&quietJack);
        }
    }
}

PaDeviceIndex outputDeviceIndex(int device) {
    if (device < 0) {
        return Pa_GetDefaultOutputDevice();
    }
    int seen = 0;
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info && info->maxOutputChannels > 0 && seen++ == device) {
            return i;
        }
    }
    return paNoDevice;
}

}  // namespace

void showAudioMessage(const std::u16string& text, const std::u16string& caption, unsigned flags) {
    if (ui().isUiThread()) {
        messageBox(text, flags, caption);
    } else {
        ui().post([text, caption, flags] { messageBox(text, flags, caption); });
    }
}

void showAudioError(const std::u16string& text, int code) {
    const std::u16string message =
        text + u"\n\n(error code: " + fromUtf8(std::to_string(code)) + u")";
    showAudioMessage(message, u"Error", MbOk | MbIconWarning);
}

class AudioEngine::Keeper : public Thread {
public:
    explicit Keeper(AudioEngine& engine) : m_engine(engine) {}
    ~Keeper() override { stop(); }

protected:
    void run() override {
        while (!stopRequested()) {
            sleepUnlessStopped(250);
            m_engine.housekeep();
        }
    }

private:
    AudioEngine& m_engine;
};

// Makes the sound of the fed voices ahead of the output. Above every
// ordinary thread where the system allows it, so that a busy machine does
// not leave the output without sound.
class AudioEngine::Feeder : public Thread {
public:
    Feeder() { wakeEvent(); }
    ~Feeder() override { stop(); }

    void add(FedVoice& voice) {
        {
            std::lock_guard lock(m_mutex);
            if (std::find(m_voices.begin(), m_voices.end(), &voice) == m_voices.end()) {
                m_voices.push_back(&voice);
            }
        }
        wake();
    }
    // Returns once the feeder no longer touches voice.
    void remove(FedVoice& voice) {
        std::lock_guard lock(m_mutex);
        std::erase(m_voices, &voice);
    }
    void wake() { wakeEvent().set(); }

protected:
    void run() override {
        sched_param realtime{};
        realtime.sched_priority = 1;
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &realtime);
        while (!stopRequested()) {
            {
                std::lock_guard lock(m_mutex);
                for (FedVoice* voice : m_voices) {
                    voice->feed();
                }
            }
            wakeEvent().wait(kFeedIntervalMs);
            wakeEvent().reset();
        }
    }

private:
    std::mutex m_mutex;
    std::vector<FedVoice*> m_voices;
};

AudioEngine& AudioEngine::instance() {
    // Never destroyed: players held in static objects may still detach at
    // exit. shutdown() closes the device instead.
    static AudioEngine* engine = new AudioEngine;
    return *engine;
}

AudioEngine::AudioEngine()
    : m_normal(std::make_unique<OutputStream>(kNormalLatency, kSampleRate, kNormalPeriod)),
      m_low(std::make_unique<OutputStream>(0.0, kSampleRate)),
      m_keeper(std::make_unique<Keeper>(*this)),
      m_feeder(std::make_unique<Feeder>()) {}

AudioEngine::~AudioEngine() {
    shutdown();
}

bool AudioEngine::openLocked(int device) {
    PaError error = paNoError;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        closeLocked();
        quietLibraries();
        error = Pa_Initialize();
        if (error != paNoError) {
            continue;
        }
        m_paInitialized = true;
        const PaDeviceIndex index = outputDeviceIndex(device);
        if (index == paNoDevice) {
            error = paInvalidDevice;
            continue;
        }
        error = m_normal->open(index);
        if (error == paNoError) {
            // Without a second stream, short sounds share the normal one.
            m_low->open(index);
            break;
        }
    }
    m_device = device;
    m_available = error == paNoError;
    if (!m_available) {
        closeLocked();
        m_lastError = kAudioErrorDevice;
        return false;
    }
    if (!m_keeper->isRunning()) {
        m_keeper->start();
    }
    if (!m_feeder->isRunning()) {
        m_feeder->start();
    }
    for (OutputStream* stream : {m_normal.get(), m_low.get()}) {
        if (stream->isOpen() && stream->hasVoices()) {
            stream->run();
        }
    }
    return true;
}

void AudioEngine::closeLocked() {
    m_normal->close();
    m_low->close();
    if (m_paInitialized) {
        Pa_Terminate();
        m_paInitialized = false;
    }
    m_available = false;
}

bool AudioEngine::initialize() {
    std::lock_guard lock(m_mutex);
    if (m_tried) {
        return m_available;
    }
    m_tried = true;
    static const bool registered = [] {
        std::atexit([] { AudioEngine::instance().shutdown(); });
        return true;
    }();
    (void)registered;
    return openLocked(-1);
}

void AudioEngine::initializeInBackground() {
    std::lock_guard lock(m_openerMutex);
    if (!m_opener.joinable()) {
        m_opener = std::thread([this] { initialize(); });
    }
}

void AudioEngine::joinOpener() {
    std::lock_guard lock(m_openerMutex);
    if (m_opener.joinable() && m_opener.get_id() != std::this_thread::get_id()) {
        m_opener.join();
    }
}

bool AudioEngine::isAvailable() {
    std::lock_guard lock(m_mutex);
    return m_available;
}

bool AudioEngine::setOutputDevice(int device) {
    {
        std::lock_guard lock(m_mutex);
        m_tried = true;
        if (openLocked(device)) {
            return true;
        }
    }
    showAudioError(kDeviceFailedText, kAudioErrorDevice);
    return false;
}

int AudioEngine::outputDevice() {
    std::lock_guard lock(m_mutex);
    return m_device;
}

std::vector<std::string> AudioEngine::outputDeviceNames() {
    std::vector<std::string> names;
    if (!initialize()) {
        return names;
    }
    std::lock_guard lock(m_mutex);
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info && info->maxOutputChannels > 0) {
            names.emplace_back(info->name ? info->name : "");
        }
    }
    return names;
}

OutputStream& AudioEngine::streamFor(Latency latency) {
    return latency == Latency::Low && m_low->isOpen() ? *m_low : *m_normal;
}

bool AudioEngine::attach(AudioVoice& voice, Latency latency) {
    if (!initialize()) {
        std::lock_guard lock(m_mutex);
        m_lastError = kAudioErrorInit;
        return false;
    }
    FedVoice* fed = voice.fed();
    if (fed && !voice.isAttached()) {
        // Nothing else touches a voice that is not attached: the first
        // sound is made here, so that it plays with the next callback.
        fed->feed();
    }
    std::lock_guard lock(m_mutex);
    if (!m_available) {
        m_lastError = kAudioErrorInit;
        return false;
    }
    if (voice.isAttached()) {
        return wake(voice);
    }
    OutputStream& stream = streamFor(latency);
    if (!stream.add(voice)) {
        m_lastError = kAudioErrorMemory;
        return false;
    }
    if (fed) {
        m_feeder->add(*fed);
    }
    if (stream.run() != paNoError) {
        detach(voice);
        m_lastError = kAudioErrorStart;
        return false;
    }
    return true;
}

void AudioEngine::detach(AudioVoice& voice) {
    std::lock_guard lock(m_mutex);
    m_normal->remove(voice);
    m_low->remove(voice);
    if (FedVoice* fed = voice.fed()) {
        m_feeder->remove(*fed);
    }
}

bool AudioEngine::wake(AudioVoice& voice) {
    std::lock_guard lock(m_mutex);
    if (!m_available) {
        return false;
    }
    if (voice.fed()) {
        m_feeder->wake();
    }
    for (OutputStream* stream : {m_normal.get(), m_low.get()}) {
        if (voice.m_stream.load() == stream) {
            return stream->run() == paNoError;
        }
    }
    return false;
}

void AudioEngine::setIdleStopMs(int ms) {
    std::lock_guard lock(m_mutex);
    m_idleStopMs = ms;
}

void AudioEngine::housekeep() {
    std::lock_guard lock(m_mutex);
    m_normal->stopIfIdle(m_idleStopMs);
    m_low->stopIfIdle(m_idleStopMs);
}

void AudioEngine::shutdown() {
    joinOpener();
    // The keeper takes the lock itself, so it is stopped first.
    m_keeper->stop();
    m_feeder->stop();
    std::lock_guard lock(m_mutex);
    closeLocked();
    m_tried = false;
}

int AudioEngine::lastError() {
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

}  // namespace pw
