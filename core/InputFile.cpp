// Non-blocking opening of regular files.
#include "core/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pw {

int openRegularFile(const std::string& path) {
    // O_NONBLOCK makes the open of a FIFO return at once; for a regular file
    // it means nothing, and it is cleared again below all the same.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return -1;
    }
    struct stat st;
    const bool statted = fstat(fd, &st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        const int error = !statted ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        close(fd);
        errno = error;
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) {
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd;
}

InputFileStream::InputFileStream(const std::string& path)
    : std::istream(nullptr), m_buffer(openRegularFile(path)) {
    init(&m_buffer);
    if (m_buffer.fd() < 0) {
        setstate(std::ios::failbit);
    }
}

InputFileStream::~InputFileStream() = default;

InputFileStream::Buffer::~Buffer() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

InputFileStream::Buffer::int_type InputFileStream::Buffer::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    if (m_fd < 0) {
        return traits_type::eof();
    }
    ssize_t n;
    do {
        n = ::read(m_fd, m_bytes, sizeof m_bytes);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        return traits_type::eof();
    }
    setg(m_bytes, m_bytes, m_bytes + n);
    return traits_type::to_int_type(*gptr());
}

InputFileStream::Buffer::pos_type InputFileStream::Buffer::seekoff(off_type offset,
                                                                   std::ios::seekdir way,
                                                                   std::ios::openmode) {
    if (m_fd < 0) {
        return pos_type(off_type(-1));
    }
    // The descriptor stands after the buffered bytes that are still unread.
    if (way == std::ios::cur) {
        offset -= egptr() - gptr();
    }
    const int whence = way == std::ios::beg ? SEEK_SET : way == std::ios::cur ? SEEK_CUR : SEEK_END;
    const off_t result = lseek(m_fd, static_cast<off_t>(offset), whence);
    if (result < 0) {
        return pos_type(off_type(-1));
    }
    setg(m_bytes, m_bytes, m_bytes);
    return pos_type(static_cast<off_type>(result));
}

InputFileStream::Buffer::pos_type InputFileStream::Buffer::seekpos(pos_type position,
                                                                   std::ios::openmode mode) {
    return seekoff(off_type(position), std::ios::beg, mode);
}

}  // namespace pw
