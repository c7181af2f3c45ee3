// The temporary folder.
#include "core/TempFolder.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

namespace pw {
namespace fs = std::filesystem;

namespace {

// The start time of process pid in clock ticks since boot (field 22 of
// /proc/<pid>/stat); nothing when there is no such process. Where /proc is
// missing, a running process has the start time 0.
std::optional<unsigned long long> processStartTime(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) {
        if (fs::exists("/proc/self/stat")) {
            return std::nullopt;
        }
        return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM
                   ? std::optional<unsigned long long>(0)
                   : std::nullopt;
    }
    std::string line;
    std::getline(stat, line);
    // The command name in parentheses may hold blanks; the fields follow its ")".
    const size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    for (int number = 3; number < 22 && fields >> field; ++number) {
    }
    unsigned long long start = 0;
    if (!(fields >> start)) {
        return std::nullopt;
    }
    return start;
}

// "<pid>-<start time>" of this process; computed again after a fork.
std::string ownFolderName() {
    static long cachedPid = -1;
    static std::string cachedName;
    const long pid = static_cast<long>(getpid());
    if (pid != cachedPid) {
        cachedName = std::to_string(pid) + "-" + std::to_string(processStartTime(pid).value_or(0));
        cachedPid = pid;
    }
    return cachedName;
}

// Whether name is the folder of a process that no longer runs. Only names of
// the form "<pid>-<start time>" are ever taken for such folders.
bool isLeftOver(const std::string& name) {
    long pid = 0;
    unsigned long long start = 0;
    int used = 0;
    if (std::sscanf(name.c_str(), "%ld-%llu%n", &pid, &start, &used) != 2 ||
        used != static_cast<int>(name.size()) || pid <= 0 || name == ownFolderName()) {
        return false;
    }
    const auto running = processStartTime(pid);
    return !running || *running != start;
}

void removeFilesAndFolder(const fs::path& folder) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::error_code fileError;
        if (!entry.is_directory(fileError)) {
            fs::remove(entry.path(), fileError);
        }
    }
    fs::remove(folder, ec);
}

void removeLeftOverFolders() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sharedTempFolder(), ec)) {
        std::error_code entryError;
        if (entry.is_directory(entryError) && isLeftOver(entry.path().filename().string())) {
            // All of it: nothing there is at work any more, and a conversion
            // cut short leaves its work folder inside.
            fs::remove_all(entry.path(), entryError);
        }
    }
}

}  // namespace

std::string sharedTempFolder() {
    std::error_code ec;
    auto base = fs::temp_directory_path(ec);
    if (ec) {
        base = "/tmp";
    }
    std::string folder = base.string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder + "Korvant/";
}

std::string tempFolder() {
    return sharedTempFolder() + ownFolderName() + "/";
}

std::string makeTempFolder() {
    const std::string folder = tempFolder();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        fs::create_directories(sharedTempFolder(), ec);
        // Scratch files are the learner's own sentences: for this user only.
        if (fs::create_directory(folder, ec)) {
            fs::permissions(folder, fs::perms::owner_all, ec);
        }
        removeLeftOverFolders();
    }
    return folder;
}

std::string makeTempFilePath(const std::string& name) {
    std::string path = makeTempFolder() + name;
    makeUniqueFileName(path, false);
    return path;
}

void makeUniqueFileName(std::string& path, bool createEmpty) {
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string base = hasExtension ? path.substr(0, dot) : path;
    const std::string extension = hasExtension ? path.substr(dot) : std::string();

    std::error_code ec;
    for (int counter = 1; fs::exists(path, ec) && counter <= 1000; ++counter) {
        char number[16];
        std::snprintf(number, sizeof number, "%03d", counter);
        path = base + number + extension;
    }
    if (createEmpty) {
        std::ofstream(path, std::ios::binary | std::ios::app);
    }
}

void removeTempFolder() {
    std::error_code ec;
    if (fs::is_directory(tempFolder(), ec)) {
        removeFilesAndFolder(tempFolder());
    }
    removeLeftOverFolders();
    // Only an empty folder goes: what others keep there stays.
    fs::remove(sharedTempFolder(), ec);
}

}  // namespace pw
