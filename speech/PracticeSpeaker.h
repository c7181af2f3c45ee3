// Practice speaks through the speaker: sentences and words with voice 1,
// translations with voice 2, recorded sentences through its player.
#pragma once

#include "speech/IPracticeSpeaker.h"
#include "speech/Speaker.h"

namespace pw {

class PracticeSpeaker : public IPracticeSpeaker {
public:
    explicit PracticeSpeaker(Speaker& speaker) : m_speaker(speaker) {}

    void speakSentence(const std::u16string& text) override { m_speaker.speak(text, 0); }
    void speakTranslation(const std::u16string& text) override { m_speaker.speak(text, 1); }
    void speakWord(const std::u16string& word) override { m_speaker.speak(word, 0); }
    // An end of -1 (to the end of the file) becomes an end no file reaches,
    // since the player stops once its position passes the end it was given.
    bool playRecording(const std::string& path, int startMs, int endMs) override;
    // Recorded audio as well as speech.
    void stop() override { m_speaker.stopPlayback(); }
    void togglePause() override { m_speaker.togglePause(); }
    bool isSpeaking() const override { return m_speaker.isSpeaking(); }
    bool isPlayingRecording() const override { return m_speaker.isPlayingSegment(); }
    void fileOpened(const std::vector<std::u16string>& sentences,
                    const std::vector<std::u16string>& translations,
                    bool hasRecordedAudio) override {
        m_speaker.suggestForFile(sentences, translations, hasRecordedAudio);
    }

private:
    Speaker& m_speaker;
};

}  // namespace pw
