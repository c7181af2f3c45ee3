// The two voices of the sentence speaker: voice 1 (index 0) speaks sentences,
// voice 2 (index 1) translations; any other index means voice 1. TTS passes
// every speech event on to its listener and finishes WAV conversions.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "speech/Sapi.h"
#include "speech/SapiEvent.h"

namespace pw {

class ChoiceList;

class TTS : public SapiEventListener {
public:
    using VoiceFactory = std::function<std::unique_ptr<Sapi>()>;

    // convertToWavFile results.
    static constexpr int kConvertStarted = 0;
    static constexpr int kConvertFailed = 1;
    static constexpr int kConvertEmptyText = 2;
    static constexpr int kConvertNoVoice = 3;

    // Voices are espeak-ng voices unless a factory makes others.
    explicit TTS(VoiceFactory factory = {});
    ~TTS() override;

    // Makes both voices with their hidden windows; false (with a box) when
    // one could not be made, whose slot then stays empty.
    bool init();

    void setListener(SapiEventListener* listener) { m_listener = listener; }

    // Fills list with the voices, unless it holds entries already.
    void enumVoices(int index, ChoiceList& list);
    void fillFormats(ChoiceList& list);

    bool isSpeaking();
    void setRate(int index, int rate);
    void setVolume(int index, int volume);
    void setFormat(int index, ChoiceList& list);
    // Remembers list's selection and gives it to the voice; true without a voice.
    bool changeVoice(int index, ChoiceList& list);

    bool speak(const std::u16string& text, int index, unsigned flags);
    void stop();
    // Pauses both voices, or resumes them when paused; only while speaking.
    bool togglePause();
    void resume();
    bool isPaused() const { return m_paused; }

    // Starts writing text into fileName with the voice; kConvert... result.
    // Markup text (isXml) has each "<" that starts no tag blanked first. A
    // file that ends up empty is deleted when the voice finishes.
    int convertToWavFile(const std::u16string& text, const std::u16string& fileName, int index,
                         bool isXml);
    bool isConverting() const { return m_converting; }

    void onSapiEvent(const SapiEvent& event) override;

    // The voice of index (voice 1 for any other index); null when missing.
    Sapi* voice(int index) const;
    int selection(int index) const { return m_selection[slot(index)]; }
    bool lastResult() const { return m_lastResult; }

private:
    static size_t slot(int index) { return index == 1 ? 1 : 0; }
    void endConversion();

    VoiceFactory m_factory;
    SapiEventListener* m_listener = nullptr;
    std::u16string m_wavFileName;
    bool m_converting = false;
    bool m_failed = false;
    size_t m_convertingVoice = 0;
    std::array<std::unique_ptr<Sapi>, 2> m_voices;
    std::array<int, 2> m_selection{0, 0};
    bool m_lastResult = false;
    bool m_paused = false;
};

}  // namespace pw
