// The executable's folder, the layout of the files around it and the settings path.
#include "core/AppPaths.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/AppFiles.h"

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
    const std::string name = argv0 ? argv0 : "phrasewright";
    if (g_moduleDirectory.empty()) {
        g_settingsFilePath = computeSettingsFilePath(g_moduleDirectory, name);
        return;
    }
    AppFiles& files = AppFiles::instance();
    files.setLayout(decideFileLayout(FileLayoutInputs::fromSystem(g_moduleDirectory)));
    const FileLayout layout = files.layout();
    if (!layout.notice.empty()) {
        std::fprintf(stderr, "%s\n", layout.notice.c_str());
    }
    std::string error;
    if (!files.prepareFolders(&error)) {
        std::fprintf(stderr, "phrasewright: %s\n", error.c_str());
    }
    // Relative paths (the library's entries, the Data/ folder) mean the
    // learner's files: in a portable folder those sit beside the executable.
    if (chdir(layout.learnerFolder.c_str()) != 0) {
        // Without the change they resolve against wherever we were started.
    }
    g_settingsFilePath = computeSettingsFilePath(layout.settingsFolder, name);
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
    FileLayout layout;
    layout.shippedFolder = layout.learnerFolder = layout.settingsFolder = g_moduleDirectory;
    AppFiles::instance().setLayout(std::move(layout));
}

}  // namespace pw
