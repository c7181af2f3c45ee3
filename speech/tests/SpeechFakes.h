// Stand-ins for the speech tests: a voice that records what it is asked, a
// player that records what it is told, and a listener that records events.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "audio/IAudioPlayer.h"
#include "audio/WavFile.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "speech/ChoiceList.h"
#include "speech/Sapi.h"
#include "speech/SpeechFormat.h"
#include "speech/TTS.h"

namespace pw::test {

class FakeVoice : public Sapi {
public:
    bool isSpeaking() override { return speaking; }
    bool isPaused() override { return m_paused; }
    bool createWindow() override { return true; }
    void enumEnginNamesToComboBox(ChoiceList& list) override {
        list.add(u"Voice A", 0);
        list.add(u"Voice B", 1);
        list.select(0);
    }
    void fillFormatComboBox(ChoiceList& list) override {
        addSpeechFormats(list);
        list.select(kFallbackFormatIndex);
    }
    bool changeFormat(ChoiceList& list) override {
        format = list.selectedIndex();
        return true;
    }
    bool setDeviceId(uint32_t) override { return true; }
    bool changeVoice(ChoiceList& list) override {
        voice = list.selectedIndex();
        return voice >= 0;
    }
    // Voice A reads English, voice B Japanese.
    std::string voiceLanguage(int64_t v) const override { return v == 1 ? "ja" : "en-us"; }
    bool speak(const std::u16string& text, unsigned flags) override {
        spoken.push_back(text);
        lastFlags = flags;
        speaking = true;
        return true;
    }
    // Writes an empty WAV file, as a voice does that was stopped at once.
    bool speakToWav(const std::u16string& fileName, const std::u16string& text,
                    bool isXml) override {
        written.push_back(text);
        lastIsXml = isXml;
        if (failToWrite) {
            return false;
        }
        m_wavMode = true;
        speaking = true;
        return writeWav(toUtf8(fileName), pcmFormat(16000, 1), wavData);
    }
    void stop() override {
        ++stops;
        speaking = false;
        m_wavMode = false;
    }
    void pause() override { m_paused = speaking; }
    void resume() override { m_paused = false; }
    void setRate(int r) override { m_rate = r; }
    void setPitch(int p) override { m_pitch = p; }
    void setVolume(int v) override { m_volume = v; }

    // Ends the speech the way the engine's timer does.
    void finish() {
        speaking = false;
        m_wavMode = false;
        notify(SapiEvent::kFinished);
    }

    bool speaking = false;
    bool failToWrite = false;
    std::string wavData;  // what speakToWav puts in the file
    int voice = -1;
    int format = -1;
    int stops = 0;
    unsigned lastFlags = 0;
    bool lastIsXml = false;
    std::vector<std::u16string> spoken;
    std::vector<std::u16string> written;
};

// Makes FakeVoices and keeps pointers to them.
struct FakeVoices {
    std::vector<FakeVoice*> made;
    bool failSecond = false;
    TTS::VoiceFactory factory() {
        return [this]() -> std::unique_ptr<Sapi> {
            if (failSecond && made.size() == 1) {
                return nullptr;
            }
            auto voice = std::make_unique<FakeVoice>();
            made.push_back(voice.get());
            return voice;
        };
    }
};

class FakePlayer : public IAudioPlayer {
public:
    bool open(const std::string& path) override {
        opened.push_back(path);
        return openSucceeds;
    }
    bool playSegment(int64_t startMs, int64_t endMs) override {
        segments.push_back({startMs, endMs});
        playing = true;
        return true;
    }
    void stop() override { playing = false; }
    void pause() override { paused = true; }
    void resume() override { paused = false; }
    bool isPlaying() override { return playing; }
    bool isPaused() override { return paused; }
    void setSpeed(int percent) override { speed = percent; }
    void setVolume(int percent) override { volume = percent; }

    bool openSucceeds = true;
    std::vector<std::string> opened;
    std::vector<std::pair<int64_t, int64_t>> segments;
    std::atomic<bool> playing{false};
    std::atomic<bool> paused{false};
    std::atomic<int> speed{100};
    std::atomic<int> volume{100};
};

struct EventLog : SapiEventListener {
    void onSapiEvent(const SapiEvent& event) override {
        events.push_back(event);
        offUiThread = offUiThread || !ui().isUiThread();
    }
    int count(int32_t type) const {
        int n = 0;
        for (const SapiEvent& e : events) {
            n += e.type == type ? 1 : 0;
        }
        return n;
    }
    std::vector<SapiEvent> events;
    bool offUiThread = false;
};

}  // namespace pw::test
