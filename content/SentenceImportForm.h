// What the "Import Sentences..." dialog shows and does, apart from the dialog
// itself: the files chosen, the column choice for sentence pairs, a preview
// of the first records, a line saying what the import will do, and the
// import. The dialog (content/ui/ImportSentencesDialog) only shows this.
#pragma once

#include <string>
#include <vector>

#include "content/SentenceImport.h"

namespace pw {

class SentenceImportForm {
public:
    enum class Role { Sentence, Translation, Explanation };
    static constexpr int kPreviewRows = 8;

    // Each reads its file; false, keeping what the form had, when it cannot
    // be used (error() says why). A new source forgets the recording and the
    // translations, and takes a recording of its name beside it.
    bool chooseSource(const std::string& path);
    bool chooseRecording(const std::string& path);
    bool chooseTranslations(const std::string& path);
    const std::u16string& error() const { return m_error; }

    bool hasSource() const { return m_import.kind() != SentenceImport::Kind::None; }
    bool isSubtitles() const { return m_import.kind() == SentenceImport::Kind::Subtitles; }
    SentenceImport& import() { return m_import; }

    // The entries of each column list: "(none)", then one per column of the
    // table ("Column 2: Front", or its first value when it has no name).
    std::vector<std::u16string> columnChoices() const;
    // The entry chosen for role: its column + 1, 0 for none.
    int choice(Role role) const;
    void setChoice(Role role, int entry);
    bool headerRow() const { return m_import.hasHeaderRow(); }
    void setHeaderRow(bool headerRow);

    // The preview table: its titles and its first rows.
    std::vector<std::u16string> previewTitles() const;
    const std::vector<std::vector<std::u16string>>& previewRows() const { return m_preview; }
    // What the import will do: how many sentences, what will be skipped, and
    // for subtitles where the sound comes from.
    const std::u16string& statusText() const { return m_status; }
    bool canImport() const { return m_sentences > 0; }
    // The source's name with ".xml", beside it.
    std::string suggestedOutput() const;

    ImportOutcome run(const std::string& outPath) const { return m_import.write(outPath); }

private:
    // After a file was chosen: refreshes what the form shows, or keeps the
    // reason it was refused.
    bool accept(bool changed);
    void refresh();

    SentenceImport m_import;
    std::u16string m_error;
    std::vector<std::vector<std::u16string>> m_preview;
    std::u16string m_status;
    int m_sentences = 0;
};

}  // namespace pw
