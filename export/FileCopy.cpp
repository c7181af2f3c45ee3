// Copying and moving files.
#include "export/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "core/SafeFile.h"

namespace pw {

bool appendFileContent(int fd, SafeFileWriter& writer) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0;
        }
        if (!writer.write(buffer.data(), static_cast<size_t>(n))) {
            return false;
        }
    }
}

bool isFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool moveFile(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) == 0) {
        return true;
    }
    if (errno != EXDEV) {
        return false;
    }
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    SafeFileWriter writer(to);
    const bool copied = writer.open() && appendFileContent(in, writer) && writer.commit();
    ::close(in);
    if (copied) {
        std::remove(from.c_str());
    }
    return copied;
}

}  // namespace pw
