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

void MP3::run() {
    Mpg123Decoder decoder;
    if (!decoder.open(m_path)) {
        m_threadFinished = true;
        return;
    }
    const int rate = decoder.sampleRate();
    const int channels = decoder.channels();
    PcmOutputStream stream(rate, channels, 2 * kAheadSeconds);
    std::vector<char> piece(static_cast<size_t>(rate * channels * 2 * kPieceMs / 1000));
    bool playing = false;
    bool feeding = false;
    int64_t startMs = 0;
    // The stream frame at which the latest loop began again from 0; -1 none.
    int64_t loopFrame = -1;
    int64_t previousLoopFrame = -1;

    const auto heardMs = [&] {
        const int64_t played = stream.playedFrames();
        const int64_t since = played >= loopFrame ? loopFrame : previousLoopFrame;
        return since >= 0 ? PCMDecoder::samplesToMs(played - since, rate)
                          : startMs + PCMDecoder::samplesToMs(played, rate);
    };
    const auto playFrom = [&](int64_t ms) {
        decoder.seek(ms);
        startMs = ms;
        loopFrame = previousLoopFrame = -1;
        playing = stream.start();
        feeding = playing;
        m_paused = false;
        return playing;
    };

    m_lengthMs = std::max<int64_t>(PCMDecoder::samplesToMs(decoder.totalSamples(), rate), 1);
    bool ending = false;
    while (!stopRequested() && !ending) {
        std::deque<int> commands;
        {
            std::lock_guard lock(m_commandMutex);
            commands.swap(m_commands);
        }
        for (const int command : commands) {
            switch (command) {
                case kPlay:
                case kSeek:
                    // Without an output there is nothing to wait for.
                    ending = !playFrom(m_positionMs.load());
                    break;
                case kPause:
                    if (playing && !m_paused.load()) {
                        stream.pause();
                        m_paused = true;
                    }
                    break;
                case kResume:
                    if (m_paused.load()) {
                        stream.resume();
                        m_paused = false;
                    }
                    break;
                case kStatusPosition:
                    if (playing) {
                        m_positionMs = heardMs();
                    }
                    break;
            }
        }
        if (playing) {
            stream.setVolume(m_volume.load());
            while (feeding && stream.queuedFrames() < static_cast<int64_t>(kAheadSeconds * rate)) {
                size_t bytes = 0;
                bool ended = false;
                if (!decoder.read(piece.data(), piece.size(), bytes, ended, false)) {
                    ended = true;
                }
                stream.write(reinterpret_cast<const int16_t*>(piece.data()),
                             bytes / (static_cast<size_t>(channels) * 2), 0);
                // Looping goes on from the start without a break; a file
                // that gives nothing after going back cannot loop.
                const bool empty = bytes == 0 && stream.writtenFrames() == loopFrame;
                if (ended && loop() && !empty && decoder.seek(0)) {
                    previousLoopFrame = loopFrame;
                    loopFrame = stream.writtenFrames();
                } else if (ended) {
                    stream.finish();
                    feeding = false;
                }
            }
            if (!feeding && !stream.isPlaying()) {
                m_positionMs = m_lengthMs.load();
                ending = true;
            }
        }
        wakeEvent().wait(20);
        wakeEvent().reset();
    }
    stream.stop();
    m_paused = false;
    m_threadFinished = true;
}

}  // namespace pw
