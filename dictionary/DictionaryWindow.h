// The process-wide set of replacement dictionaries, not a window: the lists
// and the one entry through which the rest of the program applies them to
// text before it is spoken.
//
// It is the dictionary window's model: it exists once per process and links
// no GUI, so speech can use it. The dictionary window shows and edits these
// same lists and calls confirm() or cancel() when its dialog closes.
// Everything here belongs to the user-interface thread.
#pragma once

#include <functional>
#include <string>

#include "dictionary/DictionaryList.h"

namespace pw {

class DictionaryWindow {
public:
    // A stage run after the dictionaries (the input-method readings); it may
    // rewrite the text in place.
    using ReadingStage = std::function<void(std::u16string& text)>;

    static constexpr const char* kSpeakerFolder = "Resources/";
    static constexpr const char* kWordDictionaryName = "dict.txt";
    static constexpr const char* kPatternDictionaryName = "RegexDict.txt";

    // Rewrites text in place: every enabled word dictionary in list order,
    // then every enabled pattern dictionary, then the reading stage.
    static void replaceText(std::u16string& text);

    static DictionaryList& wordDictionaries();
    static DictionaryList& patternDictionaries();

    // The speaker's set-up: "Resources/dict.txt" joins the word list and
    // "Resources/RegexDict.txt" the pattern list, each empty when its file
    // does not exist. Does nothing for a file already in its list, so that
    // every speaker may call it.
    static void setUpSpeakerDictionaries();

    // Installs the reading stage; an empty function removes it.
    static void setReadingStage(ReadingStage stage);

    // The dialog's buttons: confirm saves every dictionary of both lists (false
    // when a save failed); cancel reads the modified ones again from their files.
    static bool confirm();
    static void cancel();

    DictionaryWindow() = delete;
};

}  // namespace pw
