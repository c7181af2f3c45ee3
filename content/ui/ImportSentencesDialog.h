// "Import Sentences": the learner picks sentence pairs or subtitles (with
// their recording and, if wanted, subtitles in another language for the
// translations), sees the first records and chooses the columns, then saves
// the learning file. The logic is SentenceImportForm's; this only shows it.
#pragma once

#include <array>
#include <string>

#include "content/SentenceImportForm.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/Label.h"
#include "gui/Table.h"
#include "gui/TextArea.h"

namespace pw {

class ImportSentencesDialog : public Dialog {
public:
    // Control ids.
    enum Id : int {
        kSourceButton = 101,
        kRecordingButton,
        kTranslationsButton,
        kSentenceColumn,
        kTranslationColumn,
        kExplanationColumn,
        kHeaderRow,
    };

    // The learning file written, once the dialog closed with OK.
    const std::string& writtenPath() const { return m_written; }
    SentenceImportForm& form() { return m_form; }

    Button& button(Id id);
    ComboBox& columnList(SentenceImportForm::Role role) { return m_columns[int(role)]; }
    CheckBox& headerRow() { return m_headerRow; }
    Table& preview() { return m_preview; }
    TextArea& status() { return m_status; }
    TextField& pathField(Id button);

    bool onInit() override;
    void onSize(int width, int height) override;
    // Asks where to save, imports and closes when the file was written.
    bool onOK() override;
    bool onCommand(const Command& command) override;

private:
    void choose(Id id);
    void showForm();
    void fitPreviewColumns();

    SentenceImportForm m_form;
    std::string m_written;
    std::array<Label, 6> m_labels;
    std::array<TextField, 3> m_paths;
    std::array<Button, 3> m_choose;
    std::array<ComboBox, 3> m_columns;
    CheckBox m_headerRow;
    Table m_preview;
    TextArea m_status;
    Button m_ok;
    Button m_cancel;
};

}  // namespace pw
