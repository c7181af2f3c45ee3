// The pattern pane of the dictionary window: the pattern dictionaries, their
// rules in the order they are applied, and "IgnoreCase" for the chosen one.
#pragma once

#include "dictionary/ui/BaseDictionaryPane.h"

namespace pw {

class RegexDictionaryPane : public BaseDictionaryPane {
public:
    explicit RegexDictionaryPane(DictionaryList& list);

protected:
    void optionClicked(bool checked) override;
    void dictionarySelected() override;
};

}  // namespace pw
