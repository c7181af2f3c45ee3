// A player of MP3 files that runs on its own thread: the thread opens the
// file, decodes it (mpg123) into a PCM stream and takes commands that the
// public operations post, so no caller ever waits on the decoder or the
// device. The player counts as playing while its thread runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "audio/IAudioPlayer.h"
#include "core/Thread.h"

namespace pw {

class MP3 : public IAudioPlayer, public Thread {
public:
    MP3();
    ~MP3() override;

    // Ends an earlier thread, starts one for path and waits (at most 1000 ms)
    // until the file is open; true when it is.
    bool open(const std::string& path) override;
    // Plays from the stored position.
    bool play() override;
    // Ends the thread and waits for it.
    void stop() override;
    void pause() override;
    void resume() override;
    bool isPlaying() override;
    bool isPaused() override;
    void setVolume(int percent) override;
    // Stores the position; while the thread runs, playing continues there
    // (playing starts if it had not).
    void seek(int64_t ms) override;
    // Asks the thread for the position and gives the last known one at once.
    int64_t getPosition() override;

    // The length in milliseconds; 0 while no file is open.
    int64_t length() const { return m_lengthMs.load(); }

protected:
    void run() override;

private:
    enum Command { kPlay = 100, kPause = 101, kResume = 102, kStatusPosition = 103, kSeek = 104 };
    struct Playback;

    void post(int command);
    // On the thread: plays from ms; false when there is no output.
    bool playFrom(Playback& playback, int64_t ms);
    // Carries out the commands posted since the last call; true when the
    // thread is to end.
    bool handleCommands(Playback& playback);
    // Keeps half a second decoded ahead of what is heard; true once all of
    // it has been heard.
    bool feed(Playback& playback);

    std::mutex m_commandMutex;
    std::deque<int> m_commands;
    std::string m_path;
    std::atomic<int64_t> m_lengthMs{0};
    std::atomic<int64_t> m_positionMs{0};
    std::atomic<int> m_volume{100};
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_threadFinished{true};
};

}  // namespace pw
