// The word pane of the dictionary window, and its clipboard registration:
// with "コピーした単語を登録" set, a word of 1 to 20 characters copied anywhere
// is added to the chosen dictionary with its reading in katakana.
#pragma once

#include "dictionary/ImeReadings.h"
#include "dictionary/ui/BaseDictionaryPane.h"
#include "dictionary/ui/ClipboardWatcher.h"

namespace pw {

class NormalDictionaryPane : public BaseDictionaryPane {
public:
    // readings gives the analyser the readings come from; both must outlive
    // the pane.
    NormalDictionaryPane(DictionaryList& list, ImeReadings& readings);

    // A copied text: a word goes into the key editor and, when the analyser
    // gives it a reading of its own, is registered with that reading. True
    // when an entry was added.
    bool registerCopiedText(const std::u16string& text);
    bool isWatchingClipboard() const { return m_watcher.isRunning(); }

    void onDestroy() override;

protected:
    void optionClicked(bool checked) override;
    // Registration needs readings: the options show when an analyser is
    // installed.
    bool showsOptions() const override;

private:
    ImeReadings& m_readings;
    ClipboardWatcher m_watcher;
};

}  // namespace pw
