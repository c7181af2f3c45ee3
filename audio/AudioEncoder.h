// Encodes a sound file as the player plays it (its speed, pitch, volume and
// sample rate) into a WAV file, or through an encoder program that reads a
// WAV stream, LAME for MP3 files. One encoding at a time; the player that
// owns the encoder serialises the calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pw {

class TempoStream;

// Milliseconds and byte offsets of a 16-bit stream of bytesPerSecond bytes a
// second, as positions in the files have always been computed.
int64_t streamBytesToMs(int64_t bytes, int64_t bytesPerSecond);
int64_t streamMsToBytes(int64_t ms, int64_t bytesPerSecond);

// How a player plays a file; an encoding follows it.
struct PlaybackSettings {
    int speed = 100;     // percent
    int pitch = 100;     // 0..200: -15..+15 semitones
    int volume = 100;    // percent
    int sampleRate = 0;  // of what is encoded (mono then); 0: the file's own

    static double semitones(int pitch) { return pitch * 15.0 / 100.0 - 15.0; }
    // Speed, pitch and volume; the sample rate is the caller's.
    void applyTo(TempoStream& stream) const;
};

class AudioEncoder {
public:
    // encode() flags: the encoder ends with the source (always so here), and
    // the target is a plain WAV file rather than a program's input.
    static constexpr unsigned kEncodeAutoFree = 0x40000;
    static constexpr unsigned kEncodePcmFile = 0x40;

    AudioEncoder();
    ~AudioEncoder();
    AudioEncoder(const AudioEncoder&) = delete;
    AudioEncoder& operator=(const AudioEncoder&) = delete;

    // Starts encoding source, dropping an encoding in progress. With
    // kEncodePcmFile a WAV file is written to target; otherwise command (a
    // program and its arguments, no shell) is started and fed a WAV stream on
    // its standard input. False, without a word, when source is empty or no
    // longer exists; target equal to source is refused with
    // "現在このファイルは使用中です。" and the path.
    bool encode(const std::string& source, const PlaybackSettings& settings,
                const std::string& target, const std::vector<std::string>& command, unsigned flags);
    // Starts encoding source to an MP3 file with the LAME encoder
    // ("Plugins/lame", else lame on the PATH; a box says when there is
    // none). Rates below 16 kHz are raised to 16 kHz first. Call pump()
    // until it answers false, then finish().
    bool encodeMp3(const std::string& source, const PlaybackSettings& settings,
                   const std::string& mp3Path);
    // Writes [startMs, endMs) of source, at the settings' speed and sample
    // rate, as a WAV file; at speed 150 it holds two thirds of the segment's
    // duration. True when the file was written.
    bool encodeSegmentAsWav(const std::string& source, const PlaybackSettings& settings,
                            int64_t startMs, int64_t endMs, const std::string& wavPath);
    // Encodes the next piece (up to 20000 bytes of PCM); false at the end.
    bool pump();
    // Ends the encoding and puts the file in place; true when the whole file
    // was written. A failed encoding leaves any earlier file as it was.
    bool finish();
    // Drops an encoding in progress; its target stays as it was.
    void cancel();
    // How far the encoding has come, in milliseconds of the source.
    int64_t position() const;

private:
    struct Encoding;

    bool start(const std::string& source, const PlaybackSettings& settings,
               const std::string& target, const std::vector<std::string>& command, unsigned flags,
               int minimumRate);

    std::unique_ptr<Encoding> m_encoding;
};

}  // namespace pw
