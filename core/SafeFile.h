// The one way the program replaces a file: write a temporary file beside it,
// sync it, rename it over the target and sync the folder. A failure at any
// step leaves the old file exactly as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pw {

class SafeFileWriter {
public:
    // path is UTF-8; a symbolic link is written through to its target.
    explicit SafeFileWriter(std::string path);
    ~SafeFileWriter();  // abandons the new file unless committed
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file; refuses a read-only target.
    bool open();
    bool write(const void* data, size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Makes the new content the file's content.
    bool commit();
    void abandon();

    // Why the last step failed, for the message shown to the user.
    const std::string& error() const { return m_error; }

private:
    bool fail(const std::string& what, int err);

    std::string m_path;
    std::string m_target;
    std::string m_tempPath;
    int m_fd = -1;
    bool m_failed = false;
    std::string m_error;
};

// Replaces the content of path with bytes; error receives the reason on failure.
bool replaceFileContents(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

// Copies the regular file from over the file to, safely; error receives the
// reason on failure.
bool copyFileContents(const std::string& from, const std::string& to, std::string* error = nullptr);

// Reads a whole regular file; false when it cannot be read or is not a
// regular file (a FIFO or device is refused without waiting on it).
bool readFileBytes(const std::string& path, std::string& bytes);

}  // namespace pw
