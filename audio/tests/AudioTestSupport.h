// Helpers for the audio tests: generated sound files, analysis of recorded
// sound, outside programs, and recording the PulseAudio test sink.
#pragma once

#include <sys/types.h>

#include <functional>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pw::test {

// A steady sine; frequency 0 is silence.
struct Tone {
    double seconds;
    double frequency;
    double amplitude = 0.5;
};

// Writes the tones one after another; the file type follows the extension
// (.wav 16-bit PCM, .flac, .ogg Vorbis, .mp3).
void writeTones(const std::string& path, int rate, int channels, const std::vector<Tone>& tones);

// 16-bit samples of a sine, interleaved over channels.
std::vector<int16_t> sinePcm(int rate, int channels, double seconds, double frequency,
                             double amplitude = 0.5);

struct Sound {
    int rate = 0;
    int channels = 0;
    std::vector<float> mono;  // the mean of the channels
    double seconds() const { return rate ? static_cast<double>(mono.size()) / rate : 0.0; }
};
Sound readSound(const std::string& path);

// Where sound louder than threshold begins and ends, in seconds; both -1
// when there is none.
struct Span {
    double start = -1;
    double end = -1;
    double length() const { return end - start; }
};
Span findSound(const Sound& sound, double threshold = 0.02);
// The silent stretches inside [from, to) longer than minSeconds.
std::vector<Span> findGaps(const Sound& sound, double from, double to, double minSeconds = 0.02,
                           double threshold = 0.02);
double peak(const Sound& sound, double from, double to);
// The frequency between from and to (seconds), from its zero crossings.
double frequency(const Sound& sound, double from, double to);
// The pitch of a voice between from and to: the median of the fundamental
// frequencies (70 to 400 Hz) of its voiced 40 ms stretches; 0 when none is.
double voicePitch(const Sound& sound, double from, double to);

// Runs argv (no shell) and returns its exit status; output gets its stdout.
int runProgram(const std::vector<std::string>& argv, std::string* output = nullptr);

// Whether this process may run a thread at real-time priority.
bool realTimeAllowed();

// Keeps every core of the machine busy with other processes while it
// exists: one endless shell loop per core, at the normal priority.
class BusyCores {
public:
    BusyCores();
    ~BusyCores();
    BusyCores(const BusyCores&) = delete;
    BusyCores& operator=(const BusyCores&) = delete;
    size_t count() const { return m_pids.size(); }

private:
    std::vector<pid_t> m_pids;
};

// Records the monitor of the test sink "ci" while it exists.
class SinkRecorder {
public:
    // Makes sure the PulseAudio server with the null sink runs, starting it
    // with scripts/pulse-server.sh when it is missing. Empty when it runs,
    // else why not.
    static std::string ensureSink();

    explicit SinkRecorder(std::string path);
    ~SinkRecorder();
    // Starts recording and returns once samples arrive.
    bool start();
    // Ends recording and gives what was recorded.
    Sound stop();

private:
    std::string m_path;
    pid_t m_pid = -1;
};

// Success when the test sink is there (looked for once per process), else
// why not: for the SetUp of every test that plays into the sink.
::testing::AssertionResult sinkReady();

// What the sink heard while body ran, plus tailMs of what followed; the
// recording goes to path.
Sound recordSink(const std::string& path, const std::function<void()>& body, int tailMs = 300);

}  // namespace pw::test
