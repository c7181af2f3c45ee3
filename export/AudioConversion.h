// The audio conversion without its dialog: turns rows of sentences into one
// audio file each, for the dialog and the headless export alike.
//
// A sentence's pieces are spoken one after another into WAV files (the
// translation with voice 2, the sentence with voice 1 or cut from its
// recorded audio, optionally its spelling), driven by the speaker's events on
// the user-interface thread; the speech engine synthesises on its own thread.
// Joining, encoding and tagging a spoken sentence (SentenceFinisher) run on
// worker threads while the next sentences are spoken. The states and the
// "Progress" texts are those of the dialog.
//
//   AudioConversion conversion(speaker, makeConversionRows(list, selected, false));
//   conversion.setListener(&view);
//   conversion.start(settings);       // returns at once
//   ...                               // rowChanged, rowFinished, conversionEnded
//
// Everything here is called on the user-interface thread, and so are the
// listener's operations.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/ConversionRow.h"
#include "export/PieceJoiner.h"
#include "export/PlayerFormat.h"
#include "speech/SapiEvent.h"

namespace pw {

class BassPlayer;
class Speaker;
class WorkerPool;
struct FinishResult;

namespace progress {
inline constexpr const char16_t* kExists = u"pathname already exists.";
inline constexpr const char16_t* kTranslating = u"Translating to wav";
inline constexpr const char16_t* kTranslatingFailed = u"Failed Translating to wav";
inline constexpr const char16_t* kSentence = u"Sentence to wav";
inline constexpr const char16_t* kSentenceFailed = u"Failed Sentence to wav";
inline constexpr const char16_t* kSpelling = u"SentenceSpell to wav";
inline constexpr const char16_t* kSpellingFailed = u"Failed SentenceSpell to wav";
}  // namespace progress

struct AudioConversionProgress {
    size_t done = 0;   // rows of this run finished, skipped or failed
    size_t total = 0;  // rows this run has to do
    int64_t elapsedMs = 0;
    int64_t remainingMs = -1;  // -1 until a sentence has been converted
};

struct ConversionSettings {
    std::string outputFolder;  // UTF-8; must exist
    uint32_t intervalMs = 1000;
    bool spellOutWords = false;
    std::optional<PlayerFormat> lyrics;  // none: no lyrics
    std::string encoder;                 // the LAME program; empty: WAV files without lyrics
    int jobs = 0;                        // sentences encoded at once; 0: one per core
    uint32_t recordedRate = 16000;       // of pieces cut from recorded audio
};

// What the progress bar's label says: "3 of 10 files, about 1:05 left"
// while running (the time once it can be told), "10 of 10 files in 1:12"
// at the end.
std::u16string describeProgress(const AudioConversionProgress& progress, bool running);

class ConversionListener {
public:
    virtual ~ConversionListener() = default;
    // The "Progress" text of row changed.
    virtual void rowChanged(size_t row) = 0;
    // Row is done with in this run: complete, skipped, failed or stopped. The
    // counts and the time left have changed.
    virtual void rowFinished(size_t /*row*/) {}
    virtual void conversionEnded() {}
};

class AudioConversion : private SapiEventListener {
public:
    enum State : int {
        kEnd = 1,
        kPrepare = 2,
        kTranslation = 3,
        kWaitTranslation = 4,
        kSentence = 5,
        kWaitSentence = 6,
        kSpelling = 7,
        kWaitSpelling = 8,
        kEncode = 9,
    };

    using Progress = AudioConversionProgress;

    // The silence before a spelling piece.
    static constexpr uint32_t kSpellingSilenceMs = 100;

    // speaker must outlive the conversion; it speaks for it while it runs.
    AudioConversion(Speaker& speaker, std::vector<ConversionRow> rows);
    ~AudioConversion() override;
    AudioConversion(const AudioConversion&) = delete;
    AudioConversion& operator=(const AudioConversion&) = delete;

    void setListener(ConversionListener* listener) { m_listener = listener; }

    // Starts a run over the rows not "Complete" yet. False when one is running
    // or the output folder is missing.
    bool start(const ConversionSettings& settings);
    // Speaks no further; sentences being encoded are abandoned. The run ends
    // (conversionEnded) once the workers have let go of their files.
    void stop();
    bool isRunning() const { return m_running; }
    State state() const { return m_state; }

    const std::vector<ConversionRow>& rows() const { return m_rows; }
    Progress progress() const;
    // Of the last run.
    size_t completedCount() const { return m_completed; }
    size_t failedCount() const { return m_failed; }
    size_t skippedCount() const { return m_skipped; }
    // Why the lyrics of some file could not be attached; empty when they could.
    const std::u16string& lyricsError() const { return m_lyricsError; }

    // The output file of row, without its extension.
    std::string destination(const ConversionRow& row) const;
    // The spelling piece's markup: each character of text followed by a
    // silence of 10 ms.
    static std::u16string spellingMarkup(const std::u16string& text);
    // "(12/40) Text Converting"
    static std::u16string speechProgress(int position, int length);

private:
    using Clock = std::chrono::steady_clock;

    void onSapiEvent(const SapiEvent& event) override;
    // Acts on the states until one waits for an event.
    void advance();
    void post(void (AudioConversion::*step)());
    void setProgress(size_t row, std::u16string text);
    void rowDone(size_t row);
    // Starts speaking a piece of the current row and waits; when it cannot
    // start, the row fails with failure and the run ends.
    bool speakPiece(const char* kind, int voice, const std::u16string& text, bool isXml,
                    const std::u16string& lyric, uint32_t silenceMs, const char16_t* failure,
                    State waiting);
    void failRow(size_t row, const std::u16string& text);
    bool cutRecordedSentence(const ConversionRow& row);
    std::string piecePath(const char* kind) const;
    void submitFinishing();
    void finished(size_t row, const FinishResult& result);
    // Ends the run: no further sentences.
    void endRun();
    void maybeEnded();
    size_t maxInFlight() const;

    Speaker& m_speaker;
    std::vector<ConversionRow> m_rows;
    ConversionListener* m_listener = nullptr;
    ConversionSettings m_settings;
    State m_state = kEnd;
    bool m_running = false;
    size_t m_row = 0;
    std::vector<Piece> m_pieces;
    Piece m_pending;  // the piece being spoken
    int m_pendingVoice = 0;
    std::string m_workFolder;
    std::unique_ptr<WorkerPool> m_pool;
    std::shared_ptr<std::atomic<bool>> m_stopFlag;
    size_t m_inFlight = 0;
    std::unique_ptr<BassPlayer> m_cutter;
    std::string m_cutterFile;

    Clock::time_point m_startTime;
    size_t m_total = 0;
    size_t m_completed = 0;
    size_t m_failed = 0;
    size_t m_skipped = 0;
    std::u16string m_lyricsError;

    // Work posted back to the user-interface thread finds the conversion
    // through this, and nothing once it is gone.
    std::shared_ptr<AudioConversion*> m_self;
};

}  // namespace pw
