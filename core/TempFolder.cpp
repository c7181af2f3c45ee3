// The temporary folder.
#include "core/TempFolder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace pw {
namespace fs = std::filesystem;

std::string tempFolder() {
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

std::string makeTempFilePath(const std::string& name) {
    const std::string folder = tempFolder();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
    }
    std::string path = folder + name;
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
    const std::string folder = tempFolder();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::error_code fileError;
        if (!entry.is_directory(fileError)) {
            fs::remove(entry.path(), fileError);
        }
    }
    fs::remove(folder, ec);
}

}  // namespace pw
