// The audio conversion's states and its pipeline.
#include "export/AudioConversion.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "audio/BassPlayer.h"
#include "core/TempFolder.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "export/FileCopy.h"
#include "export/SentenceFinisher.h"
#include "export/WorkerPool.h"
#include "speech/Speaker.h"
#include "xml/Element.h"

namespace pw {
namespace {

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// A folder of its own in the temporary folder for the pieces of one run, so
// that runs of several programs never share a file.
std::string makeWorkFolder() {
    std::string pattern = makeTempFolder() + "conversion-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    return ::mkdtemp(buffer.data()) ? std::string(buffer.data()) : std::string();
}

std::string clockText(int64_t ms) {
    const int64_t seconds = (std::max<int64_t>(ms, 0) + 500) / 1000;
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(
            text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
            static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    }
    return text;
}

}  // namespace

std::u16string describeProgress(const AudioConversionProgress& progress, bool running) {
    std::string text = std::to_string(progress.done) + " of " + std::to_string(progress.total) +
                       (progress.total == 1 ? " file" : " files");
    if (!running) {
        text += " in " + clockText(progress.elapsedMs);
    } else if (progress.remainingMs >= 0) {
        text += ", about " + clockText(progress.remainingMs) + " left";
    }
    return fromUtf8(text);
}

AudioConversion::AudioConversion(Speaker& speaker, std::vector<ConversionRow> rows)
    : m_speaker(speaker),
      m_rows(std::move(rows)),
      m_self(std::make_shared<AudioConversion*>(this)) {}

AudioConversion::~AudioConversion() {
    m_self.reset();
    if (m_running) {
        m_speaker.setSpeechListener(nullptr);
        m_speaker.stop();
    }
    if (m_stopFlag) {
        m_stopFlag->store(true);
    }
    m_pool.reset();
    if (!m_workFolder.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_workFolder, ec);
    }
}

std::string AudioConversion::destination(const ConversionRow& row) const {
    std::string folder = m_settings.outputFolder;
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder + toUtf8(row.outputName);
}

std::u16string AudioConversion::spellingMarkup(const std::u16string& text) {
    std::u16string markup;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] < 0x20) {
            continue;
        }
        // The two halves of a surrogate pair are one character.
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size();
        Element::appendEscaped(markup, std::u16string_view(text).substr(i, pair ? 2 : 1));
        i += pair ? 1 : 0;
        markup += u"<silence msec=\"10\" />";
    }
    return markup;
}

std::u16string AudioConversion::speechProgress(int position, int length) {
    char text[64];
    std::snprintf(text, sizeof text, "(%d/%d) Text Converting", position, length);
    return fromUtf8(text);
}

bool AudioConversion::start(const ConversionSettings& settings) {
    if (m_running || !isFolder(settings.outputFolder)) {
        return false;
    }
    std::string workFolder = makeWorkFolder();
    if (workFolder.empty()) {
        return false;
    }
    m_settings = settings;
    m_workFolder = std::move(workFolder);
    const int jobs = settings.jobs > 0 ? settings.jobs : WorkerPool::coreCount();
    m_pool = std::make_unique<WorkerPool>(jobs);
    m_stopFlag = std::make_shared<std::atomic<bool>>(false);
    m_running = true;
    m_state = kPrepare;
    m_row = 0;
    m_inFlight = 0;
    m_completed = m_failed = m_skipped = 0;
    m_lyricsError.clear();
    m_total = static_cast<size_t>(std::count_if(m_rows.begin(), m_rows.end(), [](const auto& row) {
        return row.progress != progress::kComplete;
    }));
    m_startTime = Clock::now();
    m_speaker.setSpeechListener(this);
    advance();
    return true;
}

void AudioConversion::stop() {
    if (!m_running) {
        return;
    }
    endRun();
    maybeEnded();
}

void AudioConversion::endRun() {
    const bool speaking =
        m_state == kWaitTranslation || m_state == kWaitSentence || m_state == kWaitSpelling;
    m_state = kEnd;
    m_stopFlag->store(true);
    if (speaking) {
        m_speaker.stop();
    }
}

void AudioConversion::maybeEnded() {
    if (!m_running || m_state != kEnd || m_inFlight > 0) {
        return;
    }
    m_running = false;
    m_speaker.setSpeechListener(nullptr);
    m_pool.reset();
    std::error_code ec;
    std::filesystem::remove_all(m_workFolder, ec);
    m_workFolder.clear();
    if (m_listener) {
        m_listener->conversionEnded();
    }
}

