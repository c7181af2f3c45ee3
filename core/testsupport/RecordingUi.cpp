// The recording user-interface services.
#include "core/testsupport/RecordingUi.h"

namespace pw::test {

int RecordingUi::messageBox(const std::u16string& text, const std::u16string& caption,
                            unsigned flags) {
    boxes.push_back({text, caption, flags});
    if (onBox) {
        onBox(boxes.back());
    }
    if (answers.empty()) {
        return defaultAnswer(flags);
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::u16string> RecordingUi::chooseFile(const FileChooserRequest& request) {
    fileRequests.push_back(request);
    if (chosenFiles.empty()) {
        return std::nullopt;
    }
    auto chosen = chosenFiles.front();
    chosenFiles.pop_front();
    return chosen;
}

std::optional<std::u16string> RecordingUi::chooseFolder(const std::u16string&,
                                                        const std::u16string&) {
    if (chosenFolders.empty()) {
        return std::nullopt;
    }
    auto chosen = chosenFolders.front();
    chosenFolders.pop_front();
    return chosen;
}

ScopedRecordingUi::ScopedRecordingUi() {
    auto ui = std::make_unique<RecordingUi>();
    m_ui = ui.get();
    m_previous = installUi(std::move(ui));
}

ScopedRecordingUi::~ScopedRecordingUi() {
    installUi(std::move(m_previous));
}

}  // namespace pw::test
