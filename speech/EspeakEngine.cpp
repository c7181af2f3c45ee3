// The espeak-ng worker.
#include "speech/EspeakEngine.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "audio/TempoFilter.h"
#include "core/Utf.h"

namespace pw {
namespace {

// The utterance being synthesised; only the worker touches it.
Utterance* g_current = nullptr;

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

std::u16string statusText(espeak_ng_STATUS status) {
    char buffer[512] = {};
    espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
    return fromUtf8(buffer);
}

// Runs on the worker inside espeak_ng_Synthesize; 1 stops the synthesis.
int synthCallback(short* samples, int count, espeak_EVENT* events) {
    Utterance* utterance = g_current;
    if (!utterance) {
        return 1;
    }
    for (espeak_EVENT* event = events; event && event->type != espeakEVENT_LIST_TERMINATED;
         ++event) {
        // Words of length 0 are markers the synthesiser makes for itself.
        if (event->type == espeakEVENT_WORD && event->length > 0) {
            utterance->addWord(event->text_position - 1, event->length, event->audio_position);
        }
    }
    if (count > 0 && samples &&
        !utterance->addSamples(reinterpret_cast<const int16_t*>(samples),
                               static_cast<size_t>(count))) {
        return 1;
    }
    return utterance->isCancelled() ? 1 : 0;
}

}  // namespace

Utterance::Utterance(VoiceProfile voice, SsmlText text, bool isSsml,
                     std::unique_ptr<SpeechSink> sink)
    : m_voice(std::move(voice)), m_isSsml(isSsml), m_sink(std::move(sink)) {
    if (m_voice.tempo > 0.0 && m_voice.tempo != 1.0) {
        m_stretch = std::make_unique<TempoFilter>(EspeakEngine::kSampleRate, 1);
        m_stretch->configure(m_voice.tempo);
    } else {
        m_voice.tempo = 1.0;
    }
    m_utf8 = toUtf8(text.text);
    // The synthesiser counts code points of what it reads.
    const std::u16string& t = text.text;
    for (size_t i = 0; i < t.size();) {
        const bool pair = isHighSurrogate(t[i]) && i + 1 < t.size() && isLowSurrogate(t[i + 1]);
        m_source.push_back(text.origin[i]);
        m_blank.push_back(t[i] == u' ' || t[i] == u'\t' || t[i] == u'\r' || t[i] == u'\n');
        i += pair ? 2 : 1;
    }
    m_source.push_back(text.origin.empty() ? 0 : text.origin.back());
}

Utterance::~Utterance() = default;

void Utterance::cancel() {
    m_sink->cancel();
}

bool Utterance::waitDone(int timeoutMs) const {
    std::unique_lock lock(m_mutex);
    return m_doneChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [this] { return m_done.load(); });
}

void Utterance::abandon() {
    finish(0);
}

std::vector<Utterance::Word> Utterance::wordsFrom(size_t first, int64_t frame) const {
    std::lock_guard lock(m_mutex);
    std::vector<Word> words;
    for (size_t i = first; i < m_words.size() && m_words[i].frame <= frame; ++i) {
        words.push_back(m_words[i]);
    }
    return words;
}

size_t Utterance::wordCount() const {
    std::lock_guard lock(m_mutex);
    return m_words.size();
}

void Utterance::addWord(int codePoint, int codePoints, int audioMs) {
    const int count = static_cast<int>(m_blank.size());
    if (codePoint < 0 || codePoint >= count) {
        return;
    }
    const int end = std::min(codePoint + codePoints, count);
    // A symbol read as several words may be reported again at the blank after it.
    if (std::all_of(m_blank.begin() + codePoint, m_blank.begin() + end,
                    [](bool blank) { return blank; })) {
        return;
    }
    // The word ends where the next code point came from: that also covers a
    // word that was markup in the synthesised text (a character reference).
    const int32_t start = m_source[static_cast<size_t>(codePoint)];
    const int32_t stop = m_source[static_cast<size_t>(end)];
    const double frame = static_cast<double>(audioMs) * EspeakEngine::kSampleRate / 1000.0;
    Word word{static_cast<int64_t>(std::llround(frame / m_voice.tempo)), start,
              std::max(0, stop - start)};
    std::lock_guard lock(m_mutex);
    // Marks come in order; two marks mapped onto one place are one word.
    if (!m_words.empty() && m_words.back().position == word.position) {
        return;
    }
    m_words.push_back(word);
}

bool Utterance::addSamples(const int16_t* samples, size_t frames) {
    if (m_sink->isCancelled()) {
        return false;
    }
    if (!m_stretch) {
        return deliver(samples, frames);
    }
    std::vector<float> in(frames);
    for (size_t i = 0; i < frames; ++i) {
        in[i] = samples[i] / 32768.0f;
    }
    m_stretch->put(in.data(), frames);
    return drainStretch();
}

bool Utterance::drainStretch() {
    constexpr size_t kPiece = 4096;
    float out[kPiece];
    int16_t pcm[kPiece];
    for (;;) {
        const size_t n = m_stretch->take(out, kPiece);
        if (n == 0) {
            return true;
        }
        for (size_t i = 0; i < n; ++i) {
            pcm[i] = static_cast<int16_t>(std::lround(std::clamp(out[i], -1.0f, 1.0f) * 32767.0f));
        }
        if (!deliver(pcm, n)) {
            return false;
        }
    }
}

