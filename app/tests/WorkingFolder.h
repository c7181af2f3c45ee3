// Runs a test in a folder of its own, as the program runs in its own folder:
// the library and the Data/ folder are found relative to it.
#pragma once

#include <filesystem>
#include <string>

namespace pw::test {

class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const std::string& folder)
        : m_previous(std::filesystem::current_path()) {
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    ~ScopedWorkingFolder() {
        std::error_code ec;
        std::filesystem::current_path(m_previous, ec);
    }
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

private:
    std::filesystem::path m_previous;
};

}  // namespace pw::test
