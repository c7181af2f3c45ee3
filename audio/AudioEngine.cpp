// The sound output: device opening, device change, voices and idle streams.
#include "audio/AudioEngine.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <thread>

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

constexpr const char16_t* kInitFailedText = u"Failed BASS_Init\nCan't initialize output device";
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

AudioEngine& AudioEngine::instance() {
    // Never destroyed: players held in static objects may still detach at
    // exit. shutdown() closes the device instead.
    static AudioEngine* engine = new AudioEngine;
    return *engine;
}

AudioEngine::AudioEngine()
    : m_normal(std::make_unique<OutputStream>(kNormalLatency, kSampleRate, kNormalPeriod)),
      m_low(std::make_unique<OutputStream>(0.0, kSampleRate)),
      m_keeper(std::make_unique<Keeper>(*this)) {}

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
    {
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
        if (openLocked(-1)) {
            return true;
        }
    }
    showAudioError(kInitFailedText, kAudioErrorDevice);
    return false;
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
    initialize();
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
    if (stream.run() != paNoError) {
        stream.remove(voice);
        m_lastError = kAudioErrorStart;
        return false;
    }
    return true;
}

void AudioEngine::detach(AudioVoice& voice) {
    std::lock_guard lock(m_mutex);
    m_normal->remove(voice);
    m_low->remove(voice);
}

bool AudioEngine::wake(AudioVoice& voice) {
    std::lock_guard lock(m_mutex);
    if (!m_available) {
        return false;
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
    // The keeper takes the lock itself, so it is stopped first.
    m_keeper->stop();
    std::lock_guard lock(m_mutex);
    closeLocked();
    m_tried = false;
}

int AudioEngine::lastError() {
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

}  // namespace pw