bool Utterance::deliver(const int16_t* samples, size_t frames) {
    if (m_sink->isCancelled() || !m_sink->write(samples, frames)) {
        return false;
    }
    m_synthesized.fetch_add(static_cast<int64_t>(frames));
    return true;
}

void Utterance::finish(int32_t status) {
    m_failure.store(status);
    if (m_stretch && !m_sink->isCancelled()) {
        m_stretch->flush();
        drainStretch();
    }
    m_sink->finish(status == 0 && !m_sink->isCancelled());
    {
        std::lock_guard lock(m_mutex);
        m_done.store(true);
        if (m_onDone) {
            m_onDone();
        }
    }
    m_doneChanged.notify_all();
}

void Utterance::setOnDone(std::function<void()> onDone) {
    std::lock_guard lock(m_mutex);
    m_onDone = std::move(onDone);
}

EspeakEngine& EspeakEngine::instance() {
    // Never destroyed: voices held in static objects may still speak at
    // exit. shutdown() ends the worker instead.
    static EspeakEngine* engine = new EspeakEngine;
    return *engine;
}

bool EspeakEngine::start() {
    std::lock_guard startLock(m_startMutex);
    if (m_started) {
        return m_available;
    }
    m_started = true;
    m_thread = std::thread([this] { run(); });
    std::atomic<bool> ready{false};
    std::mutex readyMutex;
    std::condition_variable readyChanged;
    post([&] {
        initialize();
        std::lock_guard lock(readyMutex);
        ready = true;
        readyChanged.notify_all();
    });
    std::unique_lock lock(readyMutex);
    readyChanged.wait(lock, [&] { return ready.load(); });
    static const bool registered = [] {
        std::atexit([] { EspeakEngine::instance().shutdown(); });
        return true;
    }();
    (void)registered;
    return m_available;
}

void EspeakEngine::initialize() {
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    if (status == ENS_OK) {
        status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr);
    }
    espeak_ng_ClearErrorContext(&context);
    if (status != ENS_OK) {
        m_status = static_cast<int32_t>(status);
        m_problem = statusText(status);
        return;
    }
    espeak_SetSynthCallback(&synthCallback);

    for (const espeak_VOICE** voice = espeak_ListVoices(nullptr); voice && *voice; ++voice) {
        const espeak_VOICE& v = **voice;
        // Each language entry is a priority byte, then the name.
        const std::string language = v.languages && v.languages[0] ? v.languages + 1 : "";
        const std::string identifier = v.identifier ? v.identifier : "";
        // MBROLA voices need databases of their own that are rarely installed.
        if (identifier.empty() || identifier.rfind("mb/", 0) == 0) {
            continue;
        }
        m_voices.push_back({identifier, fromUtf8(v.name ? v.name : identifier), language});
    }
    // Learners mostly study English, and the first voice is the default of
    // both voices: American English first, then the other English voices.
    auto rank = [](const EspeakVoice& voice) {
        if (voice.language == "en-us") {
            return 0;
        }
        return voice.language == "en" || voice.language.rfind("en-", 0) == 0 ? 1 : 2;
    };
    std::stable_sort(m_voices.begin(), m_voices.end(),
                     [&](const EspeakVoice& a, const EspeakVoice& b) { return rank(a) < rank(b); });
    if (m_voices.empty()) {
        m_status = static_cast<int32_t>(ENS_VOICE_NOT_FOUND);
        m_problem = statusText(ENS_VOICE_NOT_FOUND);
        return;
    }
    m_available = true;
}

void EspeakEngine::post(std::function<void()> task) {
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_all();
}

void EspeakEngine::speak(std::shared_ptr<Utterance> utterance) {
    if (!m_available) {
        utterance->abandon();
        return;
    }
    post([this, utterance] {
        {
            std::lock_guard lock(m_mutex);
            m_current = utterance;
            if (m_stopping) {
                utterance->cancel();
            }
        }
        synthesize(*utterance);
        std::lock_guard lock(m_mutex);
        m_current.reset();
    });
}

void EspeakEngine::synthesize(Utterance& utterance) {
    if (utterance.isCancelled()) {
        utterance.finish(0);
        return;
    }
    const VoiceProfile& voice = utterance.m_voice;
    espeak_ng_STATUS status = espeak_ng_SetVoiceByName(voice.identifier.c_str());
    if (status == ENS_OK) {
        espeak_ng_SetParameter(
            espeakRATE, std::clamp(voice.wordsPerMinute, kMinWordsPerMinute, kMaxWordsPerMinute),
            0);
        espeak_ng_SetParameter(espeakVOLUME, std::clamp(voice.volume, 0, 200), 0);
        espeak_ng_SetParameter(espeakPITCH, 50, 0);
        unsigned flags = espeakCHARS_UTF8;
        if (utterance.m_isSsml) {
            flags |= espeakSSML;
        }
        g_current = &utterance;
        status = espeak_ng_Synthesize(utterance.m_utf8.c_str(), utterance.m_utf8.size() + 1, 0,
                                      POS_CHARACTER, 0, flags, nullptr, nullptr);
        g_current = nullptr;
    }
    // A synthesis stopped from the callback ends with its own status.
    utterance.finish(status == ENS_OK || utterance.isCancelled() ? 0
                                                                 : static_cast<int32_t>(status));
}

void EspeakEngine::run() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
            if (m_tasks.empty()) {
                return;
            }
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}

void EspeakEngine::shutdown() {
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping) {
            return;
        }
        m_stopping = true;
        if (m_current) {
            m_current->cancel();
        }
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

}  // namespace pw
