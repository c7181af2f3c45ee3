// Saving practice's results.
#include "practice/PracticeResults.h"

#include <utility>

#include "core/UiServices.h"
#include "core/Utf.h"

namespace pw {

PracticeResults::PracticeResults(SentenceListModel& list, std::string logPath)
    : m_list(list), m_history(std::move(logPath)) {}

bool PracticeResults::save(const std::u16string& description) {
    return askToSave() && writeResults(description);
}

bool PracticeResults::releaseFile(const std::u16string& description) {
    const bool descriptionChanged =
        m_list.document().getRoot() && description != m_list.getDescription();
    if (!m_unsaved && !descriptionChanged) {
        return true;
    }
    return !askToSave() || writeResults(description);
}

bool PracticeResults::askToSave() const {
    return messageBox(kSaveQuestion, MbYesNo | MbIconQuestion, kSaveCaption) == IdYes;
}

bool PracticeResults::writeResults(const std::u16string& description) {
    if (m_list.document().getRoot()) {
        m_list.setDescription(description);
    }
    std::u16string failures;
    std::string error;
    if (!m_history.save(&error)) {
        failures += fromUtf8(m_history.path() + ": " + error) + u"\n";
    }
    if (m_list.recordCount() > 0 && !m_list.save(&error)) {
        failures += fromUtf8(m_list.path() + ": " + error) + u"\n";
    }
    if (!failures.empty()) {
        messageBox(u"The results could not be saved.\n\n" + failures +
                       u"\nThey are kept until Phrasewright closes; try Save again once the "
                       u"file can be written.",
                   MbOk | MbIconError);
        return false;
    }
    m_unsaved = false;
    return true;
}

}  // namespace pw
