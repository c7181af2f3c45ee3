// The settings store.
#include "core/ProfileSettings.h"

namespace pw {

ProfileSettings& ProfileSettings::instance() {
    static ProfileSettings settings;
    return settings;
}

std::u16string ProfileSettings::readString(std::u16string_view section, std::u16string_view key,
                                           std::u16string_view defaultValue) const {
    auto value = m_file.readString(section, key, defaultValue);
    if (value.size() > 1023) {
        value.resize(1023);
    }
    return value;
}

bool ProfileSettings::writeString(std::u16string_view section, std::u16string_view key,
                                  std::u16string_view value) {
    return m_file.writeString(section, key, value);
}

int ProfileSettings::readInt(std::u16string_view section, std::u16string_view key,
                             int defaultValue) const {
    return m_file.readInt(section, key, defaultValue);
}

bool ProfileSettings::writeInt(std::u16string_view section, std::u16string_view key, int value) {
    return m_file.writeInt(section, key, value);
}

}  // namespace pw
