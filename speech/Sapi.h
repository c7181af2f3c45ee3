// The speech engine interface: one voice that speaks asynchronously, tells a
// listener on the user-interface thread where it is, and writes speech into
// WAV files. Rates and pitches run from -10 to 10, volumes from 0 to 100.
#pragma once

#include <cstdint>
#include <string>

#include "speech/SapiEvent.h"

namespace pw {

class ChoiceList;

class Sapi {
public:
    // speak() flags.
    static constexpr unsigned kSpeakIsXml = 1;         // the text is speech markup
    static constexpr unsigned kSpeakNoEventTimer = 2;  // no events: the caller polls
    // m_speakFlags values.
    static constexpr uint32_t kFlagIsXml = 8;
    static constexpr uint32_t kFlagIsNotXml = 16;

    virtual ~Sapi() = default;

    // Events go to listener, carrying owner (null: none).
    void setListener(SapiEventListener* listener, void* owner);

    // Speaking or paused in the middle of speech.
    virtual bool isSpeaking() = 0;
    virtual bool isPaused() = 0;
    // Makes the hidden window through which events are delivered.
    virtual bool createWindow() = 0;
    // Fills list with the voices and selects the engine's default.
    virtual void enumEnginNamesToComboBox(ChoiceList& list) = 0;
    // Fills list with the 36 stream formats and selects the voice's.
    virtual void fillFormatComboBox(ChoiceList& list) = 0;
    // Takes the format selected in list for what the voice writes.
    virtual bool changeFormat(ChoiceList& list) = 0;
    virtual bool setDeviceId(uint32_t id) = 0;
    // Takes the voice selected in list; false when none is selected.
    virtual bool changeVoice(ChoiceList& list) = 0;
    // The language ("en-us", "ja") of the voice that an entry filled in by
    // enumEnginNamesToComboBox carries; empty when unknown.
    virtual std::string voiceLanguage(int64_t voice) const {
        (void)voice;
        return {};
    }
    // Starts speaking text (kSpeak... flags) and returns at once; false when
    // it could not start. Speaking while paused resumes instead.
    virtual bool speak(const std::u16string& text, unsigned flags) = 0;
    // Speaks text into fileName in the chosen format; throws SapiException
    // when the file cannot be begun.
    virtual bool speakToWav(const std::u16string& fileName, const std::u16string& text,
                            bool isXml) = 0;
    virtual void stop() = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void setRate(int rate) = 0;
    virtual void setPitch(int pitch) = 0;
    virtual void setVolume(int volume) = 0;
    virtual int getVolume() { return m_volume; }
    virtual int getPitch() { return m_pitch; }
    virtual int getRate() { return m_rate; }
    virtual int getMinRate() { return -10; }
    virtual int getMaxRate() { return 10; }
    virtual int getMinPitch() { return -10; }
    virtual int getMaxPitch() { return 10; }

    bool isWritingFile() const { return m_wavMode; }
    const std::u16string& spokenText() const { return m_spokenText; }
    const std::u16string& wavFileName() const { return m_wavFileName; }

protected:
    // Sends the listener an event of type with the current event record.
    void notify(int32_t type);

    SapiEventListener* m_listener = nullptr;
    SapiEvent m_event;
    bool m_wavMode = false;
    bool m_paused = false;
    int m_rate = 0;
    int m_pitch = 0;
    int m_volume = 100;
    uint32_t m_deviceId = 0;
    uint32_t m_speakFlags = 0;
    std::u16string m_wavFileName;
    std::u16string m_spokenText;
};

}  // namespace pw
