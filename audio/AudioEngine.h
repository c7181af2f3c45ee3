// The process-wide owner of the sound output. It opens the output device on
// first use, or in the background at start-up (PortAudio; on Linux the ALSA
// default device, which PulseAudio serves), mixes every voice that plays into
// it, and moves to another device on request. Players, PCM streams and the
// key click all play through it. The sound of fed voices is made ahead on its
// feeder thread, so the device's callback only copies and mixes samples.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pw {

class AudioVoice;
class OutputStream;

// Error codes shown in the "(error code: %d)" line of an audio error box.
enum AudioError : int {
    kAudioOk = 0,
    kAudioErrorFileOpen = 2,  // the file cannot be opened
    kAudioErrorHandle = 5,    // nothing is open to play
    kAudioErrorFormat = 6,    // the file is not a sound format we read
    kAudioErrorInit = 8,      // the output is not available
    kAudioErrorStart = 9,     // the output could not be started
    kAudioErrorDevice = 23,   // no such output device, or it failed to open
    kAudioErrorMemory = 1,
};

// Shows a box with an OK button. Off the user-interface thread the box is
// handed to that thread, so a worker never waits for the user.
void showAudioMessage(const std::u16string& text, const std::u16string& caption, unsigned flags);
// Shows text in the audio error box: caption "Error", exclamation icon,
// "text\n\n(error code: code)".
void showAudioError(const std::u16string& text, int code);

class AudioEngine {
public:
    // The rate at which every voice is mixed and the device is opened.
    static constexpr int kSampleRate = 44100;

    // Normal suits players and speech; Low, the lowest delay the device
    // allows, suits short sounds that must follow a key press at once.
    enum class Latency { Normal, Low };

    static AudioEngine& instance();

    // Opens the default output on first use, retrying once after 100 ms.
    // A failure says nothing (those who play tell the learner, each in its
    // own words); later calls answer false at once.
    bool initialize();
    // Starts initialize() on a thread of its own and returns at once, so
    // that the first sound finds the output open; initialize() and attach()
    // wait for it.
    void initializeInBackground();
    bool isAvailable();

    // Reopens the output on output device number device (-1 = the system's
    // default), counting only devices that can play; the voices that play
    // go on there. A failure is shown; the output then stays closed.
    bool setOutputDevice(int device);
    int outputDevice();
    // The names of the output devices, in the order setOutputDevice counts.
    std::vector<std::string> outputDeviceNames();

    // Starts mixing voice (opening the output on first use); false when
    // there is no output or no free voice. A voice plays on one stream only.
    bool attach(AudioVoice& voice, Latency latency = Latency::Normal);
    // Stops mixing voice; returns once the output no longer touches it.
    void detach(AudioVoice& voice);
    // Restarts the voice's stream if it was stopped while idle; call when an
    // attached voice has new sound (resumed, fed, triggered).
    bool wake(AudioVoice& voice);

    // How long a stream that plays nothing keeps running (2000 ms).
    void setIdleStopMs(int ms);
    // Closes the output; attach() opens it again. Run at exit.
    void shutdown();

    // The error code of the last failure.
    int lastError();

private:
    AudioEngine();
    ~AudioEngine();

    bool openLocked(int device);
    void closeLocked();
    OutputStream& streamFor(Latency latency);
    void housekeep();
    void joinOpener();
    class Keeper;
    class Feeder;

    std::recursive_mutex m_mutex;
    bool m_tried = false;
    bool m_available = false;
    bool m_paInitialized = false;
    int m_device = -1;
    int m_lastError = kAudioOk;
    int m_idleStopMs = 2000;
    std::unique_ptr<OutputStream> m_normal;
    std::unique_ptr<OutputStream> m_low;
    std::unique_ptr<Keeper> m_keeper;
    std::unique_ptr<Feeder> m_feeder;
    std::mutex m_openerMutex;
    std::thread m_opener;
};

}  // namespace pw
