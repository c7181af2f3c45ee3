// The program's settings file and the table of every key in it.
#pragma once

#include <string>
#include <string_view>

#include "core/IniFile.h"

namespace pw {

struct IntSetting {
    const char16_t* section;
    const char16_t* key;
    int defaultValue;
};

struct TextSetting {
    const char16_t* section;
    const char16_t* key;
};

// Every key the program reads or writes; "MainLeft" and "MainTop" default to
// a window centred on the primary screen, which only the main window knows.
namespace settings {
inline constexpr const char16_t* kProgramSection = u"Phrasewright";

inline constexpr IntSetting kMainLeft{u"Window", u"MainLeft", 0};
inline constexpr IntSetting kMainTop{u"Window", u"MainTop", 0};
inline constexpr IntSetting kMainWidth{u"Window", u"MainWidth", 640};
inline constexpr IntSetting kMainHeight{u"Window", u"MainHeight", 480};
inline constexpr TextSetting kZoomed{u"Window", u"Zoomed"};  // written only

inline constexpr IntSetting kTheme{kProgramSection, u"Theme", 0};
inline constexpr IntSetting kUseIE{kProgramSection, u"UseIE", 0};
inline constexpr IntSetting kMode{kProgramSection, u"Mode", 1};
inline constexpr IntSetting kPointLimit{kProgramSection, u"PointLimit", 130};
inline constexpr IntSetting kUsePointLimit{kProgramSection, u"UsePointLimit", 0};
inline constexpr IntSetting kOnlyCheckedQuestions{kProgramSection, u"OnlyCheckedQuestions", 0};
inline constexpr IntSetting kUseShuffle{kProgramSection, u"UseShuffule", 0};  // spelled so on disk

inline constexpr IntSetting kVoice1{u"Speaker", u"Voice1", 0};
inline constexpr IntSetting kVoice2{u"Speaker", u"Voice2", 0};
inline constexpr IntSetting kRate{u"Speaker", u"Rate", 100};
inline constexpr IntSetting kRate1{u"Speaker", u"Rate1", 0};
inline constexpr IntSetting kRate2{u"Speaker", u"Rate2", 0};
inline constexpr IntSetting kFormat{u"Speaker", u"Format", 14};
inline constexpr IntSetting kEnable1{u"Speaker", u"Enable1", 1};
inline constexpr IntSetting kEnable2{u"Speaker", u"Enable2", 1};
// Whether recorded sentence audio is used; absent until the learner chooses.
inline constexpr IntSetting kSentenceAudio{u"Speaker", u"SentenceAudio", 0};

inline constexpr IntSetting kAudioInterval{u"FlashWriting", u"AudioInterval", 1000};
inline constexpr IntSetting kSpellOutWords{u"FlashWriting", u"SpellOutWords", 0};
inline constexpr IntSetting kLyricsFormat{u"FlashWriting", u"LyricsFormat", 0};
inline constexpr TextSetting kAudioOutputPath{u"FlashWriting", u"AudioOutputPath"};

inline constexpr IntSetting kImeNameIndex{u"IME", u"NameIndex", 0};  // written only
inline constexpr IntSetting kImeEnable{u"IME", u"Enable", 0};        // written only
}  // namespace settings

// The process-wide settings store; its path is set once at start-up.
class ProfileSettings {
public:
    static ProfileSettings& instance();

    // Collects the writes made while it lives and writes them to the file all
    // at once when the outermost batch ends, for code that saves many keys
    // together (one locked read, merge and replace instead of one per key):
    //
    //   ProfileSettings::Batch batch;
    //   settings.write(settings::kMode, mode);
    //   settings.write(settings::kPointLimit, limit);
    //
    // Reads meanwhile see the values written. Everything belongs to the
    // user-interface thread.
    class Batch {
    public:
        explicit Batch(ProfileSettings& settings = instance());
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // Writes what was collected now; false when the file could not be
        // written. The outermost batch's end does the same.
        bool commit();

    private:
        ProfileSettings& m_settings;
    };

    void setPath(std::string settingsFilePath) { m_file.setPath(std::move(settingsFilePath)); }
    const std::string& path() const { return m_file.path(); }

    // At most 1023 characters of the value.
    std::u16string readString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const;
    bool writeString(std::u16string_view section, std::u16string_view key,
                     std::u16string_view value);
    int readInt(std::u16string_view section, std::u16string_view key, int defaultValue) const;
    bool writeInt(std::u16string_view section, std::u16string_view key, int value);

    int read(const IntSetting& setting) const {
        return readInt(setting.section, setting.key, setting.defaultValue);
    }
    bool write(const IntSetting& setting, int value) {
        return writeInt(setting.section, setting.key, value);
    }

private:
    // The value of a key written in the open batch, or null.
    const std::u16string* pending(std::u16string_view section, std::u16string_view key) const;

    IniFile m_file;
    int m_batchDepth = 0;
    std::vector<IniFile::Entry> m_pending;
};

}  // namespace pw
