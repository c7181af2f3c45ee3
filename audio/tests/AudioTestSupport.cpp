// Helpers for the audio tests.
#include "audio/tests/AudioTestSupport.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <glob.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <stdexcept>
#include <thread>

#include "core/testsupport/TestFiles.h"

extern char** environ;

namespace pw::test {
namespace {

#if defined(__SANITIZE_ADDRESS__)
// PortAudio's device scan makes ALSA load a plugin for every device it
// probes, and unload them all again when PortAudio terminates. What the
// libraries behind those plugins still hold then looks like a leak of ours.
// Kept loaded, their references stay visible to the leak checker.
const bool kAlsaPluginsPinned = [] {
    glob_t found{};
    if (glob("/usr/lib/*/alsa-lib/libasound_module_*.so", 0, nullptr, &found) == 0) {
        for (size_t i = 0; i < found.gl_pathc; ++i) {
            dlopen(found.gl_pathv[i], RTLD_NOW | RTLD_NODELETE);
        }
    }
    globfree(&found);
    return true;
}();
#endif

int formatFor(const std::string& path) {
    const std::string ext = std::filesystem::path(path).extension().string();
    if (ext == ".flac") {
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    }
    if (ext == ".ogg") {
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    }
    if (ext == ".mp3") {
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    }
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

pid_t spawn(const std::vector<std::string>& argv, int stdoutFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

int waitStatus(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

void writeTones(const std::string& path, int rate, int channels, const std::vector<Tone>& tones) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = formatFor(path);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    for (const Tone& tone : tones) {
        const auto frames = static_cast<size_t>(std::llround(tone.seconds * rate));
        std::vector<float> samples(frames * static_cast<size_t>(channels));
        for (size_t i = 0; i < frames; ++i) {
            const double v = tone.amplitude * std::sin(2 * std::numbers::pi * tone.frequency *
                                                       static_cast<double>(i) / rate);
            for (int c = 0; c < channels; ++c) {
                samples[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
                    static_cast<float>(v);
            }
        }
        sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
    }
    sf_close(file);
}

std::vector<int16_t> sinePcm(int rate, int channels, double seconds, double frequency,
                             double amplitude) {
    const auto frames = static_cast<size_t>(std::llround(seconds * rate));
    std::vector<int16_t> out(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const double v =
            amplitude * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / rate);
        for (int c = 0; c < channels; ++c) {
            out[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
                static_cast<int16_t>(std::lrint(v * 32767));
        }
    }
    return out;
}

Sound readSound(const std::string& path) {
    Sound sound;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        return sound;
    }
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    std::vector<float> frame(static_cast<size_t>(info.channels) * 4096);
    sf_count_t n;
    while ((n = sf_readf_float(file, frame.data(), 4096)) > 0) {
        for (sf_count_t i = 0; i < n; ++i) {
            float sum = 0;
            for (int c = 0; c < info.channels; ++c) {
                sum += frame[static_cast<size_t>(i * info.channels + c)];
            }
            sound.mono.push_back(sum / static_cast<float>(info.channels));
        }
    }
    sf_close(file);
    return sound;
}

Span findSound(const Sound& sound, double threshold) {
    Span span;
    for (size_t i = 0; i < sound.mono.size(); ++i) {
        if (std::fabs(sound.mono[i]) > threshold) {
            if (span.start < 0) {
                span.start = static_cast<double>(i) / sound.rate;
            }
            span.end = static_cast<double>(i + 1) / sound.rate;
        }
    }
    return span;
}

std::vector<Span> findGaps(const Sound& sound, double from, double to, double minSeconds,
                           double threshold) {
    std::vector<Span> gaps;
    const auto first = static_cast<size_t>(std::max(0.0, from * sound.rate));
    const auto last = std::min(sound.mono.size(), static_cast<size_t>(to * sound.rate));
    size_t quietSince = first;
    for (size_t i = first; i <= last; ++i) {
        const bool loud = i == last || std::fabs(sound.mono[i]) > threshold;
        if (loud) {
            const double length = static_cast<double>(i - quietSince) / sound.rate;
            if (length >= minSeconds) {
                gaps.push_back({static_cast<double>(quietSince) / sound.rate,
                                static_cast<double>(i) / sound.rate});
            }
            quietSince = i + 1;
        }
    }
    return gaps;
}

double peak(const Sound& sound, double from, double to) {
    double best = 0;
    const auto first = static_cast<size_t>(std::max(0.0, from * sound.rate));
    const auto last = std::min(sound.mono.size(), static_cast<size_t>(to * sound.rate));
    for (size_t i = first; i < last; ++i) {
        best = std::max(best, static_cast<double>(std::fabs(sound.mono[i])));
    }
    return best;
}

double frequency(const Sound& sound, double from, double to) {
    const auto first = static_cast<size_t>(std::max(0.0, from * sound.rate));
    const auto last = std::min(sound.mono.size(), static_cast<size_t>(to * sound.rate));
    size_t crossings = 0;
    size_t firstCrossing = 0;
    size_t lastCrossing = 0;
    for (size_t i = first + 1; i < last; ++i) {
        if ((sound.mono[i - 1] < 0) != (sound.mono[i] < 0)) {
            if (crossings == 0) {
                firstCrossing = i;
            }
            lastCrossing = i;
            ++crossings;
        }
    }
    if (crossings < 3) {
        return 0;
    }
    // Half a period between neighbouring crossings.
    const double seconds = static_cast<double>(lastCrossing - firstCrossing) / sound.rate;
    return static_cast<double>(crossings - 1) / 2.0 / seconds;
}

double voicePitch(const Sound& sound, double from, double to) {
    const auto window = static_cast<size_t>(0.04 * sound.rate);
    const auto hop = static_cast<size_t>(0.01 * sound.rate);
    const auto shortest = static_cast<size_t>(sound.rate / 400);
    const auto longest = static_cast<size_t>(sound.rate / 70);
    const auto first = static_cast<size_t>(std::max(0.0, from * sound.rate));
    const auto last = std::min(sound.mono.size(), static_cast<size_t>(to * sound.rate));
    std::vector<double> pitches;
    for (size_t start = first; start + window + longest < last; start += hop) {
        const float* x = sound.mono.data() + start;
        double energy = 0;
        for (size_t i = 0; i < window; ++i) {
            energy += x[i] * x[i];
        }
        if (std::sqrt(energy / window) < 0.03) {
            continue;  // silence or a quiet consonant
        }
        double best = 0;
        size_t bestLag = 0;
        for (size_t lag = shortest; lag <= longest; ++lag) {
            double cross = 0;
            double shifted = 0;
            for (size_t i = 0; i < window; ++i) {
                cross += x[i] * x[i + lag];
                shifted += x[i + lag] * x[i + lag];
            }
            const double r = cross / std::sqrt(energy * shifted + 1e-12);
            if (r > best) {
                best = r;
                bestLag = lag;
            }
        }
        if (best > 0.6 && bestLag > 0) {
            pitches.push_back(static_cast<double>(sound.rate) / static_cast<double>(bestLag));
        }
    }
    if (pitches.empty()) {
        return 0;
    }
    std::nth_element(pitches.begin(), pitches.begin() + pitches.size() / 2, pitches.end());
    return pitches[pitches.size() / 2];
}

int runProgram(const std::vector<std::string>& argv, std::string* output) {
    if (!output) {
        const pid_t pid = spawn(argv, -1);
        return pid < 0 ? -1 : waitStatus(pid);
    }
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    const pid_t pid = spawn(argv, fds[1]);
    close(fds[1]);
    output->clear();
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) {
        output->append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    return pid < 0 ? -1 : waitStatus(pid);
}

std::string SinkRecorder::ensureSink() {
    // CTest gives each build a runtime folder of its own, where the
    // pulse_server fixture has started the server; run by hand, the tests
    // start one in a folder of their own.
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        setenv("XDG_RUNTIME_DIR", "/tmp/pw-test-runtime", 1);
    }
    const std::string runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string script = sourceDir() + "/scripts/pulse-server.sh";
    if (runProgram({"pactl", "info"}) != 0) {
        runProgram({"bash", script, "start", runtime});
    }
    std::string sinks;
    if (runProgram({"pactl", "list", "short", "sinks"}, &sinks) != 0) {
        return "No PulseAudio server answers at XDG_RUNTIME_DIR=" + runtime +
               ", and starting one failed. The playback tests record a PulseAudio null sink: "
               "install pulseaudio and pulseaudio-utils, or run `" +
               script + " start " + runtime + "`.";
    }
    if (sinks.find("\tci\t") == std::string::npos) {
        return "The PulseAudio server at XDG_RUNTIME_DIR=" + runtime +
               " has no sink named \"ci\"; it was not started by " + script + ".";
    }
    runProgram({"pactl", "set-default-sink", "ci"});
    return {};
}

::testing::AssertionResult sinkReady() {
    static const std::string problem = SinkRecorder::ensureSink();
    if (problem.empty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << problem
           << "\nThese tests play into a PulseAudio null sink and cannot run without it.";
}

bool realTimeAllowed() {
    bool allowed = false;
    std::thread probe([&] {
        sched_param realtime{};
        realtime.sched_priority = 1;
        allowed = pthread_setschedparam(pthread_self(), SCHED_FIFO, &realtime) == 0;
    });
    probe.join();
    return allowed;
}

BusyCores::BusyCores() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < cores; ++i) {
        const pid_t pid = spawn({"sh", "-c", "while :; do :; done"}, -1);
        if (pid > 0) {
            m_pids.push_back(pid);
        }
    }
}

BusyCores::~BusyCores() {
    for (pid_t pid : m_pids) {
        kill(pid, SIGKILL);
        waitStatus(pid);
    }
}

SinkRecorder::SinkRecorder(std::string path) : m_path(std::move(path)) {}

SinkRecorder::~SinkRecorder() {
    if (m_pid > 0) {
        stop();
    }
}

bool SinkRecorder::start() {
    m_pid = spawn({"parec", "--latency-msec=20", "-d", "ci.monitor", "--file-format=wav",
                   "--format=s16le", "--rate=44100", "--channels=1", m_path},
                  -1);
    if (m_pid < 0) {
        return false;
    }
    // Samples flow once the file holds more than its header.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        struct stat st;
        if (::stat(m_path.c_str(), &st) == 0 && st.st_size > 8000) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

Sound recordSink(const std::string& path, const std::function<void()>& body, int tailMs) {
    SinkRecorder recorder(path);
    if (!recorder.start()) {
        throw std::runtime_error("parec did not start recording");
    }
    body();
    std::this_thread::sleep_for(std::chrono::milliseconds(tailMs));
    return recorder.stop();
}

Sound SinkRecorder::stop() {
    if (m_pid > 0) {
        kill(m_pid, SIGINT);
        waitStatus(m_pid);
        m_pid = -1;
    }
    return readSound(m_path);
}

}  // namespace pw::test
