// Test stand-in for the user-interface services: records every message box
// and chooser request and answers from queues, so no test blocks on a dialog.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/HeadlessUi.h"

namespace pw::test {

struct RecordedBox {
    std::u16string text;
    std::u16string caption;
    unsigned flags;
};

class RecordingUi : public HeadlessUi {
public:
    int messageBox(const std::u16string& text, const std::u16string& caption,
                   unsigned flags) override;
    std::optional<std::u16string> chooseFile(const FileChooserRequest& request) override;
    std::optional<std::u16string> chooseFolder(const std::u16string& title,
                                               const std::u16string& initial) override;

    std::vector<RecordedBox> boxes;
    std::vector<FileChooserRequest> fileRequests;
    // Answers in order; when empty a box gets its default button.
    std::deque<int> answers;
    // Runs while each box is up, as the learner might act then.
    std::function<void(const RecordedBox&)> onBox;
    // Chosen paths in order; an empty optional is a cancelled chooser.
    std::deque<std::optional<std::u16string>> chosenFiles;
    std::deque<std::optional<std::u16string>> chosenFolders;
};

// Installs a RecordingUi for the lifetime of the object and restores the
// previous services afterwards.
class ScopedRecordingUi {
public:
    ScopedRecordingUi();
    ~ScopedRecordingUi();
    RecordingUi& operator*() { return *m_ui; }
    RecordingUi* operator->() { return m_ui; }

private:
    RecordingUi* m_ui;
    std::unique_ptr<UiServices> m_previous;
};

}  // namespace pw::test
