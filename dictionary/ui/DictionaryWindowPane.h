// The dictionary window: the "Dictionary", "Regex" and "IME" tabs over the
// process-wide lists of DictionaryWindow, and the drop that takes the ruby
// of the readings preview into the dictionary of the tab shown.
#pragma once

#include <string>

#include "dictionary/ui/ImeDictionaryPane.h"
#include "dictionary/ui/NormalDictionaryPane.h"
#include "dictionary/ui/RegexDictionaryPane.h"
#include "gui/TabbedPane.h"

namespace pw {

class DictionaryWindowPane : public Component {
public:
    static constexpr int kTabHeight = 24;

    DictionaryWindowPane();

    TabbedPane& tabs() { return m_tabs; }
    NormalDictionaryPane& wordPane() { return m_words; }
    RegexDictionaryPane& patternPane() { return m_patterns; }
    ImeDictionaryPane& imePane() { return m_ime; }

    // Shows the dictionaries as the lists hold them now (after a cancel).
    void refresh();
    // What a drop does: every word and reading of the preview's ruby goes
    // into the chosen dictionary of the word tab when it is shown, else of
    // the pattern tab.
    void takeRubyFromPreview();
    void takeRuby(const std::u16string& html);
    // A word from the readings pane's registration dialog: into the chosen
    // word dictionary, or the first one when none is chosen.
    void addRegisteredWord(const std::u16string& word, const std::u16string& reading);

    bool onCreate() override;
    void onSize(int width, int height) override;

private:
    // Asks the learner for the word and reading "Open" offers.
    void openRegistration(const std::u16string& word, const std::u16string& reading);

    TabbedPane m_tabs;
    NormalDictionaryPane m_words;
    RegexDictionaryPane m_patterns;
    ImeDictionaryPane m_ime;
};

}  // namespace pw
