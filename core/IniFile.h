// A small .ini store with the classic private-profile semantics: section and
// key names without case, a missing file or key gives the default, and every
// write goes to disk at once. UTF-8 on disk.
//
// Several running instances share the file: a write takes an advisory lock
// on a lock file beside it (path + ".lock"), reads the file again, changes
// only its own keys and replaces the file safely, so keys another instance
// wrote meanwhile survive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pw {

class IniFile {
public:
    explicit IniFile(std::string path = {}) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }

    std::u16string readString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const;
    // The leading decimal integer of the value; 0 when it has none.
    int readInt(std::u16string_view section, std::u16string_view key, int defaultValue) const;
    bool writeString(std::u16string_view section, std::u16string_view key,
                     std::u16string_view value);
    bool writeInt(std::u16string_view section, std::u16string_view key, int value);

    struct Entry {
        std::u16string section;
        std::u16string key;
        std::u16string value;
    };
    // Writes every entry in one locked read, merge and replace (a later
    // entry for the same key wins). False when the file cannot be written.
    bool writeEntries(const std::vector<Entry>& entries);

    // Parses the leading integer of text the way the profile functions do.
    static int parseInt(std::string_view text);

private:
    std::string m_path;
};

}  // namespace pw
