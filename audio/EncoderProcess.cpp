// Running the encoder program.
#include "audio/EncoderProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace pw {
namespace {

bool isExecutableFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

int waitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return status;
}

}  // namespace

EncoderProcess::~EncoderProcess() {
    abandon();
}

std::string EncoderProcess::findProgram(const std::string& path, const std::string& name) {
    if (isExecutableFile(path)) {
        return path;
    }
    const char* searchPath = std::getenv("PATH");
    std::string folders = searchPath ? searchPath : "";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        if (!folder.empty() && isExecutableFile(folder + "/" + name)) {
            return folder + "/" + name;
        }
        start = end + 1;
    }
    return {};
}

bool EncoderProcess::start(const std::vector<std::string>& argv) {
    abandon();
    if (argv.empty()) {
        return false;
    }
    // A socket rather than a pipe: writing to an encoder that died must fail
    // with an error, not end the program by SIGPIPE.
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (error != 0) {
        close(ends[0]);
        return false;
    }
    shutdown(ends[0], SHUT_RD);
    m_pid = pid;
    m_input = ends[0];
    return true;
}

bool EncoderProcess::write(const void* data, size_t size) {
    if (m_input < 0) {
        return false;
    }
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = send(m_input, p, size, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool EncoderProcess::finish() {
    if (m_pid <= 0) {
        return false;
    }
    close(m_input);
    m_input = -1;
    const int status = waitFor(m_pid);
    m_pid = -1;
    return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void EncoderProcess::abandon() {
    if (m_input >= 0) {
        close(m_input);
        m_input = -1;
    }
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitFor(m_pid);
        m_pid = -1;
    }
}

}  // namespace pw
