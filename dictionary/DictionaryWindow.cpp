// The process-wide dictionary lists and replaceText.
#include "dictionary/DictionaryWindow.h"

#include <cstring>
#include <memory>

#include "core/AppFiles.h"
#include "dictionary/DictionaryData.h"
#include "dictionary/RegexDictionaryData.h"

namespace pw {
namespace {

struct State {
    DictionaryList words;
    DictionaryList patterns;
    ImeReadings readings;
};

State& state() {
    static State instance;
    return instance;
}

void addSpeakerDictionary(DictionaryList& list, std::unique_ptr<BaseDictionaryData> dictionary,
                          const char* name) {
    const std::string path = learnerFile(std::string(DictionaryWindow::kSpeakerFolder) + name);
    const std::string folder = path.substr(0, path.size() - std::strlen(name));
    if (list.find(folder, name)) {
        return;
    }
    dictionary->setFolder(folder);
    // A dictionary whose file is missing still joins the list, empty, so
    // that what the learner adds to it is saved under its name.
    if (!dictionary->load(name)) {
        dictionary->setName(name);
    }
    list.append(std::move(dictionary));
}

}  // namespace

void DictionaryWindow::replaceText(std::u16string& text) {
    State& s = state();
    s.words.replace(text);
    s.patterns.replace(text);
    s.readings.replace(text);
}

DictionaryList& DictionaryWindow::wordDictionaries() {
    return state().words;
}

DictionaryList& DictionaryWindow::patternDictionaries() {
    return state().patterns;
}

void DictionaryWindow::setUpSpeakerDictionaries() {
    addSpeakerDictionary(state().words, std::make_unique<DictionaryData>(), kWordDictionaryName);
    addSpeakerDictionary(state().patterns, std::make_unique<RegexDictionaryData>(),
                         kPatternDictionaryName);
}

ImeReadings& DictionaryWindow::readings() {
    return state().readings;
}

bool DictionaryWindow::confirm(ProfileSettings& settings) {
    const bool words = state().words.saveAll();
    const bool patterns = state().patterns.saveAll();
    state().readings.saveSettings(settings);
    return words && patterns;
}

void DictionaryWindow::cancel() {
    state().words.reloadModified();
    state().patterns.reloadModified();
}

}  // namespace pw
