// The espeak-ng voice.
#include "speech/EspeakSapi.h"

#include <espeak-ng/espeak_ng.h>

#include <algorithm>
#include <cmath>

#include "core/UiServices.h"
#include "core/Utf.h"
#include "dictionary/DictionaryData.h"
#include "speech/ChoiceList.h"
#include "speech/SpeechNotice.h"
#include "speech/SpeechSinks.h"
#include "speech/SpeechText.h"
#include "speech/SsmlText.h"

namespace pw {
namespace {

// How long stop() waits for a file being written to be closed.
constexpr int kFileCloseWaitMs = 10000;

// The readings of spelt numbers for the Japanese voice, "Lists/SynTTSDict.txt":
// loaded the first time a Japanese voice speaks and kept; null for the rest
// of the run when that load fails.
DictionaryData* japaneseReadings() {
    static const std::unique_ptr<DictionaryData> readings = [] {
        auto dictionary = std::make_unique<DictionaryData>();
        if (!dictionary->load(EspeakSapi::kJapaneseReadingsName)) {
            return std::unique_ptr<DictionaryData>();
        }
        dictionary->setIgnoreCase(true);
        dictionary->setEnabled(true);
        return dictionary;
    }();
    return readings.get();
}

}  // namespace

std::u16string EspeakException::codeText(int32_t errorCode) const {
    char buffer[512] = {};
    espeak_ng_GetStatusCodeMessage(static_cast<espeak_ng_STATUS>(errorCode), buffer, sizeof buffer);
    return buffer[0] ? fromUtf8(buffer) : SapiException::codeText(errorCode);
}

EspeakSapi::EspeakSapi() : m_window(this), m_format(speechFormatNumber(22050, 16, 1)) {}

EspeakSapi::~EspeakSapi() {
    m_window.destroy();
    dropUtterance();
}

EspeakSapi::Pace EspeakSapi::pace(int rate) {
    constexpr double kNormal = 175.0;
    rate = std::clamp(rate, -10, 10);
    // Dictation is taken at the slow end, which is why it reaches further
    // than espeak-ng's own floor of 80 words a minute.
    const double wpm =
        rate >= 0 ? kNormal * std::pow(3.0, rate / 10.0) : kNormal / std::pow(3.5, -rate / 10.0);
    const int spoken =
        std::clamp(static_cast<int>(std::lround(wpm)), EspeakEngine::kMinWordsPerMinute,
                   EspeakEngine::kMaxWordsPerMinute);
    if (wpm >= EspeakEngine::kMinWordsPerMinute) {
        return {spoken, 1.0};
    }
    // espeak-ng's pauses do not grow with its rate, so its sound lengthens
    // less than the rate falls (80 words a minute lasts about 1.97 times as
    // long as 175, not 2.19): the stretch makes up the difference, and -10
    // is heard 3.5 times as long as 0.
    constexpr double kLengthening = 0.866;
    const double engineSlowdown = std::pow(kNormal / spoken, kLengthening);
    return {spoken, engineSlowdown * wpm / kNormal};
}

bool EspeakSapi::createWindow() {
    // Without the engine there is no voice to make: the slot stays empty and
    // speaking does nothing.
    EspeakEngine& engine = EspeakEngine::instance();
    if (!engine.start()) {
        tellEngineMissing();
        return false;
    }
    SapiWindow::registerClass(kWindowClass);
    return m_window.create(kWindowClass);
}

void EspeakSapi::tellEngineMissing() {
    tellSpeechUnavailable(u"the speech engine (eSpeak NG) could not be started.\n(" +
                          EspeakEngine::instance().problem() + u")");
}

void EspeakSapi::createVoice() {
    releaseVoice();
    EspeakEngine& engine = EspeakEngine::instance();
    if (!engine.start()) {
        throw EspeakException(u"Maybe espeak-ng has not been installed.\n" + engine.problem(),
                              "EspeakSapi::createVoice", __LINE__, engine.status());
    }
    m_voice = 0;  // the engine's default voice comes first
}

void EspeakSapi::releaseVoice() {
    dropUtterance();
    m_voice = -1;
}

void EspeakSapi::dropUtterance() {
    if (!m_utterance) {
        return;
    }
    m_utterance->cancel();
    if (m_wavMode) {
        m_utterance->waitDone(kFileCloseWaitMs);
    }
    // Its end is no news to anyone once it is dropped.
    m_utterance->setOnDone(nullptr);
    m_utterance.reset();
    m_stream = nullptr;
}

bool EspeakSapi::isJapaneseVoice() const {
    return speaksJapanese(m_voice);
}

bool EspeakSapi::speaksJapanese(int voiceIndex) {
    const auto& voices = EspeakEngine::instance().voices();
    if (voiceIndex < 0 || voiceIndex >= static_cast<int>(voices.size())) {
        return false;
    }
    const std::string& language = voices[static_cast<size_t>(voiceIndex)].language;
    return language == "ja" || language.rfind("ja-", 0) == 0;
}

void EspeakSapi::enumEnginNamesToComboBox(ChoiceList& list) {
    EspeakEngine& engine = EspeakEngine::instance();
    if (!engine.start()) {
        tellEngineMissing();
        return;
    }
    const auto& voices = engine.voices();
    for (size_t i = 0; i < voices.size(); ++i) {
        list.add(voices[i].name, static_cast<int64_t>(i));
    }
    list.select(0);
}

void EspeakSapi::fillFormatComboBox(ChoiceList& list) {
    addSpeechFormats(list);
    const int index = hasVoice() ? list.find(m_format) : -1;
    list.select(index >= 0 ? index : kFallbackFormatIndex);
}

bool EspeakSapi::changeFormat(ChoiceList& list) {
    if (!hasVoice()) {
        return false;
    }
    const SpeechFormat* format = speechFormatByNumber(list.data(list.selectedIndex()));
    if (!format || list.selectedIndex() < 0) {
        return false;
    }
    m_format = format->number;
    return true;
}

bool EspeakSapi::setDeviceId(uint32_t id) {
    // The output device is the audio engine's, for the whole program.
    m_deviceId = id;
    return true;
}

bool EspeakSapi::changeVoice(ChoiceList& list) {
    if (!hasVoice()) {
        try {
            createVoice();
        } catch (const SapiException&) {
            tellEngineMissing();
            return false;
        }
    }
    const int selected = list.selectedIndex();
    const int64_t voice = selected >= 0 ? list.data(selected) : -1;
    if (voice < 0 || voice >= static_cast<int64_t>(EspeakEngine::instance().voices().size())) {
        releaseVoice();
        return false;
    }
    if (voice != m_voice) {
        // What the old voice was saying, paused or not, is dropped.
        dropUtterance();
        m_paused = false;
        m_voice = static_cast<int>(voice);
    }
    return true;
}

std::string EspeakSapi::voiceLanguage(int64_t voice) const {
    const auto& voices = EspeakEngine::instance().voices();
    return voice >= 0 && voice < static_cast<int64_t>(voices.size())
               ? voices[static_cast<size_t>(voice)].language
               : std::string();
}

bool EspeakSapi::isUtteranceDone() const {
    if (!m_utterance) {
        return true;
    }
    if (!m_utterance->isDone()) {
        return false;
    }
    return !m_stream || !m_stream->isPlaying();
}

bool EspeakSapi::isSpeaking() {
    return hasVoice() && !isUtteranceDone();
}

const PcmOutputStream* EspeakSapi::outputStream() const {
    return m_stream;
}

void EspeakSapi::spellForJapaneseVoice(std::u16string& text, bool isXml) {
    DictionaryData* readings = japaneseReadings();
    // Markup keeps its tags: a number in an attribute is no number to read.
    rewriteOutsideTags(text, isXml, [readings](std::u16string& piece) {
        spellJapaneseNumbers(piece);
        if (readings) {
            readings->replace(piece);
        }
    });
}

bool EspeakSapi::speak(const std::u16string& text, unsigned flags) {
    if (m_paused) {
        resume();
        return true;
    }
    m_speakFlags = (flags & kSpeakIsXml) ? kFlagIsXml : kFlagIsNotXml;
    if (!hasVoice()) {
        return false;
    }
    auto sink = std::make_unique<PlaybackSink>();
    if (!sink->start()) {
        tellNoSoundDevice();
        return false;
    }
    return startSpeaking(text, flags, std::move(sink));
}

bool EspeakSapi::startSpeaking(const std::u16string& text, unsigned flags,
                               std::unique_ptr<SpeechSink> sink) {
    const bool isXml = m_speakFlags == kFlagIsXml;
    m_event.markupPrefixLength = 0;
    std::u16string spoken = text;
    normalizeTypography(spoken);
    if (isJapaneseVoice()) {
        spellForJapaneseVoice(spoken, isXml);
    }
    if (m_pitch != 0 && isXml && wantsPitchPrefix(spoken)) {
        const std::u16string prefix = pitchPrefix(m_pitch);
        spoken.insert(0, prefix);
        m_event.markupPrefixLength = static_cast<int32_t>(prefix.size());
    }
    m_spokenText = spoken;
    m_event.textLength = static_cast<int32_t>(spoken.size());

    // What was speaking is dropped, as a new sentence cuts off the last one.
    if (m_utterance) {
        m_utterance->cancel();
        m_utterance->setOnDone(nullptr);
    }
    PcmOutputStream* stream = nullptr;
    if (auto* playback = dynamic_cast<PlaybackSink*>(sink.get())) {
        stream = &playback->stream();
        stream->setVolume(m_volume);
    }
    VoiceProfile profile;
    profile.identifier = EspeakEngine::instance().voices()[static_cast<size_t>(m_voice)].identifier;
    const Pace spokenPace = pace(m_rate);
    profile.wordsPerMinute = spokenPace.wordsPerMinute;
    profile.tempo = spokenPace.tempo;
    // Playback volume is the stream's, so that it follows the slider at once.
    profile.volume = stream ? 100 : m_volume;
    m_utterance = std::make_shared<Utterance>(
        std::move(profile), isXml ? sapiToSsml(m_spokenText) : plainText(m_spokenText), isXml,
        std::move(sink));
    m_stream = stream;
    m_nextWord = 0;
    if (m_wavMode) {
        m_utterance->setOnDone(m_window.poster(kFileWrittenMessage));
    }
    EspeakEngine::instance().speak(m_utterance);
    if (!(flags & kSpeakNoEventTimer)) {
        m_window.setTimer(kEventTimer, kEventIntervalMs);
    }
    return true;
}

bool EspeakSapi::speakToWav(const std::u16string& fileName, const std::u16string& text,
                            bool isXml) {
    m_wavMode = true;
    m_speakFlags = isXml ? kFlagIsXml : kFlagIsNotXml;
    m_wavFileName = fileName;
    if (!hasVoice()) {
        m_wavMode = false;
        throw EspeakException(u"No voice is ready.", "EspeakSapi::speakToWav", __LINE__);
    }
    const SpeechFormat* format = speechFormatByNumber(m_format);
    auto sink = std::make_unique<WavSink>(toUtf8(fileName), *format);
    if (!sink->open()) {
        m_wavMode = false;
        throw EspeakException(u"Couldn't create " + fileName + u"\n" + fromUtf8(sink->error()),
                              "EspeakSapi::speakToWav", __LINE__);
    }
    m_event.wordPosition = 0;
    m_event.textLength = 0;
    if (m_paused) {
        resume();
    }
    if (!startSpeaking(text, isXml ? kSpeakIsXml : 0, std::move(sink))) {
        restoreOutput();
        return false;
    }
    return true;
}

void EspeakSapi::restoreOutput() {
    m_wavMode = false;
}

void EspeakSapi::stop() {
    if (m_paused) {
        resume();
    }
    dropUtterance();
    restoreOutput();
}

void EspeakSapi::pause() {
    if (isSpeaking() && !m_paused) {
        m_paused = true;
        if (m_stream) {
            m_stream->pause();
        }
    }
}

void EspeakSapi::resume() {
    if (!m_paused) {
        return;
    }
    m_paused = false;
    if (m_stream) {
        m_stream->resume();
    }
    // Speech that ended meanwhile is reported here unless the timer will.
    if (!isSpeaking() && !m_window.hasTimer(kEventTimer)) {
        notify(SapiEvent::kFinished);
    }
}

void EspeakSapi::setRate(int rate) {
    m_rate = std::clamp(rate, getMinRate(), getMaxRate());
}

void EspeakSapi::setPitch(int pitch) {
    m_pitch = std::clamp(pitch, getMinPitch(), getMaxPitch());
}

void EspeakSapi::setVolume(int volume) {
    m_volume = std::clamp(volume, 0, 100);
    if (m_stream) {
        m_stream->setVolume(m_volume);
    }
}

void EspeakSapi::deliverWords() {
    const std::shared_ptr<Utterance> utterance = m_utterance;
    if (!utterance || utterance->isCancelled()) {
        return;
    }
    const int64_t heard = m_stream ? m_stream->playedFrames() : utterance->synthesizedFrames();
    for (const Utterance::Word& word : utterance->wordsFrom(m_nextWord, heard)) {
        ++m_nextWord;
        m_event.wordPosition = word.position;
        m_event.wordLength = word.length;
        notify(SapiEvent::kWordBoundary);
        // The listener may have stopped this speech or started another.
        if (m_utterance != utterance) {
            return;
        }
    }
}

bool EspeakSapi::onMessage(unsigned message, uintptr_t, intptr_t) {
    // Only while the end is still to be reported: the timer may have done so.
    if (message != kFileWrittenMessage || !m_window.hasTimer(kEventTimer)) {
        return false;
    }
    if (!onTimer(kEventTimer)) {
        m_window.killTimer(kEventTimer);
    }
    return true;
}

bool EspeakSapi::onTimer(int timerId) {
    if (timerId != kEventTimer) {
        return false;
    }
    if (!isUtteranceDone()) {
        deliverWords();
        return true;
    }
    // Words heard since the last poll come before the end.
    deliverWords();
    if (!isUtteranceDone()) {
        return true;
    }
    if (m_utterance && m_utterance->failure() != 0 && !m_utterance->isCancelled()) {
        const EspeakException error(u"The speech could not be synthesised.", "EspeakSapi::onTimer",
                                    __LINE__, m_utterance->failure());
        messageBox(error.describe(), MbOk | MbIconError);
    }
    if (m_wavMode) {
        restoreOutput();
    }
    m_utterance.reset();
    m_stream = nullptr;
    // Killed before the listener hears of the end, which may speak again.
    m_window.killTimer(kEventTimer);
    notify(SapiEvent::kFinished);
    return true;
}

}  // namespace pw
