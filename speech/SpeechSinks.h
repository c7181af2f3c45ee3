// The two places speech goes: the speakers, through a PCM stream of the
// audio output, and a WAV file in one of the speech formats.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/PcmOutputStream.h"
#include "core/SafeFile.h"
#include "speech/EspeakEngine.h"
#include "speech/SpeechFormat.h"

namespace pw {

class PlaybackSink : public SpeechSink {
public:
    PlaybackSink();
    // Opens the output; false when there is no output device.
    bool start() { return m_stream.start(); }
    PcmOutputStream& stream() { return m_stream; }

    bool write(const int16_t* samples, size_t frames) override;
    void finish(bool completed) override;

protected:
    void onCancel() override { m_stream.stop(); }

private:
    PcmOutputStream m_stream;
};

// Collects the speech and writes the file when the synthesis ends, complete
// or stopped: the file is always a whole WAV file of what was spoken, and an
// earlier file of that name stays until the new one is complete.
class WavSink : public SpeechSink {
public:
    WavSink(std::string path, const SpeechFormat& format);
    // Claims the place of the file; false (with error()) when it cannot be written.
    bool open();
    const std::string& error() const { return m_writer.error(); }
    // After finish(): whether the file was written.
    bool written() const { return m_written; }

    bool write(const int16_t* samples, size_t frames) override;
    void finish(bool completed) override;

    // 22050 Hz mono samples as the bytes of format's data chunk.
    static std::string convert(const std::vector<int16_t>& samples, const SpeechFormat& format);

private:
    SpeechFormat m_format;
    SafeFileWriter m_writer;
    std::vector<int16_t> m_samples;
    bool m_written = false;
};

}  // namespace pw
