// Scratch folders and file helpers for tests.
#include "core/testsupport/TestFiles.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace pw::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "pwtest.XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) {
        throw std::runtime_error("cannot create a scratch folder");
    }
    m_path = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void makeFifo(const std::string& path) {
    if (mkfifo(path.c_str(), 0600) != 0) {
        throw std::runtime_error("cannot create the FIFO " + path);
    }
}

bool returnsWithin(std::chrono::milliseconds timeout, const std::string& fifoPath,
                   std::function<void()> work) {
    auto done = std::async(std::launch::async, std::move(work));
    if (done.wait_for(timeout) == std::future_status::ready) {
        done.get();
        return true;
    }
    // A reader blocked in open() or read() gets a writer and then the end of the data.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(fifoPath.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            close(fd);
        }
        if (done.wait_for(std::chrono::milliseconds(50)) == std::future_status::ready) {
            break;
        }
    }
    done.get();
    return false;
}

std::string TempDir::file(std::string_view name) const {
    return m_path + "/" + std::string(name);
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name) {
    const char* old = std::getenv(name);
    m_hadValue = old != nullptr;
    if (old) {
        m_old = old;
    }
    setenv(name, value, 1);
}

ScopedEnv::~ScopedEnv() {
    if (m_hadValue) {
        setenv(m_name.c_str(), m_old.c_str(), 1);
    } else {
        unsetenv(m_name.c_str());
    }
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeAll(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {
std::string fromEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
}  // namespace

std::string sourceDir() {
    return fromEnv("PW_SOURCE_DIR");
}
std::string runtimeDir() {
    return fromEnv("PW_RUNTIME_DIR");
}
std::string buildDir() {
    return fromEnv("PW_BUILD_DIR");
}

}  // namespace pw::test
