// The settings store.
#include "core/ProfileSettings.h"

#include "core/Utf.h"

namespace pw {

ProfileSettings& ProfileSettings::instance() {
    static ProfileSettings settings;
    return settings;
}

ProfileSettings::Batch::Batch(ProfileSettings& settings) : m_settings(settings) {
    ++m_settings.m_batchDepth;
}

ProfileSettings::Batch::~Batch() {
    if (--m_settings.m_batchDepth == 0) {
        commit();
    }
}

bool ProfileSettings::Batch::commit() {
    std::vector<IniFile::Entry> entries;
    entries.swap(m_settings.m_pending);
    return m_settings.m_file.writeEntries(entries);
}

const std::u16string* ProfileSettings::pending(std::u16string_view section,
                                               std::u16string_view key) const {
    const std::string wantSection = asciiLower(toUtf8(section));
    const std::string wantKey = asciiLower(toUtf8(key));
    for (auto entry = m_pending.rbegin(); entry != m_pending.rend(); ++entry) {
        if (asciiLower(toUtf8(entry->section)) == wantSection &&
            asciiLower(toUtf8(entry->key)) == wantKey) {
            return &entry->value;
        }
    }
    return nullptr;
}

std::u16string ProfileSettings::readString(std::u16string_view section, std::u16string_view key,
                                           std::u16string_view defaultValue) const {
    const std::u16string* written = pending(section, key);
    auto value = written ? *written : m_file.readString(section, key, defaultValue);
    if (value.size() > 1023) {
        value.resize(1023);
    }
    return value;
}

bool ProfileSettings::writeString(std::u16string_view section, std::u16string_view key,
                                  std::u16string_view value) {
    if (m_batchDepth > 0) {
        m_pending.push_back({std::u16string(section), std::u16string(key), std::u16string(value)});
        return true;
    }
    return m_file.writeString(section, key, value);
}

int ProfileSettings::readInt(std::u16string_view section, std::u16string_view key,
                             int defaultValue) const {
    if (const std::u16string* written = pending(section, key)) {
        return IniFile::parseInt(toUtf8(*written));
    }
    return m_file.readInt(section, key, defaultValue);
}

bool ProfileSettings::writeInt(std::u16string_view section, std::u16string_view key, int value) {
    return writeString(section, key, fromUtf8(std::to_string(value)));
}

}  // namespace pw
