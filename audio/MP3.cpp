// The threaded MP3 player.
#include "audio/MP3.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "audio/Mpg123Decoder.h"
#include "audio/PcmOutputStream.h"

namespace pw {
namespace {

// How far decoding runs ahead of what is heard.
constexpr double kAheadSeconds = 0.5;
constexpr int kPieceMs = 100;
constexpr int kOpenWaitMs = 1000;

}  // namespace

MP3::MP3() {
    // Made before any thread runs, so stop() always signals it.
    wakeEvent();
}

MP3::~MP3() {
    Thread::stop();
}

bool MP3::open(const std::string& path) {
    Thread::stop();
    m_path = path;
    m_fileName = path;
    m_lengthMs = 0;
    m_positionMs = 0;
    m_paused = false;
    {
        std::lock_guard lock(m_commandMutex);
        m_commands.clear();
    }
    m_threadFinished = false;
    start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kOpenWaitMs);
    while (m_lengthMs.load() == 0 && !m_threadFinished.load() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return m_lengthMs.load() > 0;
}

void MP3::post(int command) {
    {
        std::lock_guard lock(m_commandMutex);
        m_commands.push_back(command);
    }
    wakeEvent().set();
}

bool MP3::play() {
    if (!isRunning()) {
        return false;
    }
    post(kPlay);
    return true;
}

void MP3::stop() {
    Thread::stop();
}
void MP3::pause() {
    post(kPause);
}
void MP3::resume() {
    post(kResume);
}
bool MP3::isPlaying() {
    return isRunning();
}
bool MP3::isPaused() {
    return m_paused.load();
}
void MP3::setVolume(int percent) {
    m_volume = percent;
}

void MP3::seek(int64_t ms) {
    m_positionMs = ms < 0 ? 0 : ms;
    if (isRunning()) {
        post(kSeek);
    }
}

int64_t MP3::getPosition() {
    const int64_t known = m_positionMs.load();
    if (isRunning()) {
        post(kStatusPosition);
    }
    return known;
}

// The thread's decoder, its output and where playing stands.
struct MP3::Playback {
    explicit Playback(Mpg123Decoder& decoder)
        : decoder(decoder),
          rate(decoder.sampleRate()),
          channels(decoder.channels()),
          stream(rate, channels, 2 * kAheadSeconds),
          piece(static_cast<size_t>(rate * channels * 2 * kPieceMs / 1000)) {}

    // The position heard, in milliseconds of the file.
    int64_t heardMs() const {
        const int64_t played = stream.playedFrames();
        const int64_t since = played >= loopFrame ? loopFrame : previousLoopFrame;
        return since >= 0 ? PCMDecoder::samplesToMs(played - since, rate)
                          : startMs + PCMDecoder::samplesToMs(played, rate);
    }

    Mpg123Decoder& decoder;
    const int rate;
    const int channels;
    PcmOutputStream stream;
    std::vector<char> piece;
    bool playing = false;
    bool feeding = false;
    int64_t startMs = 0;
    // The stream frame at which the latest loop began again from 0; -1 none.
    int64_t loopFrame = -1;
    int64_t previousLoopFrame = -1;
};

void MP3::run() {
    Mpg123Decoder decoder;
    if (!decoder.open(m_path)) {
        m_threadFinished = true;
        return;
    }
    Playback playback(decoder);
    m_lengthMs =
        std::max<int64_t>(PCMDecoder::samplesToMs(decoder.totalSamples(), playback.rate), 1);
    bool ending = false;
    while (!stopRequested() && !ending) {
        ending = handleCommands(playback);
        if (playback.playing && feed(playback)) {
            ending = true;
        }
        wakeEvent().wait(20);
        wakeEvent().reset();
    }
    playback.stream.stop();
    m_paused = false;
    m_threadFinished = true;
}

bool MP3::playFrom(Playback& p, int64_t ms) {
    p.decoder.seek(ms);
    p.startMs = ms;
    p.loopFrame = p.previousLoopFrame = -1;
    p.playing = p.stream.start();
    p.feeding = p.playing;
    m_paused = false;
    return p.playing;
}

bool MP3::handleCommands(Playback& p) {
    std::deque<int> commands;
    {
        std::lock_guard lock(m_commandMutex);
        commands.swap(m_commands);
    }
    bool ending = false;
    for (const int command : commands) {
        switch (command) {
            case kPlay:
            case kSeek:
                // Without an output there is nothing to wait for.
                ending = !playFrom(p, m_positionMs.load());
                break;
            case kPause:
                if (p.playing && !m_paused.load()) {
                    p.stream.pause();
                    m_paused = true;
                }
                break;
            case kResume:
                if (m_paused.load()) {
                    p.stream.resume();
                    m_paused = false;
                }
                break;
            case kStatusPosition:
                if (p.playing) {
                    m_positionMs = p.heardMs();
                }
                break;
        }
    }
    return ending;
}

bool MP3::feed(Playback& p) {
    p.stream.setVolume(m_volume.load());
    while (p.feeding && p.stream.queuedFrames() < static_cast<int64_t>(kAheadSeconds * p.rate)) {
        size_t bytes = 0;
        bool ended = false;
        if (!p.decoder.read(p.piece.data(), p.piece.size(), bytes, ended, false)) {
            ended = true;
        }
        p.stream.write(reinterpret_cast<const int16_t*>(p.piece.data()),
                       bytes / (static_cast<size_t>(p.channels) * 2), 0);
        // Looping goes on from the start without a break; a file that gives
        // nothing after going back cannot loop.
        const bool empty = bytes == 0 && p.stream.writtenFrames() == p.loopFrame;
        if (ended && loop() && !empty && p.decoder.seek(0)) {
            p.previousLoopFrame = p.loopFrame;
            p.loopFrame = p.stream.writtenFrames();
        } else if (ended) {
            p.stream.finish();
            p.feeding = false;
        }
    }
    if (!p.feeding && !p.stream.isPlaying()) {
        m_positionMs = m_lengthMs.load();
        return true;
    }
    return false;
}

}  // namespace pw
