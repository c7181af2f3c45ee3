// A small .ini store with the classic private-profile semantics: section and
// key names without case, a missing file or key gives the default, and every
// write goes to disk at once. UTF-8 on disk.
#pragma once

#include <string>
#include <string_view>

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

    // Parses the leading integer of text the way the profile functions do.
    static int parseInt(std::string_view text);

private:
    std::string m_path;
};

}  // namespace pw
