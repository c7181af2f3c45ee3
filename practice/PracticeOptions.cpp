// The practice options in the settings file.
#include "practice/PracticeOptions.h"

#include <algorithm>

#include "core/ProfileSettings.h"

namespace pw {

PracticeOptions PracticeOptions::load() {
    const ProfileSettings& store = ProfileSettings::instance();
    PracticeOptions options;
    const int mode = store.read(settings::kMode);
    if (mode >= 0 && mode < kPracticeModeCount) {
        options.mode = static_cast<PracticeMode>(mode);
    }
    options.pointLimit =
        std::clamp(store.read(settings::kPointLimit), kMinPointLimit, kMaxPointLimit);
    options.usePointLimit = store.read(settings::kUsePointLimit) != 0;
    options.onlyCheckedQuestions = store.read(settings::kOnlyCheckedQuestions) != 0;
    options.shuffle = store.read(settings::kUseShuffle) != 0;
    options.useIE = store.read(settings::kUseIE) != 0;
    return options;
}

void PracticeOptions::save() const {
    ProfileSettings& store = ProfileSettings::instance();
    store.write(settings::kMode, static_cast<int>(mode));
    store.write(settings::kPointLimit, pointLimit);
    store.write(settings::kUsePointLimit, usePointLimit ? 1 : 0);
    store.write(settings::kOnlyCheckedQuestions, onlyCheckedQuestions ? 1 : 0);
    store.write(settings::kUseShuffle, shuffle ? 1 : 0);
    store.write(settings::kUseIE, useIE ? 1 : 0);
}

}  // namespace pw
