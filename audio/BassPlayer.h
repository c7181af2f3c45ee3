// The normal player of recorded audio, on the program's audio engine: plays
// any file libsndfile decodes (MP3, Ogg, WAV, FLAC) with speed, pitch and
// volume, and cuts or encodes the open file into WAV or MP3 files through
// its AudioEncoder.
//
// Positions and lengths are milliseconds of the file, whatever the speed.
// Every operation may be called from any thread; calls are serialised.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/AudioEncoder.h"
#include "audio/IAudioPlayer.h"

namespace pw {

class AudioVoice;
class SourceVoice;
class TempoStream;

class BassPlayer : public IAudioPlayer {
public:
    // encode() flags, as AudioEncoder takes them.
    static constexpr unsigned kEncodeAutoFree = AudioEncoder::kEncodeAutoFree;
    static constexpr unsigned kEncodePcmFile = AudioEncoder::kEncodePcmFile;

    BassPlayer();
    ~BassPlayer() override;

    // Closes the previous file; the stored speed, pitch and volume apply.
    bool open(const std::string& path) override;
    // Starts or continues; a stream that had ended starts again from 0.
    // With no file open it shows "handle is not a valid channel."; without
    // an output device it fails quietly.
    bool play() override;
    void stop() override;
    void pause() override;
    void resume() override;
    // True until the last frame has been heard.
    bool isPlaying() override;
    bool isPaused() override;
    // Opens the output device now rather than at the first play().
    bool initialize() override;
    void setSpeed(int percent) override;   // 50..200
    void setVolume(int percent) override;  // 0..100
    void setPitch(int value) override;     // 0..200: -15..+15 semitones
    // The rate of what encode() writes (mono then); playback is unchanged.
    void setSampleRate(int hz) override;
    bool setOutputDevice(int device) override;
    void seek(int64_t ms) override;
    // The position being heard while playing or paused, else the stored one.
    int64_t getPosition() override;
    // open() and play() from the start; a failure shows "BASS_ChannelPlay".
    bool openAndPlay(const std::string& path) override;
    // Plays [startMs, endMs) exactly; isPlaying() turns false at endMs.
    bool playSegment(int64_t startMs, int64_t endMs) override;
    void close();

    int64_t getLength();
    int speed() const { return m_speed; }
    int sampleRate() const { return m_sampleRate; }

    // Starts encoding the open file with the current speed, pitch, volume
    // and sample rate. With kEncodePcmFile a WAV file is written to target;
    // otherwise command (a program and its arguments, no shell) is started
    // and fed a WAV stream on its standard input. False, without a word, when
    // no file is open or it no longer exists; target equal to the open file
    // is refused with "現在このファイルは使用中です。" and the path.
    bool encode(const std::string& target, const std::vector<std::string>& command, unsigned flags);
    // Starts encoding the open file to an MP3 file with the LAME encoder
    // ("Plugins/lame", else lame on the PATH; a box says when there is
    // none). Rates below 16 kHz are raised to 16 kHz first. Call pump()
    // until it answers false, then finishEncoding().
    bool saveAsMp3(const std::string& mp3Path);
    // Encodes the next piece (up to 20000 bytes of PCM); false at the end.
    bool pump();
    // Ends the encoding and puts the file in place; true when the whole file
    // was written. A failed encoding leaves any earlier file as it was.
    bool finishEncoding();
    // How far the encoding has come, in milliseconds of the file.
    int64_t getEncodingPosition();
    // Writes [startMs, endMs) of the open file, at the current speed and
    // sample rate, as a WAV file; at speed 150 it holds two thirds of the
    // segment's duration. True when the file was written.
    bool saveSegmentAsWav(int64_t startMs, int64_t endMs, const std::string& wavPath);

    // What plays, for measuring; null before a file is open.
    const AudioVoice* voice() const;

private:
    enum class State { Stopped, Playing, Paused };

    bool openLocked(const std::string& path);
    void closeLocked();
    bool playLocked(bool showErrors);
    void refreshLocked();
    void seekLocked(int64_t ms);
    int64_t bytesPerSecond() const;
    int64_t msToFrames(int64_t ms) const;
    int64_t framesToMs(int64_t frames) const;
    PlaybackSettings settingsLocked() const;
    // With m_streamMutex: the file frame after the last one handed to the
    // device, -1 while stopped; and the sound made ahead dropped, so that
    // it goes on from there with the new speed or pitch at once.
    int64_t nextSourceFrameLocked() const;
    void carryOnLocked(int64_t sourceFrame);

    std::mutex m_mutex;
    // Guards m_stream against the feeder, which makes its sound ahead.
    std::mutex m_streamMutex;
    std::unique_ptr<TempoStream> m_stream;
    std::unique_ptr<SourceVoice> m_voice;
    int64_t m_voiceOrigin = 0;
    State m_state = State::Stopped;
    int64_t m_lengthMs = 0;
    int64_t m_positionMs = 0;
    int m_speed = 100;
    int m_volume = 100;
    int m_pitch = 100;
    int m_sampleRate = 0;
    AudioEncoder m_encoder;
};

}  // namespace pw
