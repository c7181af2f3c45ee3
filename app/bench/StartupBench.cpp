// Start-up time: from starting the process to its main window on screen, for
// the program with the drawn view and with the exercise page ("UseIE"), and,
// in the same run, for a minimal wx frame. Run by hand under a display:
// xvfb-run -a build/bench/startup_bench
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

extern char** environ;

namespace {
namespace fs = std::filesystem;

fs::path benchFolder() {
    return fs::read_symlink("/proc/self/exe").parent_path();
}

fs::path copiesFolder() {
    return fs::temp_directory_path() / ("pw-startup-" + std::to_string(getpid()));
}

// A private copy of the program's folder, so its settings file stays apart;
// one with the exercise page chosen, one without.
fs::path programCopy(bool page) {
    const fs::path dir = copiesFolder() / (page ? "page" : "drawn");
    if (!fs::exists(dir)) {
        fs::create_directories(dir.parent_path());
        fs::copy(benchFolder().parent_path() / "bin", dir, fs::copy_options::recursive);
        std::ofstream(dir / "phrasewright.ini")
            << "[Phrasewright]\nUseIE=" << (page ? 1 : 0) << "\n";
    }
    return dir;
}

// Seconds from spawning program until it prints its "shown" line; -1 on failure.
double timeToShown(const fs::path& program) {
    int out[2];
    if (pipe(out) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    setenv("PW_SHOWN_MARKER", "1", 1);
    setenv("PW_AUTOCLOSE_MS", "1", 1);
    std::string path = program.string();
    char* argv[] = {path.data(), nullptr};
    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    double seconds = -1;
    if (spawned == 0) {
        std::string text;
        char buffer[256];
        ssize_t n;
        while (text.find("PW_SHOWN") == std::string::npos &&
               (n = read(out[0], buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<size_t>(n));
        }
        if (text.find("PW_SHOWN") != std::string::npos) {
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        while (read(out[0], buffer, sizeof buffer) > 0) {
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    close(out[0]);
    return seconds;
}

void measure(benchmark::State& state, const fs::path& program) {
    for (auto _ : state) {
        const double seconds = timeToShown(program);
        if (seconds < 0) {
            state.SkipWithError("the program did not show its window (is there a display?)");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void Phrasewright(benchmark::State& state) {
    measure(state, programCopy(false) / "phrasewright");
}
void PhrasewrightPageForm(benchmark::State& state) {
    measure(state, programCopy(true) / "phrasewright");
}
void MinimalWxFrame(benchmark::State& state) {
    measure(state, benchFolder() / "minimal_frame");
}

BENCHMARK(MinimalWxFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(Phrasewright)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(PhrasewrightPageForm)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(copiesFolder());
    return 0;
}
