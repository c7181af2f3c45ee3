// An outside encoder program (the LAME command-line encoder) that reads a WAV
// stream on its standard input and writes the file named on its command line.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace pw {

class EncoderProcess {
public:
    EncoderProcess() = default;
    ~EncoderProcess();  // abandons a running program
    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;

    // Starts argv[0] with argv (no shell); its output goes nowhere.
    bool start(const std::vector<std::string>& argv);
    bool isRunning() const { return m_pid > 0; }
    // Hands bytes to its standard input; false once it has gone.
    bool write(const void* data, size_t size);
    // Ends its input and waits; true when it exited with status 0.
    bool finish();
    // Ends it without waiting for its work.
    void abandon();

    // path when it names an executable file, else the first executable
    // `name` on the PATH; empty when there is none.
    static std::string findProgram(const std::string& path, const std::string& name);

private:
    pid_t m_pid = -1;
    int m_input = -1;
};

}  // namespace pw
