// What the sentence speaker pane does, without the pane: speaks a sentence
// with voice 1 and a translation with voice 2 after the learner's
// dictionaries, plays the recorded segment of a sentence instead when the
// learner asks for recorded audio, pauses and stops both, writes speech into
// WAV files, and keeps the "Speaker" settings. The pane shows this state in
// its controls and hands the learner's changes to the setters.
//
//   Speaker speaker;
//   speaker.initialize();              // voices, formats; after the UI is up
//   speaker.loadSettings();
//   if (!speaker.playSegment(file, startMs, endMs)) {
//       speaker.speak(sentence, 0);
//   }
//
// Everything but the playback thread runs on the user-interface thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/IAudioPlayer.h"
#include "core/ProfileSettings.h"
#include "core/Thread.h"
#include "speech/ChoiceList.h"
#include "speech/TTS.h"
#include "speech/TextScript.h"

namespace pw {

class SapiEventListener;

class Speaker {
public:
    static constexpr int kMinRate = -10;
    static constexpr int kMaxRate = 10;
    static constexpr int kMinPlaybackSpeed = 50;
    static constexpr int kMaxPlaybackSpeed = 200;
    // How often the playback thread looks at the player.
    static constexpr int kPollMs = 30;

    // The player of recorded audio (a BassPlayer unless given) and the maker
    // of the voices (espeak-ng voices unless given).
    explicit Speaker(std::unique_ptr<IAudioPlayer> player = nullptr, TTS::VoiceFactory voices = {});
    ~Speaker();

    // Makes the voices, fills the voice and format lists, and puts the
    // speaker's dictionaries ("Resources/dict.txt", "Resources/RegexDict.txt")
    // into the learner's lists.
    bool initialize();
    // Stops the playback thread and lets go of the player and the voices.
    void close();

    // Practice's operations. index 0 is voice 1 (sentences), 1 voice 2
    // (translations); any other index means voice 1.
    void speak(const std::u16string& text, int index);
    // Starts writing text into fileName with the voice (TTS result codes).
    // Plain text passes the same dictionaries and rewrites as speak();
    // markup is taken as it is.
    int convertToWav(const std::u16string& fileName, int index, const std::u16string& text,
                     bool isXml);
    // True when recorded audio plays (or goes on playing): the caller does
    // not speak. False when the learner does not use recorded audio, or the
    // file cannot be played (the learner is told once which file): the
    // caller speaks instead.
    bool playSegment(const std::string& fileName, int64_t startMs, int64_t endMs);
    // Pauses or resumes speech and recorded audio.
    void togglePause();
    bool isSpeaking();
    // Whether a recorded segment is playing.
    bool isPlayingSegment() const { return m_playback.isRunning(); }
    // Stops speech.
    void stop();
    // Stops recorded audio and speech.
    void stopPlayback();

    // Every speech event goes to listener (null: none).
    void setSpeechListener(SapiEventListener* listener);

    // The "Speaker" section. The voices and "Sentence audio" are written only
    // once the learner has chosen them (here or in an earlier run), so that
    // until then each file gets the defaults that suit it. Also reads the
    // readings' "IME" settings, which without stored values are on when a
    // voice speaks Japanese.
    void loadSettings(const ProfileSettings& settings = ProfileSettings::instance());
    void saveSettings(ProfileSettings& settings = ProfileSettings::instance()) const;

    // A learning file was opened. What the learner has not chosen follows
    // it: voice 1 a voice for the script of the sentences, voice 2 one for
    // the translations, and "Sentence audio" is on when the sentences have
    // recorded audio.
    void suggestForFile(const std::vector<std::u16string>& sentences,
                        const std::vector<std::u16string>& translations, bool hasRecordedAudio);
    // Voice index takes a voice for script, unless the learner chose one;
    // true when it changed.
    bool suggestVoice(int index, TextScript script);
    bool isVoiceChosen(int index) const { return m_voiceChosen[slot(index)]; }
    bool isSentenceAudioChosen() const { return m_sentenceAudioChosen; }
    // Told when the speaker changed settings by itself (a suggestion), so
    // that the pane shows them.
    void setSettingsListener(std::function<void()> listener) {
        m_settingsListener = std::move(listener);
    }

    // The pane's controls; what they set counts as the learner's choice.
    ChoiceList& voiceList(int index) { return m_voiceLists[slot(index)]; }
    ChoiceList& formatList() { return m_formatList; }
    // Choosing a voice also lets the Japanese readings follow the voices
    // while the learner has not settled them.
    void selectVoice(int index, int entry);
    void selectFormat(int entry);
    // Whether the voice chosen for index speaks Japanese.
    bool speaksJapanese(int index) const;
    bool isVoiceEnabled(int index) const { return m_enabled[slot(index)]; }
    void setVoiceEnabled(int index, bool enabled);
    int rate(int index) const { return m_rates[slot(index)]; }
    void setRate(int index, int rate);
    int playbackSpeed() const { return m_playbackSpeed; }
    void setPlaybackSpeed(int percent);
    int volume() const { return m_volume; }
    // Sets the player's volume and both voices'.
    void setVolume(int volume);
    bool usesSentenceAudio() const { return m_useSentenceAudio; }
    void setUseSentenceAudio(bool use) {
        m_useSentenceAudio = use;
        m_sentenceAudioChosen = true;
    }

    TTS* tts() { return m_tts.get(); }
    IAudioPlayer* player() { return m_player.get(); }

private:
    // The thread that watches a recorded segment while it plays.
    class Playback : public Thread {
    public:
        explicit Playback(Speaker& speaker) : m_speaker(speaker) {}
        ~Playback() override { stop(); }
        using Thread::sleepUnlessStopped;

    protected:
        void run() override { m_speaker.playRequest(); }

    private:
        Speaker& m_speaker;
    };

    void playRequest();
    static size_t slot(int index) { return index == 1 ? 1 : 0; }
    // The voice, format, rate and volume of voice index, before it speaks.
    void applyVoiceSettings(int index);
    // The learner's dictionaries and the line and typography rewrites.
    static void prepareText(std::u16string& text);

    std::unique_ptr<IAudioPlayer> m_player;
    std::unique_ptr<TTS> m_tts;
    std::array<MemoryChoiceList, 2> m_voiceLists;
    MemoryChoiceList m_formatList;
    std::array<bool, 2> m_enabled{true, true};
    std::array<int, 2> m_rates{0, 0};
    int m_playbackSpeed = 100;
    int m_volume = 100;
    bool m_useSentenceAudio = false;
    std::array<bool, 2> m_voiceChosen{false, false};
    bool m_sentenceAudioChosen = false;
    std::function<void()> m_settingsListener;

    // The playback request, set before the thread starts.
    struct Request {
        std::string fileName;
        int64_t startMs = 0;
        int64_t endMs = 0;
        int speed = 100;
        int volume = 100;
    };
    Request m_request;
    std::atomic<bool> m_pauseRequest{false};
    Playback m_playback{*this};
};

}  // namespace pw
