// Saving practice's results.
#include "practice/PracticeResults.h"

#include <utility>

#include "core/UiServices.h"
#include "core/Utf.h"

namespace pw {

PracticeResults::PracticeResults(SentenceListModel& list, std::string logPath)
    : m_list(list), m_history(std::move(logPath)) {}

namespace {

constexpr const char16_t* kCloseFailedText =
    u"\nYes: try again.\nNo: save the learning file under another name.\nCancel: keep "
    u"Phrasewright open with the results; to leave without them, close it again and answer No.";

std::u16string failureLine(const std::string& path, const std::string& error) {
    return fromUtf8(path + ": " + error) + u"\n";
}

}  // namespace

bool PracticeResults::save(const std::u16string& description) {
    return askToSave() && writeOrTell(description);
}

bool PracticeResults::needsSaving(const std::u16string& description) const {
    return m_unsaved || (m_list.document().getRoot() && description != m_list.getDescription());
}

bool PracticeResults::releaseFile(const std::u16string& description) {
    return !needsSaving(description) || !askToSave() || writeOrTell(description);
}

bool PracticeResults::closeFile(const std::u16string& description) {
    if (!needsSaving(description) || !askToSave()) {
        return true;
    }
    std::u16string failures = writeResults(description);
    while (!failures.empty()) {
        const int answer =
            messageBox(u"The results could not be saved.\n\n" + failures + kCloseFailedText,
                       MbYesNoCancel | MbIconError);
        if (answer == IdYes) {
            failures = writeResults(description);
        } else if (answer == IdNo) {
            failures = writeElsewhere().value_or(failures);
        } else {
            return false;
        }
    }
    return true;
}

std::optional<std::u16string> PracticeResults::writeElsewhere() {
    FileChooserRequest request;
    request.title = u"Save the learning file as";
    request.filterLabel = u"Learning file (*.xml)";
    request.patterns = u"*.xml";
    const std::string& path = m_list.path();
    const size_t slash = path.rfind('/');
    request.initialDirectory = fromUtf8(slash == std::string::npos ? "." : path.substr(0, slash));
    request.defaultName = fromUtf8(slash == std::string::npos ? path : path.substr(slash + 1));
    request.save = true;
    request.mustExist = false;
    const std::optional<std::u16string> chosen = ui().chooseFile(request);
    if (!chosen) {
        return std::nullopt;
    }
    std::u16string failures;
    std::string error;
    if (!m_history.save(&error)) {
        failures += failureLine(m_history.path(), error);
    }
    const std::string target = toUtf8(*chosen);
    if (!m_list.document().saveAs(target, &error)) {
        failures += failureLine(target, error);
    }
    if (failures.empty()) {
        m_unsaved = false;
    }
    return failures;
}

bool PracticeResults::askToSave() const {
    return messageBox(kSaveQuestion, MbYesNo | MbIconQuestion, kSaveCaption) == IdYes;
}

std::u16string PracticeResults::writeResults(const std::u16string& description) {
    if (m_list.document().getRoot()) {
        m_list.setDescription(description);
    }
    std::u16string failures;
    std::string error;
    if (!m_history.save(&error)) {
        failures += failureLine(m_history.path(), error);
    }
    if (m_list.recordCount() > 0 && !m_list.save(&error)) {
        failures += failureLine(m_list.path(), error);
    }
    if (failures.empty()) {
        m_unsaved = false;
    }
    return failures;
}

bool PracticeResults::writeOrTell(const std::u16string& description) {
    const std::u16string failures = writeResults(description);
    if (failures.empty()) {
        return true;
    }
    messageBox(u"The results could not be saved.\n\n" + failures +
                   u"\nThey are kept until Phrasewright closes; try Save again once the "
                   u"file can be written.",
               MbOk | MbIconError);
    return false;
}

}  // namespace pw
