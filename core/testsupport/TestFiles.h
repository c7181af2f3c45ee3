// Scratch folders and file helpers for tests.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace pw::test {

// A fresh folder under the system temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // path() + "/" + name
    std::string file(std::string_view name) const;

private:
    std::string m_path;
};

// Sets an environment variable for the lifetime of the object (LC_ALL decides
// the system code page, TMPDIR the temporary folder).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_hadValue;
};

std::string readAll(const std::string& path);

// Creates a named pipe (FIFO) at path; throws when it cannot.
void makeFifo(const std::string& path);
// Runs work on a thread of its own and tells whether it returned within
// timeout. Work still waiting on the FIFO at fifoPath is then released (the
// FIFO is opened for writing and closed) so that the test goes on to report it.
bool returnsWithin(std::chrono::milliseconds timeout, const std::string& fifoPath,
                   std::function<void()> work);
void writeAll(const std::string& path, std::string_view bytes);

// The source tree (for fixture files) and the folder beside the executable
// that holds the run-time folders; both come from the test's environment.
std::string sourceDir();
std::string runtimeDir();
std::string buildDir();

}  // namespace pw::test
