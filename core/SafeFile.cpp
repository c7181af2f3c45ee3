// Crash-safe file replacement.
#include "core/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/InputFile.h"

namespace pw {
namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links (bounded, so a loop cannot hang us) to the file that
// is really written; a dangling link names the file to create.
std::string resolveLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return current;
        }
        std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = readlink(current.c_str(), buffer.data(), buffer.size() - 1);
        if (n <= 0) {
            return current;
        }
        std::string target(buffer.data(), static_cast<size_t>(n));
        if (target.front() != '/') {
            target = folderOf(current) + "/" + target;
        }
        current = target;
    }
    return current;
}

}  // namespace

SafeFileWriter::SafeFileWriter(std::string path) : m_path(std::move(path)) {}

SafeFileWriter::~SafeFileWriter() {
    abandon();
}

bool SafeFileWriter::fail(const std::string& what, int err) {
    m_failed = true;
    m_error = what + ": " + m_path + ": " + std::strerror(err);
    abandon();
    return false;
}

bool SafeFileWriter::open() {
    abandon();
    m_failed = false;
    m_error.clear();
    m_target = resolveLinks(m_path);

    mode_t mode = 0666;
    bool exists = false;
    struct stat st;
    if (stat(m_target.c_str(), &st) == 0) {
        exists = true;
        if (!S_ISREG(st.st_mode)) {
            return fail("Not a regular file", EISDIR);
        }
        // Mode bits decide, since a privileged user passes every access check.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            access(m_target.c_str(), W_OK) != 0) {
            return fail("The file is read-only", EACCES);
        }
        mode = st.st_mode & 07777;
    }

    const std::string folder = folderOf(m_target);
    std::string name =
        m_target.substr(m_target.rfind('/') == std::string::npos ? 0 : m_target.rfind('/') + 1);
    std::string pattern = folder + "/." + name + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    m_fd = mkstemp(buffer.data());
    if (m_fd < 0) {
        return fail("Cannot create a file in the folder", errno);
    }
    m_tempPath = buffer.data();

    if (!exists) {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    if (fchmod(m_fd, mode) != 0) {
        return fail("Cannot set the file's permissions", errno);
    }
    if (exists && geteuid() == 0) {
        // Keep the owner when we may; a failure here is not worth losing the save.
        [[maybe_unused]] int ignored = fchown(m_fd, st.st_uid, st.st_gid);
    }
    return true;
}

bool SafeFileWriter::write(const void* data, size_t size) {
    if (m_fd < 0) {
        if (!m_failed) {
            m_failed = true;
            m_error = "The file is not open: " + m_path;
        }
        return false;
    }
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, p, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail("Cannot write the file", errno);
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool SafeFileWriter::commit() {
    if (m_fd < 0) {
        if (!m_failed) {
            m_failed = true;
            m_error = "The file is not open: " + m_path;
        }
        return false;
    }
    if (fsync(m_fd) != 0) {
        return fail("Cannot write the file to disk", errno);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0) {
        return fail("Cannot write the file", errno);
    }
    if (rename(m_tempPath.c_str(), m_target.c_str()) != 0) {
        return fail("Cannot replace the file", errno);
    }
    m_tempPath.clear();
    const int dir = ::open(folderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        // The rename is done; a folder that cannot be synced still holds the new file.
        fsync(dir);
        close(dir);
    }
    return true;
}

void SafeFileWriter::abandon() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.empty()) {
        unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

bool replaceFileContents(const std::string& path, std::string_view bytes, std::string* error) {
    SafeFileWriter writer(path);
    const bool ok = writer.open() && writer.write(bytes) && writer.commit();
    if (!ok && error) {
        *error = writer.error();
    }
    return ok;
}

bool copyFileContents(const std::string& from, const std::string& to, std::string* error) {
    std::string bytes;
    if (!readFileBytes(from, bytes)) {
        if (error) {
            *error = "Cannot read the file: " + from + ": " + std::strerror(errno);
        }
        return false;
    }
    return replaceFileContents(to, bytes, error);
}

bool readFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = openRegularFile(path);
    if (fd < 0) {
        return false;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return false;
    }
    // Read straight into the result; the size is only a hint, since the file
    // may change while it is read.
    size_t size = 0;
    bytes.resize(static_cast<size_t>(st.st_size) + 1);
    for (;;) {
        if (size == bytes.size()) {
            bytes.resize(bytes.size() * 2 + 65536);
        }
        const ssize_t n = ::read(fd, bytes.data() + size, bytes.size() - size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) {
            break;
        }
        size += static_cast<size_t>(n);
    }
    bytes.resize(size);
    close(fd);
    return true;
}

}  // namespace pw
