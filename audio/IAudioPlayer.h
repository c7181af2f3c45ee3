// The one interface through which recorded audio is played: open a file,
// play, pause, resume, stop, seek, and ask the position; times in
// milliseconds, speed, volume and pitch in percent (100 = normal).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace pw {

class IAudioPlayer {
public:
    virtual ~IAudioPlayer() = default;

    // Prepares the file (a UTF-8 path); true on success.
    virtual bool open(const std::string& path) {
        (void)path;
        return false;
    }
    // Starts from the current or the seek position.
    virtual bool play() { return false; }
    // Stops and forgets the position.
    virtual void stop() {}
    virtual void pause() {}
    virtual void resume() {}
    virtual bool isPlaying() { return false; }
    virtual bool isPaused() { return false; }
    // One-time set-up of the output.
    virtual bool initialize() { return false; }
    // 50 to 200 percent, the pitch kept.
    virtual void setSpeed(int percent) { (void)percent; }
    virtual void setVolume(int percent) { (void)percent; }
    // 0 to 200, 100 = unchanged.
    virtual void setPitch(int value) { (void)value; }
    // Output sample rate of what the player writes to files; 0 = the file's.
    virtual void setSampleRate(int hz) { (void)hz; }
    // Output device number (-1 = the system's default).
    virtual bool setOutputDevice(int device) {
        m_outputDevice = device;
        return true;
    }
    virtual void seek(int64_t ms) { (void)ms; }
    virtual int64_t getPosition() { return 0; }
    virtual bool openAndPlay(const std::string& path) {
        (void)path;
        return false;
    }
    // Plays [startMs, endMs) of the open file; the player stops by itself at
    // endMs, so isPlaying() turns false there. Players that cannot stop at
    // an exact point play on to the end of the file.
    virtual bool playSegment(int64_t startMs, int64_t endMs) {
        (void)endMs;
        seek(startMs);
        return play();
    }

    // Whether playback starts again at the end (on by default; the players
    // that can loop honour it).
    bool loop() const { return m_loop.load(); }
    void setLoop(bool loop) { m_loop.store(loop); }
    const std::string& fileName() const { return m_fileName; }
    int outputDevice() const { return m_outputDevice; }

protected:
    std::atomic<bool> m_loop{true};
    std::string m_fileName;
    int m_outputDevice = -1;
};

}  // namespace pw
