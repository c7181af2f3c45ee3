// What practice needs of the sentence speaker. PracticeSpeaker adapts the
// real Speaker to it; tests record the calls.
#pragma once

#include <string>
#include <vector>

namespace pw {

class IPracticeSpeaker {
public:
    virtual ~IPracticeSpeaker() = default;
    // Speaks a sentence with voice 1 (through the dictionaries).
    virtual void speakSentence(const std::u16string& text) = 0;
    // Speaks a translation with voice 2.
    virtual void speakTranslation(const std::u16string& text) = 0;
    // Speaks one word with voice 1: the hint after repeated misses, or the
    // word just completed in the Writing mode.
    virtual void speakWord(const std::u16string& word) = 0;
    // Plays recorded audio (UTF-8 path) from startMs to endMs (-1: to its
    // end). False when recorded audio is not to be used, so that the caller
    // speaks the sentence instead.
    virtual bool playRecording(const std::string& path, int startMs, int endMs) = 0;
    // Stops speech and recorded audio.
    virtual void stop() = 0;
    // Pauses what is being spoken or played, or resumes it when paused.
    virtual void togglePause() = 0;
    virtual bool isSpeaking() const = 0;
    // Whether recorded audio is playing (the flash cards wait for it as for
    // speech).
    virtual bool isPlayingRecording() const { return false; }
    // A learning file was opened: its sentences and translations as plain
    // text, and whether its sentences have recorded audio. The speaker takes
    // what suits the file where the learner has not chosen.
    virtual void fileOpened(const std::vector<std::u16string>& sentences,
                            const std::vector<std::u16string>& translations,
                            bool hasRecordedAudio) {
        (void)sentences;
        (void)translations;
        (void)hasRecordedAudio;
    }
};

}  // namespace pw
