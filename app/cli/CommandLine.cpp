// The command-line file.
#include "app/cli/CommandLine.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "core/Utf.h"

namespace pw {
namespace {
std::string g_startDirectory;
}

std::u16string joinArguments(const std::vector<std::string>& arguments) {
    std::string joined;
    for (const auto& argument : arguments) {
        joined += argument;
    }
    return fromUtf8(joined);
}

void rememberStartDirectory() {
    std::error_code ec;
    const auto current = std::filesystem::current_path(ec);
    g_startDirectory = ec ? std::string() : current.string();
}

const std::string& startDirectory() {
    return g_startDirectory;
}

std::string fromStartFolder(const std::string& path) {
    if (path.empty() || path.front() == '/' || g_startDirectory.empty()) {
        return path;
    }
    return g_startDirectory + "/" + path;
}

std::string resolveStartPath(const std::string& path, const std::string& startFolder) {
    if (path.empty() || path.front() == '/' || startFolder.empty()) {
        return path;
    }
    const std::string candidate = startFolder + "/" + path;
    std::error_code ec;
    if (std::filesystem::exists(candidate, ec)) {
        return std::filesystem::weakly_canonical(candidate, ec).string();
    }
    return path;
}

}  // namespace pw
