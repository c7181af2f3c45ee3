// The executable's folder and the settings path.
#include "core/AppPaths.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace pw {
namespace {

std::string g_moduleDirectory;
std::string g_settingsFilePath;

}  // namespace

std::string computeSettingsFilePath(const std::string& folder, const std::string& argv0) {
    const auto sep = argv0.find_last_of("/\\");
    std::string name = sep == std::string::npos ? argv0 : argv0.substr(sep + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.resize(dot);
    }
    return folder + name + ".ini";
}

void initModuleDirectory(const char* argv0) {
    if (g_moduleDirectory.empty()) {
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (!ec) {
            std::string path = exe.string();
            g_moduleDirectory = path.substr(0, path.rfind('/') + 1);
        }
    }
    if (!g_moduleDirectory.empty()) {
        if (chdir(g_moduleDirectory.c_str()) != 0) {
            // Data files are found relative to the current directory; without
            // the change they resolve against wherever we were started.
        }
    }
    g_settingsFilePath = computeSettingsFilePath(g_moduleDirectory, argv0 ? argv0 : "phrasewright");
}

const std::string& moduleDirectory() {
    return g_moduleDirectory;
}

const std::string& settingsFilePath() {
    return g_settingsFilePath;
}

void setModuleDirectoryForTesting(const std::string& folder, const std::string& argv0) {
    g_moduleDirectory = folder;
    if (!g_moduleDirectory.empty() && g_moduleDirectory.back() != '/') {
        g_moduleDirectory += '/';
    }
    g_settingsFilePath = computeSettingsFilePath(g_moduleDirectory, argv0);
}

}  // namespace pw
