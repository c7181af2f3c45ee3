// The sentence speaker's logic.
#include "speech/Speaker.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <optional>
#include <thread>

#include "audio/AudioEngine.h"
#include "audio/BassPlayer.h"
#include "dictionary/DictionaryWindow.h"
#include "speech/EspeakSapi.h"
#include "speech/SpeechFormat.h"
#include "speech/SpeechNotice.h"
#include "speech/SpeechText.h"

namespace pw {
namespace {

// A nested playSegment (from events handled while the last run is being
// stopped) must not start a second run.
std::atomic<bool> g_playSegmentBusy{false};

class BusyGuard {
public:
    BusyGuard() : m_entered(!g_playSegmentBusy.exchange(true)) {}
    ~BusyGuard() {
        if (m_entered) {
            g_playSegmentBusy.store(false);
        }
    }
    bool entered() const { return m_entered; }

private:
    bool m_entered;
};

// Selects entry of list, or fallback when entry is not in it.
void selectStored(ChoiceList& list, int entry, int fallback) {
    entry = std::max(entry, 0);
    list.select(entry < list.count() ? entry : fallback);
}

// What a key holds; nullopt when it is not in the file.
std::optional<int> storedValue(const ProfileSettings& settings, const IntSetting& setting) {
    const int value = settings.readInt(setting.section, setting.key, INT_MIN);
    return value == INT_MIN ? std::nullopt : std::optional<int>(value);
}

}  // namespace

Speaker::Speaker(std::unique_ptr<IAudioPlayer> player, TTS::VoiceFactory voices)
    : m_player(player ? std::move(player) : std::make_unique<BassPlayer>()),
      m_tts(std::make_unique<TTS>(std::move(voices))) {}

Speaker::~Speaker() {
    close();
}

bool Speaker::initialize() {
    DictionaryWindow::setUpSpeakerDictionaries();
    const bool ok = m_tts->init();
    m_tts->enumVoices(0, m_voiceLists[0]);
    m_tts->enumVoices(1, m_voiceLists[1]);
    m_tts->fillFormats(m_formatList);
    return ok;
}

void Speaker::close() {
    m_playback.stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (m_tts) {
        m_tts->stop();
    }
    m_player.reset();
    m_tts.reset();
}

void Speaker::prepareText(std::u16string& text) {
    DictionaryWindow::replaceText(text);
    normalizeSpokenLines(text);
}

void Speaker::applyVoiceSettings(int index) {
    const size_t i = slot(index);
    m_tts->changeVoice(static_cast<int>(i), m_voiceLists[i]);
    m_tts->setFormat(static_cast<int>(i), m_formatList);
    m_tts->setRate(static_cast<int>(i), m_rates[i]);
    m_tts->setVolume(static_cast<int>(i), m_volume);
}

void Speaker::speak(const std::u16string& text, int index) {
    if (!m_tts) {
        return;
    }
    m_tts->stop();
    if (!m_enabled[slot(index)]) {
        return;
    }
    std::u16string spoken = text;
    prepareText(spoken);
    applyVoiceSettings(index);
    m_tts->speak(spoken, static_cast<int>(slot(index)), 0);
}

int Speaker::convertToWav(const std::u16string& fileName, int index, const std::u16string& text,
                          bool isXml) {
    if (!m_tts) {
        return TTS::kConvertNoVoice;
    }
    m_tts->stop();
    applyVoiceSettings(index);
    // A file must sound like the speech the learner hears.
    std::u16string spoken = text;
    if (!isXml) {
        prepareText(spoken);
    }
    return m_tts->convertToWavFile(spoken, fileName, static_cast<int>(slot(index)), isXml);
}

bool Speaker::playSegment(const std::string& fileName, int64_t startMs, int64_t endMs) {
    BusyGuard busy;
    if (!busy.entered()) {
        return true;
    }
    stopPlayback();
    if (m_playback.isRunning()) {
        return true;
    }
    if (!m_useSentenceAudio || !m_player) {
        return false;
    }
    // Opened here, so that a file the player cannot read is read aloud by
    // the voice instead; the file stays open for its next sentences.
    if (m_player->fileName() != fileName && !m_player->open(fileName)) {
        tellRecordingUnplayable(fileName);
        return false;
    }
    m_request = Request{fileName, startMs, endMs, m_playbackSpeed, m_volume};
    m_playback.start();
    return true;
}

void Speaker::playRequest() {
    IAudioPlayer& player = *m_player;
    player.setSpeed(m_request.speed);
    player.setVolume(m_request.volume);
    if (!player.playSegment(m_request.startMs, m_request.endMs)) {
        if (!AudioEngine::instance().isAvailable()) {
            tellNoSoundDevice();
        }
        return;
    }
    bool paused = false;
    while (!m_playback.stopRequested()) {
        if (!player.isPlaying() && !player.isPaused()) {
            break;
        }
        if (player.getPosition() > m_request.endMs) {
            break;
        }
        if (m_pauseRequest.exchange(false)) {
            paused ? player.resume() : player.pause();
            paused = !paused;
        }
        m_playback.sleepUnlessStopped(kPollMs);
    }
    player.stop();
}

void Speaker::togglePause() {
    m_pauseRequest.store(true);
    if (m_tts) {
        m_tts->togglePause();
    }
}

bool Speaker::isSpeaking() {
    return m_tts && m_tts->isSpeaking();
}

void Speaker::stop() {
    if (m_tts) {
        m_tts->stop();
    }
}

void Speaker::stopPlayback() {
    m_playback.stop();
    stop();
    m_pauseRequest.store(false);
}

void Speaker::setSpeechListener(SapiEventListener* listener) {
    if (m_tts) {
        m_tts->setListener(listener);
    }
}

void Speaker::selectVoice(int index, int entry) {
    const size_t i = slot(index);
    m_voiceChosen[i] = true;
    m_voiceLists[i].select(entry);
    if (m_tts) {
        m_tts->changeVoice(static_cast<int>(i), m_voiceLists[i]);
    }
    DictionaryWindow::readings().followVoices(speaksJapanese(0) || speaksJapanese(1));
}

bool Speaker::speaksJapanese(int index) const {
    const ChoiceList& list = m_voiceLists[slot(index)];
    const int entry = list.selectedIndex();
    return entry >= 0 && EspeakSapi::speaksJapanese(static_cast<int>(list.data(entry)));
}

void Speaker::selectFormat(int entry) {
    m_formatList.select(entry);
}

void Speaker::setVoiceEnabled(int index, bool enabled) {
    m_enabled[slot(index)] = enabled;
}

void Speaker::setRate(int index, int rate) {
    const size_t i = slot(index);
    m_rates[i] = std::clamp(rate, kMinRate, kMaxRate);
    if (m_tts) {
        m_tts->setRate(static_cast<int>(i), m_rates[i]);
    }
}

void Speaker::setPlaybackSpeed(int percent) {
    m_playbackSpeed = std::clamp(percent, kMinPlaybackSpeed, kMaxPlaybackSpeed);
    if (m_player) {
        m_player->setSpeed(m_playbackSpeed);
    }
}

void Speaker::setVolume(int volume) {
    m_volume = std::clamp(volume, 0, 100);
    if (m_player) {
        m_player->setVolume(m_volume);
    }
    if (m_tts) {
        m_tts->setVolume(0, m_volume);
        m_tts->setVolume(1, m_volume);
    }
}

void Speaker::loadSettings(const ProfileSettings& settings) {
    const std::optional<int> voice1 = storedValue(settings, settings::kVoice1);
    const std::optional<int> voice2 = storedValue(settings, settings::kVoice2);
    const std::optional<int> sentenceAudio = storedValue(settings, settings::kSentenceAudio);
    m_voiceChosen = {voice1.has_value(), voice2.has_value()};
    selectStored(m_voiceLists[0], voice1.value_or(settings::kVoice1.defaultValue), 0);
    selectStored(m_voiceLists[1], voice2.value_or(settings::kVoice2.defaultValue), 0);
    m_sentenceAudioChosen = sentenceAudio.has_value();
    if (sentenceAudio) {
        m_useSentenceAudio = *sentenceAudio > 0;
    }
    selectStored(m_formatList, settings.read(settings::kFormat), kDefaultFormatIndex);
    setPlaybackSpeed(settings.read(settings::kRate));
    setRate(0, settings.read(settings::kRate1));
    setRate(1, settings.read(settings::kRate2));
    m_enabled[0] = settings.read(settings::kEnable1) > 0;
    m_enabled[1] = settings.read(settings::kEnable2) > 0;
    DictionaryWindow::readings().loadSettings(settings, speaksJapanese(0) || speaksJapanese(1));
}

void Speaker::saveSettings(ProfileSettings& settings) const {
    if (m_voiceChosen[0]) {
        settings.write(settings::kVoice1, m_voiceLists[0].selectedIndex());
    }
    if (m_voiceChosen[1]) {
        settings.write(settings::kVoice2, m_voiceLists[1].selectedIndex());
    }
    if (m_sentenceAudioChosen) {
        settings.write(settings::kSentenceAudio, m_useSentenceAudio ? 1 : 0);
    }
    settings.write(settings::kFormat, m_formatList.selectedIndex());
    settings.write(settings::kRate, m_playbackSpeed);
    settings.write(settings::kRate1, m_rates[0]);
    settings.write(settings::kRate2, m_rates[1]);
    settings.write(settings::kEnable1, m_enabled[0] ? 1 : 0);
    settings.write(settings::kEnable2, m_enabled[1] ? 1 : 0);
}

bool Speaker::suggestVoice(int index, TextScript script) {
    const size_t i = slot(index);
    const Sapi* voice = m_tts ? m_tts->voice(static_cast<int>(i)) : nullptr;
    if (m_voiceChosen[i] || !voice) {
        return false;
    }
    ChoiceList& list = m_voiceLists[i];
    for (const std::string& language : voiceLanguagesFor(script)) {
        for (int entry = 0; entry < list.count(); ++entry) {
            if (voice->voiceLanguage(list.data(entry)) != language) {
                continue;
            }
            if (entry == list.selectedIndex()) {
                return false;
            }
            list.select(entry);
            m_tts->changeVoice(static_cast<int>(i), list);
            return true;
        }
    }
    return false;
}

void Speaker::suggestForFile(const std::vector<std::u16string>& sentences,
                             const std::vector<std::u16string>& translations,
                             bool hasRecordedAudio) {
    bool changed = suggestVoice(0, mainScript(sentences));
    changed = suggestVoice(1, mainScript(translations)) || changed;
    if (!m_sentenceAudioChosen && m_useSentenceAudio != hasRecordedAudio) {
        m_useSentenceAudio = hasRecordedAudio;
        changed = true;
    }
    if (changed && m_settingsListener) {
        m_settingsListener();
    }
}

}  // namespace pw
