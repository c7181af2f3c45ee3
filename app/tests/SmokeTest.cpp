// The real program from a fresh copy of its folder: the window opens on the
// command-line file and closes, the settings file is written, the scratch
// folder is removed, and the headless subcommands work without a display;
// installed, it keeps the learner's files in the per-user folders.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/TempFolder.h"
#include "core/testsupport/TestFiles.h"

extern char** environ;

namespace pw {
namespace {
namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs program with args; env entries replace the inherited ones (an empty
// value removes one). Kills it after timeoutMs.
Result run(const std::string& program, const std::vector<std::string>& args,
           const std::map<std::string, std::string>& env, int timeoutMs = 30000) {
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (!env.count(entry.substr(0, entry.find('=')))) {
            envStrings.push_back(entry);
        }
    }
    for (const auto& [name, value] : env) {
        if (!value.empty()) {
            envStrings.push_back(name + "=" + value);
        }
    }
    std::vector<char*> envp, argv;
    for (auto& e : envStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    for (auto& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    int out[2], err[2];
    EXPECT_EQ(pipe2(out, O_CLOEXEC), 0);
    EXPECT_EQ(pipe2(err, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    pid_t pid = 0;
    Result result;
    const int spawned =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    if (spawned != 0) {
        close(out[0]);
        close(err[0]);
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (poll(fds, 2, 100) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP))) {
                char buffer[4096];
                const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                if (n <= 0) {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                } else {
                    (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
                }
            }
        }
    }
    if (open > 0) {
        kill(pid, SIGKILL);
        for (auto& fd : fds) {
            if (fd.fd >= 0) {
                close(fd.fd);
            }
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

// A fresh copy of the program's folder, without settings from earlier runs
// and with the starter library.
std::string copyProgramFolder(const test::TempDir& dir) {
    const std::string folder = dir.file("program");
    fs::copy(test::runtimeDir(), folder, fs::copy_options::recursive);
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".ini") {
            fs::remove(entry.path());
        }
    }
    fs::copy_file(test::sourceDir() + "/Tree.xml", folder + "/Tree.xml",
                  fs::copy_options::overwrite_existing);
    return folder;
}

TEST(Smoke, TheWindowOpensClosesStoresItsPlacementAndClearsTheScratchFolder) {
    if (!std::getenv("DISPLAY")) {
        GTEST_SKIP() << "needs a display: run under xvfb-run -a";
    }
    test::TempDir dir;
    const std::string folder = copyProgramFolder(dir);
    const std::string scratch = dir.file("tmp");
    // Left by an instance that has ended: cleared at exit like the program's own.
    fs::create_directories(scratch + "/Korvant/999999999-1");
    test::writeAll(scratch + "/Korvant/999999999-1/left-over.wav", "RIFF");

    // Started from elsewhere with the sample file: the program finds its own folder.
    const Result result =
        run(folder + "/phrasewright", {"Data/EverydayEnglish.xml"},
            {{"PW_AUTOCLOSE_MS", "200"}, {"PW_SHOWN_MARKER", "1"}, {"TMPDIR", scratch}});
    EXPECT_EQ(result.status, 0) << result.err;
    // The starter library names the sample file, and the file opened.
    EXPECT_NE(result.out.find("PW_TITLE Everyday English - Phrasewright\n"), std::string::npos)
        << result.out;
    EXPECT_NE(test::readAll(folder + "/Tree.xml").find("Data/EverydayEnglish.xml"),
              std::string::npos);
    const std::string ini = test::readAll(folder + "/phrasewright.ini");
    EXPECT_NE(ini.find("[Window]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("MainWidth="), std::string::npos) << ini;
    EXPECT_NE(ini.find("MainHeight="), std::string::npos) << ini;
    EXPECT_NE(ini.find("Zoomed=0"), std::string::npos) << ini;
    EXPECT_FALSE(fs::exists(scratch + "/Korvant"));
}

TEST(Smoke, SubcommandsRunWithoutADisplay) {
    const std::string program = test::runtimeDir() + "/phrasewright";
    const Result help = run(program, {"--help"}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_NE(help.out.find("Usage: phrasewright"), std::string::npos);

    const Result unknown = run(program, {"--frobnicate"}, {{"DISPLAY", ""}});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_NE(unknown.err.find("Usage: phrasewright"), std::string::npos);

    // Options are never opened as a learning file, so they need no display either.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-h"}, {"-x"}, {"lesson.xml", "-v"}}) {
        const Result option = run(program, args, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
        EXPECT_EQ(option.status, 2) << args.back() << ": " << option.err;
        EXPECT_NE(option.err.find("unknown option " + args.back()), std::string::npos)
            << option.err;
        EXPECT_NE(option.err.find("Usage: phrasewright"), std::string::npos) << args.back();
    }
    const Result version = run(program, {"--version"}, {{"DISPLAY", ""}});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("phrasewright ", 0), 0u) << version.out;
}

TEST(Smoke, WithoutADisplayTheWindowedStartSaysSoInOneLine) {
    const std::string program = test::runtimeDir() + "/phrasewright";
    // No display at all, and one that cannot be reached.
    for (const std::string display : {"", ":4711"}) {
        const Result result = run(program, {}, {{"DISPLAY", display}, {"WAYLAND_DISPLAY", ""}});
        EXPECT_EQ(result.status, 1) << display << ": " << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find("cannot open the main window"), std::string::npos) << result.err;
    }
}

TEST(Smoke, ACommandLeavesTheScratchFilesOfARunningInstanceAlone) {
    test::TempDir dir;
    test::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    // This test is the running instance, converting in its window.
    const std::string converting = makeTempFilePath("sentence.wav");
    test::writeAll(converting, "RIFF");
    const std::string program = test::runtimeDir() + "/phrasewright";
    test::writeAll(dir.file("lesson.xml"), "<SentenceList><SentenceGroup/></SentenceList>");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"--list", dir.file("lesson.xml")}}) {
        const Result result = run(program, args, {{"DISPLAY", ""}, {"TMPDIR", dir.path()}});
        EXPECT_EQ(result.status, 0) << args[0] << ": " << result.err;
        EXPECT_EQ(test::readAll(converting), "RIFF") << args[0];
        // Neither needs a scratch file, so neither made a folder of its own.
        int folders = 0;
        for (const auto& entry : fs::directory_iterator(dir.path() + "/Korvant")) {
            folders += entry.is_directory();
        }
        EXPECT_EQ(folders, 1) << args[0];
    }
    removeTempFolder();
    EXPECT_FALSE(fs::exists(dir.path() + "/Korvant"));
}

// Every file below folder with its size and time, to see that nothing changed.
std::map<std::string, std::string> listing(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const auto time = entry.last_write_time().time_since_epoch().count();
        files[entry.path().string()] =
            std::to_string(entry.is_regular_file() ? entry.file_size() : 0) + "@" +
            std::to_string(time);
    }
    return files;
}

TEST(Smoke, AnInstalledProgramReadsItsDataAndKeepsTheLearnersFilesInTheXdgFolders) {
    if (!std::getenv("DISPLAY")) {
        GTEST_SKIP() << "needs a display: run under xvfb-run -a";
    }
    // The layout of an installation: PREFIX/bin and PREFIX/share/phrasewright.
    test::TempDir dir;
    const std::string prefix = dir.file("prefix");
    const std::string shared = prefix + "/share/phrasewright/";
    fs::create_directories(prefix + "/bin");
    fs::create_directories(shared);
    fs::copy_file(test::runtimeDir() + "/phrasewright", prefix + "/bin/phrasewright");
    for (const char* folder : {"Resources", "Data", "Lists"}) {
        fs::copy(test::runtimeDir() + "/" + folder, shared + folder, fs::copy_options::recursive);
    }
    for (const char* file : {"Tree.xml", "Log.xml"}) {
        fs::copy_file(test::sourceDir() + "/" + file, shared + file);
    }
    const auto installed = listing(prefix);
    const std::string config = dir.file("config") + "/phrasewright/";
    const std::string data = dir.file("data") + "/phrasewright/";
    std::map<std::string, std::string> env{{"HOME", dir.file("home")},
                                           {"XDG_CONFIG_HOME", dir.file("config")},
                                           {"XDG_DATA_HOME", dir.file("data")},
                                           {"TMPDIR", dir.file("tmp")}};
    fs::create_directories(dir.file("tmp"));

    const Result help = run(prefix + "/bin/phrasewright", {"--help"}, env);
    EXPECT_EQ(help.status, 0) << help.err;
    for (const std::string& text : {std::string("Files (installed)"), shared, config, data}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text << " in\n" << help.out;
    }

    env["PW_AUTOCLOSE_MS"] = "200";
    env["PW_SHOWN_MARKER"] = "1";
    const Result window = run(prefix + "/bin/phrasewright", {"Data/EverydayEnglish.xml"}, env);
    EXPECT_EQ(window.status, 0) << window.err;
    // The learner's copy of the sample, named by their copy of the library.
    EXPECT_NE(window.out.find("PW_TITLE Everyday English - Phrasewright\n"), std::string::npos)
        << window.out;
    EXPECT_NE(test::readAll(config + "phrasewright.ini").find("[Window]"), std::string::npos);
    for (const char* file : {"Tree.xml", "Log.xml", "Data/EverydayEnglish.xml"}) {
        EXPECT_TRUE(fs::is_regular_file(data + file)) << file;
    }
    EXPECT_EQ(listing(prefix), installed) << "the installation was written to";

    // The build's own folder is a portable one.
    const Result portable = run(test::runtimeDir() + "/phrasewright", {"--help"}, env);
    EXPECT_NE(portable.out.find("Files (portable)"), std::string::npos) << portable.out;
}

}  // namespace
}  // namespace pw