size_t AudioConversion::maxInFlight() const {
    // Enough spoken sentences waiting that no encoder idles, few enough that
    // a stop leaves little spoken for nothing.
    return static_cast<size_t>(m_pool ? 2 * m_pool->threadCount() : 2);
}

AudioConversion::Progress AudioConversion::progress() const {
    Progress p;
    p.done = m_completed + m_failed + m_skipped;
    p.total = m_total;
    p.elapsedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_startTime).count();
    // Skipped rows take no time, so only converted ones tell the pace.
    const size_t converted = m_completed + m_failed;
    if (converted > 0 && p.total >= p.done) {
        p.remainingMs =
            p.elapsedMs * static_cast<int64_t>(p.total - p.done) / static_cast<int64_t>(converted);
    }
    return p;
}

void AudioConversion::setProgress(size_t row, std::u16string text) {
    m_rows[row].progress = std::move(text);
    if (m_listener) {
        m_listener->rowChanged(row);
    }
}

void AudioConversion::rowDone(size_t row) {
    if (m_listener) {
        m_listener->rowFinished(row);
    }
}

void AudioConversion::post(void (AudioConversion::*step)()) {
    std::weak_ptr<AudioConversion*> self = m_self;
    ui().post([self, step] {
        if (const auto conversion = self.lock()) {
            ((*conversion)->*step)();
        }
    });
}

std::string AudioConversion::piecePath(const char* kind) const {
    return m_workFolder + "/" + std::to_string(m_row + 1) + "-" + kind + ".wav";
}

bool AudioConversion::speakPiece(const char* kind, int voice, const std::u16string& text,
                                 bool isXml, const std::u16string& lyric, uint32_t silenceMs,
                                 const char16_t* failure, State waiting) {
    const std::string path = piecePath(kind);
    if (m_speaker.convertToWav(fromUtf8(path), voice, text, isXml) != TTS::kConvertStarted) {
        // A voice that cannot start now will not start on a retry either.
        failRow(m_row, failure);
        return false;
    }
    m_pending = Piece{path, lyric, silenceMs};
    m_pendingVoice = voice;
    m_state = waiting;
    return true;
}

void AudioConversion::failRow(size_t row, const std::u16string& text) {
    setProgress(row, text);
    ++m_failed;
    rowDone(row);
    endRun();
}

bool AudioConversion::cutRecordedSentence(const ConversionRow& row) {
    if (!m_cutter || m_cutterFile != row.audioPath) {
        m_cutter = std::make_unique<BassPlayer>();
        m_cutterFile.clear();
        if (!m_cutter->open(row.audioPath)) {
            return false;
        }
        m_cutterFile = row.audioPath;
    }
    m_cutter->setSampleRate(static_cast<int>(m_settings.recordedRate));
    const int64_t end = row.audioEnd < 0 ? m_cutter->getLength() : row.audioEnd;
    const std::string path = piecePath("sentence");
    if (!m_cutter->saveSegmentAsWav(row.audioStart, end, path)) {
        return false;
    }
    m_pieces.push_back(Piece{path, row.sentence, m_settings.intervalMs});
    return true;
}

