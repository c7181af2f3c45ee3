// One voice of espeak-ng behind the speech engine interface. It speaks
// through the program's audio output, or into a WAV file in one of the 36
// stream formats, and reports each word as playback reaches it: a 100 ms
// timer of its hidden window polls on the user-interface thread, so the
// listener is only ever called there.
#pragma once

#include <memory>
#include <string>

#include "speech/EspeakEngine.h"
#include "speech/Sapi.h"
#include "speech/SapiException.h"
#include "speech/SapiWindow.h"
#include "speech/SpeechFormat.h"

namespace pw {

class PcmOutputStream;

// A failure of espeak-ng; its error code is an espeak-ng status.
class EspeakException : public SapiException {
public:
    using SapiException::SapiException;

protected:
    std::u16string codeText(int32_t errorCode) const override;
};

class EspeakSapi : public Sapi, public SapiWindowMessageListener {
public:
    static constexpr int kEventTimer = 1;
    static constexpr int kEventIntervalMs = 100;
    // Posted to the hidden window when a file has been written, so that its
    // end is reported at once rather than at the next tick of the timer.
    static constexpr unsigned kFileWrittenMessage = 0x8001;
    static constexpr const char16_t* kWindowClass = u"SAPI_CLASS";
    // In the dictionary folder "Lists/".
    static constexpr const char* kJapaneseReadingsName = "SynTTSDict.txt";

    EspeakSapi();
    ~EspeakSapi() override;

    bool isSpeaking() override;
    bool isPaused() override { return m_paused; }
    // Starts the engine, which the voice cannot do without.
    bool createWindow() override;
    void enumEnginNamesToComboBox(ChoiceList& list) override;
    void fillFormatComboBox(ChoiceList& list) override;
    bool changeFormat(ChoiceList& list) override;
    bool setDeviceId(uint32_t id) override;
    bool changeVoice(ChoiceList& list) override;
    std::string voiceLanguage(int64_t voice) const override;
    bool speak(const std::u16string& text, unsigned flags) override;
    bool speakToWav(const std::u16string& fileName, const std::u16string& text,
                    bool isXml) override;
    void stop() override;
    void pause() override;
    void resume() override;
    void setRate(int rate) override;
    void setPitch(int pitch) override;
    void setVolume(int volume) override;

    // Starts the engine; throws EspeakException when it cannot run.
    void createVoice();
    bool hasVoice() const { return m_voice >= 0; }
    // The voice's place in the engine's voice list, -1 when none.
    int voiceIndex() const { return m_voice; }
    bool isJapaneseVoice() const;
    // Whether the engine's voice voiceIndex speaks Japanese; false for an
    // index the engine does not have.
    static bool speaksJapanese(int voiceIndex);
    // The stream-format number files are written in.
    int formatNumber() const { return m_format; }

    bool onTimer(int timerId) override;
    bool onMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override;

    // Playback of the current speech, for measuring; null when there is none.
    const PcmOutputStream* outputStream() const;

    // How a rate of -10..10 is spoken: the words a minute espeak-ng is
    // given, and the tempo its sound is stretched to below its slowest.
    struct Pace {
        int wordsPerMinute;
        double tempo;
    };
    // 175 words a minute at 0, three times as fast at 10 (espeak-ng stops at
    // 450), and 3.5 times as slow at -10, each step a constant factor.
    static Pace pace(int rate);

private:
    // Normalises text, builds the utterance and hands it to the engine.
    bool startSpeaking(const std::u16string& text, unsigned flags,
                       std::unique_ptr<SpeechSink> sink);
    bool isUtteranceDone() const;
    void deliverWords();
    void restoreOutput();
    void releaseVoice();
    // Stops what is being said; a file being written is closed, whole, first.
    void dropUtterance();
    static void tellEngineMissing();
    // Numbers spelt with their place readings, then read through the
    // Japanese readings dictionary.
    void spellForJapaneseVoice(std::u16string& text, bool isXml);

    SapiWindow m_window;
    int m_voice = -1;
    int m_format;
    std::shared_ptr<Utterance> m_utterance;
    PcmOutputStream* m_stream = nullptr;  // inside m_utterance's sink
    size_t m_nextWord = 0;
};

}  // namespace pw
