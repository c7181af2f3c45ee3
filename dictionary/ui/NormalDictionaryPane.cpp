// The word pane.
#include "dictionary/ui/NormalDictionaryPane.h"

#include "dictionary/Ime.h"

namespace pw {

NormalDictionaryPane::NormalDictionaryPane(DictionaryList& list, ImeReadings& readings)
    : BaseDictionaryPane(list),
      m_readings(readings),
      m_watcher([this](const std::u16string& text) { registerCopiedText(text); }) {
    setClassName(u"NormalDictionaryPane");
    setOption(u"コピーした単語を登録", u"コピーした漢字をカタカナに変換して登録します");
}

bool NormalDictionaryPane::registerCopiedText(const std::u16string& text) {
    const std::optional<std::u16string> word = DictionaryEditor::copiedWord(text);
    if (!word) {
        return false;
    }
    keyEditor().setText(*word);
    InputMethodEditor* analyser = m_readings.open(m_readings.identifiers().front());
    const std::u16string reading =
        analyser ? DictionaryEditor::wordReading(*analyser, *word) : std::u16string();
    // Without a reading there is nothing worth storing: the word stays in
    // the editor for the learner to complete.
    if (reading.empty()) {
        replaceEditor().setText({});
        return false;
    }
    replaceEditor().setText(reading);
    return addEntry(*word, reading) >= 0;
}

void NormalDictionaryPane::optionClicked(bool checked) {
    if (checked) {
        m_watcher.start();
    } else {
        m_watcher.stop();
    }
}

bool NormalDictionaryPane::showsOptions() const {
    return Ime::isInstalled(m_readings.identifiers().front());
}

void NormalDictionaryPane::onDestroy() {
    m_watcher.stop();
    BaseDictionaryPane::onDestroy();
}

}  // namespace pw