void AudioConversion::advance() {
    while (m_running) {
        switch (m_state) {
            case kEnd:
                maybeEnded();
                return;
            case kPrepare: {
                while (m_row < m_rows.size() && m_rows[m_row].progress == progress::kComplete) {
                    ++m_row;
                }
                if (m_row >= m_rows.size()) {
                    m_state = kEnd;
                    break;
                }
                if (m_inFlight >= maxInFlight()) {
                    return;  // a finished sentence resumes the run
                }
                const std::string target =
                    destination(m_rows[m_row]) + (m_settings.encoder.empty() ? ".wav" : ".mp3");
                if (exists(target)) {
                    setProgress(m_row, progress::kExists);
                    ++m_skipped;
                    rowDone(m_row);
                    ++m_row;
                    break;
                }
                m_pieces.clear();
                m_state = kTranslation;
                break;
            }
            case kTranslation: {
                const ConversionRow& row = m_rows[m_row];
                if (row.translation.empty()) {
                    m_state = kSentence;
                    break;
                }
                setProgress(m_row, progress::kTranslating);
                if (speakPiece("translation", 1, row.translation, false, row.translation,
                               m_settings.intervalMs, progress::kTranslatingFailed,
                               kWaitTranslation)) {
                    return;
                }
                break;
            }
            case kSentence: {
                const ConversionRow& row = m_rows[m_row];
                setProgress(m_row, progress::kSentence);
                if (row.hasRecordedAudio() && cutRecordedSentence(row)) {
                    m_state = kSpelling;
                    break;
                }
                if (row.sentence.empty()) {
                    m_state = kSpelling;
                    break;
                }
                if (speakPiece("sentence", 0, row.sentence, false, row.sentence,
                               m_settings.intervalMs, progress::kSentenceFailed, kWaitSentence)) {
                    return;
                }
                break;
            }
            case kSpelling: {
                const ConversionRow& row = m_rows[m_row];
                setProgress(m_row, progress::kSpelling);
                if (!m_settings.spellOutWords || row.sentence.empty()) {
                    m_state = kEncode;
                    break;
                }
                if (speakPiece("spelling", 0, spellingMarkup(row.sentence), true, row.sentence,
                               kSpellingSilenceMs, progress::kSpellingFailed, kWaitSpelling)) {
                    return;
                }
                break;
            }
            case kEncode:
                submitFinishing();
                ++m_row;
                m_state = kPrepare;
                break;
            case kWaitTranslation:
            case kWaitSentence:
            case kWaitSpelling:
                return;
        }
    }
}

void AudioConversion::onSapiEvent(const SapiEvent& event) {
    if (!m_running ||
        (m_state != kWaitTranslation && m_state != kWaitSentence && m_state != kWaitSpelling)) {
        return;
    }
    if (event.type == SapiEvent::kWordBoundary) {
        setProgress(m_row, speechProgress(event.wordPosition, event.textLength));
        return;
    }
    if (event.type != SapiEvent::kFinished) {
        return;
    }
    // A voice stopped before this piece began may report its end late.
    const TTS* tts = m_speaker.tts();
    const Sapi* voice = tts ? tts->voice(m_pendingVoice) : nullptr;
    if (voice && voice->isWritingFile()) {
        return;
    }
    m_pieces.push_back(m_pending);
    m_state = m_state == kWaitTranslation ? kSentence
              : m_state == kWaitSentence  ? kSpelling
                                          : kEncode;
    // The speaker finishes this conversion before the next one starts.
    post(&AudioConversion::advance);
}

void AudioConversion::submitFinishing() {
    const size_t row = m_row;
    FinishRequest request;
    request.pieces = std::move(m_pieces);
    m_pieces.clear();
    request.destination = destination(m_rows[row]);
    request.encoder = m_settings.encoder;
    request.lyrics = m_settings.lyrics;
    request.scratchBase = m_workFolder + "/" + std::to_string(row + 1) + "-output";
    ++m_inFlight;
    std::weak_ptr<AudioConversion*> self = m_self;
    std::shared_ptr<std::atomic<bool>> stopFlag = m_stopFlag;
    m_pool->submit([self, stopFlag, row, request = std::move(request)] {
        const auto report = [self, row](const std::u16string& text) {
            ui().post([self, row, text] {
                if (const auto conversion = self.lock()) {
                    (*conversion)->setProgress(row, text);
                }
            });
        };
        FinishResult result;
        try {
            result = finishSentence(request, *stopFlag, report);
        } catch (const std::exception& e) {
            // A worker has no one to tell but the row.
            result.outcome = FinishResult::Failed;
            result.failure = progress::kCombineFailed + (u": " + fromUtf8(e.what()));
        }
        ui().post([self, row, result] {
            if (const auto conversion = self.lock()) {
                (*conversion)->finished(row, result);
            }
        });
    });
}

void AudioConversion::finished(size_t row, const FinishResult& result) {
    --m_inFlight;
    switch (result.outcome) {
        case FinishResult::Complete:
            ++m_completed;
            setProgress(row, progress::kComplete);
            break;
        case FinishResult::Failed:
            failRow(row, result.failure);
            break;
        case FinishResult::Stopped:
            setProgress(row, progress::kStopped);
            break;
    }
    if (!result.lyricsError.empty() && m_lyricsError.empty()) {
        // Shown once a run: the files themselves are fine.
        m_lyricsError = result.lyricsError;
        messageBox(m_lyricsError, MbOk | MbIconWarning);
    }
    if (result.outcome != FinishResult::Failed) {
        rowDone(row);
    }
    if (m_state == kEnd) {
        maybeEnded();
    } else if (m_state == kPrepare) {
        advance();
    }
}

}  // namespace pw
