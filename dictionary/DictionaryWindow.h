// The process-wide set of replacement dictionaries, not a window: the lists
// and the one entry through which the rest of the program applies them to
// text before it is spoken.
//
// It is the dictionary window's model: it exists once per process and links
// no GUI, so speech can use it. The dictionary window shows and edits these
// same lists and calls confirm() or cancel() when its dialog closes.
// Everything here belongs to the user-interface thread.
#pragma once

#include <string>

#include "dictionary/DictionaryList.h"
#include "dictionary/ImeReadings.h"

namespace pw {

class DictionaryWindow {
public:
    static constexpr const char* kSpeakerFolder = "Resources/";
    static constexpr const char* kWordDictionaryName = "dict.txt";
    static constexpr const char* kPatternDictionaryName = "RegexDict.txt";

    // Rewrites text in place: every enabled word dictionary in list order,
    // then every enabled pattern dictionary, then the readings.
    static void replaceText(std::u16string& text);

    static DictionaryList& wordDictionaries();
    static DictionaryList& patternDictionaries();
    // The input method's readings, the third stage.
    static ImeReadings& readings();

    // The speaker's set-up: "Resources/dict.txt" joins the word list and
    // "Resources/RegexDict.txt" the pattern list, each empty when its file
    // does not exist. Does nothing for a file already in its list, so that
    // every speaker may call it.
    static void setUpSpeakerDictionaries();

    // The dialog's buttons: confirm saves every dictionary of both lists
    // (false when a save failed) and writes the readings' "IME" settings;
    // cancel reads the modified dictionaries again from their files.
    static bool confirm(ProfileSettings& settings = ProfileSettings::instance());
    static void cancel();

    DictionaryWindow() = delete;
};

}  // namespace pw
