// The conversion's remembered options and the program's part of its settings.
#include "export/ConverterOptions.h"

#include <algorithm>

#include "audio/EncoderProcess.h"
#include "core/AppFiles.h"
#include "core/Utf.h"
#include "speech/Speaker.h"
#include "speech/SpeechFormat.h"

namespace pw {

ConverterOptions ConverterOptions::load(const ProfileSettings& settings) {
    ConverterOptions options;
    const auto& path = settings::kAudioOutputPath;
    const std::u16string learnerFolder = fromUtf8(AppFiles::instance().layout().learnerFolder);
    options.outputPath = settings.readString(path.section, path.key, learnerFolder);
    if (options.outputPath.empty()) {
        options.outputPath = learnerFolder;
    }
    options.intervalMs = std::clamp(settings.read(settings::kAudioInterval), 0, kMaxInterval);
    options.spellOutWords = settings.read(settings::kSpellOutWords) != 0;
    options.lyricsFormat = std::max(settings.read(settings::kLyricsFormat), 0);
    return options;
}

void ConverterOptions::save(ProfileSettings& settings) const {
    const auto& path = settings::kAudioOutputPath;
    settings.writeString(path.section, path.key, outputPath);
    settings.write(settings::kAudioInterval, intervalMs);
    settings.write(settings::kSpellOutWords, spellOutWords ? 1 : 0);
    settings.write(settings::kLyricsFormat, lyricsFormat);
}

std::string findEncoder() {
    return EncoderProcess::findProgram(shippedFile("Plugins/lame"), "lame");
}

uint32_t speakerSampleRate(Speaker& speaker) {
    const ChoiceList& formats = speaker.formatList();
    const SpeechFormat* format = formats.selectedIndex() >= 0
                                     ? speechFormatByNumber(formats.data(formats.selectedIndex()))
                                     : nullptr;
    return format ? static_cast<uint32_t>(format->rate) : 16000;
}

ConversionSettings conversionSettings(const ConverterOptions& options,
                                      const std::vector<PlayerFormat>& formats,
                                      const std::string& encoder, Speaker& speaker) {
    ConversionSettings settings;
    settings.outputFolder = toUtf8(options.outputPath);
    settings.intervalMs =
        static_cast<uint32_t>(std::clamp(options.intervalMs, 0, ConverterOptions::kMaxInterval));
    settings.spellOutWords = options.spellOutWords;
    settings.encoder = encoder;
    const int format = options.lyricsFormat - 1;
    if (!encoder.empty() && format >= 0 && static_cast<size_t>(format) < formats.size()) {
        settings.lyrics = formats[static_cast<size_t>(format)];
    }
    settings.recordedRate = speakerSampleRate(speaker);
    return settings;
}

}  // namespace pw
