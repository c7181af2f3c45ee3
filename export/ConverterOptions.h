// What the conversion dialog's controls hold between uses (the settings
// section "FlashWriting"), and the parts of a conversion's settings that come
// from the program rather than from the learner: the encoder, the lyrics
// formats, the rate of recorded pieces.
#pragma once

#include <string>
#include <vector>

#include "core/ProfileSettings.h"
#include "export/AudioConversion.h"
#include "export/PlayerFormat.h"

namespace pw {

class Speaker;

struct ConverterOptions {
    static constexpr int kMaxInterval = 10000;

    std::u16string outputPath;  // the program's folder unless set
    int intervalMs = 1000;
    bool spellOutWords = false;
    int lyricsFormat = 0;  // 0: no lyrics; n: player format n - 1

    static ConverterOptions load(const ProfileSettings& settings = ProfileSettings::instance());
    void save(ProfileSettings& settings = ProfileSettings::instance()) const;
};

// "Resources/Lyrics.xml" beside the program.
inline constexpr const char* kLyricsFormatsPath = "Resources/Lyrics.xml";

// The LAME encoder: "Plugins/lame" when present, else lame on the PATH;
// empty when there is none (the conversion then writes WAV files).
std::string findEncoder();

// The rate of the speaker's chosen speech format, which recorded sentences
// are cut at too.
uint32_t speakerSampleRate(Speaker& speaker);

// The settings of a run from the dialog's options; formats are the player
// formats its lyrics list offers.
ConversionSettings conversionSettings(const ConverterOptions& options,
                                      const std::vector<PlayerFormat>& formats,
                                      const std::string& encoder, Speaker& speaker);

}  // namespace pw
