// Opening files for reading without ever blocking: a FIFO, a device or a
// folder given where a file is expected is refused at once instead of
// waiting for a writer that may never come.
#pragma once

#include <istream>
#include <streambuf>
#include <string>

namespace pw {

// Opens a regular file (UTF-8 path) for reading; -1 with errno set for
// anything else (ENOENT, EACCES, ..., and EINVAL for a file that is not a
// regular one). The caller closes the descriptor.
int openRegularFile(const std::string& path);

// A seekable input stream over a regular file opened with openRegularFile;
// it fails (is_open() false, the stream's failbit set) where that refuses.
class InputFileStream : public std::istream {
public:
    explicit InputFileStream(const std::string& path);
    ~InputFileStream() override;

    bool is_open() const { return m_buffer.fd() >= 0; }

private:
    class Buffer : public std::streambuf {
    public:
        explicit Buffer(int fd) : m_fd(fd) {}
        ~Buffer() override;
        int fd() const { return m_fd; }

    protected:
        int_type underflow() override;
        pos_type seekoff(off_type offset, std::ios::seekdir way, std::ios::openmode) override;
        pos_type seekpos(pos_type position, std::ios::openmode mode) override;

    private:
        int m_fd;
        char m_bytes[8192];
    };

    Buffer m_buffer;
};

}  // namespace pw
