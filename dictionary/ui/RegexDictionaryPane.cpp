// The pattern pane.
#include "dictionary/ui/RegexDictionaryPane.h"

namespace pw {

RegexDictionaryPane::RegexDictionaryPane(DictionaryList& list) : BaseDictionaryPane(list) {
    setClassName(u"RegexDictionaryPane");
    setOption(u"IgnoreCase", {});
}

void RegexDictionaryPane::optionClicked(bool checked) {
    if (BaseDictionaryData* dictionary = editor().selected()) {
        dictionary->setIgnoreCase(checked);
    }
}

void RegexDictionaryPane::dictionarySelected() {
    const BaseDictionaryData* dictionary = editor().selected();
    optionBox().setChecked(dictionary && dictionary->ignoreCase());
    optionBox().setEnabled(dictionary != nullptr);
}

}  // namespace pw
