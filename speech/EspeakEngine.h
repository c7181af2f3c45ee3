// The espeak-ng library, which is process-wide and speaks one text at a time:
// every call into it is made from one worker thread that takes utterances in
// turn. An utterance carries its voice settings, its text, and the sink that
// receives the 22050 Hz 16-bit mono samples (the speakers or a WAV file),
// and collects the word marks that playback turns into events.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "speech/SsmlText.h"

namespace pw {

class TempoFilter;

struct EspeakVoice {
    std::string identifier;  // what selects it: "gmw/en-US"
    std::u16string name;     // "English (America)"
    std::string language;    // "en-us"
};

// How one utterance sounds; espeak-ng's own units.
struct VoiceProfile {
    std::string identifier;
    int wordsPerMinute = 175;  // 80..450
    int volume = 100;          // 0..200
    // Below 80 words a minute the synthesised sound is stretched in time,
    // its pitch kept: 0.5 takes twice as long. 1 leaves it as it is.
    double tempo = 1.0;
};

// Where the samples go. write() and finish() run on the worker thread.
class SpeechSink {
public:
    virtual ~SpeechSink() = default;
    // False stops the synthesis.
    virtual bool write(const int16_t* samples, size_t frames) = 0;
    // The last call: the synthesis ended, completed or not.
    virtual void finish(bool completed) = 0;

    // Any thread; the sink drops what comes after it.
    void cancel() {
        m_cancelled.store(true);
        onCancel();
    }
    bool isCancelled() const { return m_cancelled.load(); }

protected:
    virtual void onCancel() {}

private:
    std::atomic<bool> m_cancelled{false};
};

class Utterance {
public:
    // A word and the sample frame where it begins; position and length are
    // UTF-16 units of the text the caller spoke.
    struct Word {
        int64_t frame;
        int32_t position;
        int32_t length;
    };

    // text.origin maps the synthesised text back to the caller's text.
    Utterance(VoiceProfile voice, SsmlText text, bool isSsml, std::unique_ptr<SpeechSink> sink);
    ~Utterance();

    void cancel();
    bool isCancelled() const { return m_sink->isCancelled(); }
    // The synthesis ended and the sink has everything.
    bool isDone() const { return m_done.load(); }
    bool waitDone(int timeoutMs) const;
    // Marks an utterance that will never be synthesised as done.
    void abandon();
    // Called once the utterance is done, on the thread that finished it.
    // Clearing it waits for a call in progress, so that after
    // setOnDone(nullptr) it is never called again.
    void setOnDone(std::function<void()> onDone);

    int64_t synthesizedFrames() const { return m_synthesized.load(); }
    // The words from index first on that begin at or before frame.
    std::vector<Word> wordsFrom(size_t first, int64_t frame) const;
    size_t wordCount() const;
    // espeak-ng's status when the synthesis failed, else 0.
    int32_t failure() const { return m_failure.load(); }

    SpeechSink& sink() { return *m_sink; }
    const VoiceProfile& voice() const { return m_voice; }

    // The worker's side: a word at codePoint of the synthesised text, begun
    // audioMs into the speech as synthesised; samples; the end with
    // espeak-ng's status. Samples and word frames reach the sink stretched
    // by the voice's tempo.
    void addWord(int codePoint, int codePoints, int audioMs);
    bool addSamples(const int16_t* samples, size_t frames);
    void finish(int32_t status);

private:
    friend class EspeakEngine;

    // Hands samples to the sink, through the tempo filter when there is one.
    bool deliver(const int16_t* samples, size_t frames);
    bool drainStretch();

    VoiceProfile m_voice;
    std::unique_ptr<TempoFilter> m_stretch;
    std::string m_utf8;
    bool m_isSsml;
    // For each code point of m_utf8, where it came from in the caller's text;
    // one more entry for the end.
    std::vector<int32_t> m_source;
    std::vector<bool> m_blank;  // code points that are white space
    std::unique_ptr<SpeechSink> m_sink;
    std::function<void()> m_onDone;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_doneChanged;
    std::vector<Word> m_words;
    std::atomic<int64_t> m_synthesized{0};
    std::atomic<int32_t> m_failure{0};
    std::atomic<bool> m_done{false};
};

class EspeakEngine {
public:
    static constexpr int kSampleRate = 22050;
    // The rates espeak-ng speaks at, in words a minute.
    static constexpr int kMinWordsPerMinute = 80;
    static constexpr int kMaxWordsPerMinute = 450;

    static EspeakEngine& instance();

    // Starts the library on the worker the first time; later calls give the
    // first answer. False when it cannot run; status() and problem() say why.
    bool start();
    int32_t status() const { return m_status; }
    const std::u16string& problem() const { return m_problem; }

    // The installed voices, the default voice first; empty before start().
    const std::vector<EspeakVoice>& voices() const { return m_voices; }

    // Queues the utterance; it is dropped when the engine is not running.
    void speak(std::shared_ptr<Utterance> utterance);

    // Cancels what is queued and ends the worker; run at exit.
    void shutdown();

private:
    EspeakEngine() = default;
    ~EspeakEngine() = default;

    void run();
    void post(std::function<void()> task);
    void initialize();
    void synthesize(Utterance& utterance);

    std::mutex m_startMutex;
    bool m_started = false;
    bool m_available = false;
    int32_t m_status = 0;
    std::u16string m_problem;
    std::vector<EspeakVoice> m_voices;

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    std::shared_ptr<Utterance> m_current;  // being synthesised
    bool m_stopping = false;
};

}  // namespace pw
