// The results of practice waiting to be saved: the open learning file's
// scores, check marks and trial counts, the lifetime totals of "Log.xml",
// whether any of them changed since they were read, and Save with its
// question and its failures.
#pragma once

#include <optional>
#include <string>

#include "content/SentenceListModel.h"
#include "practice/HistoryManager.h"

namespace pw {

class PracticeResults {
public:
    static constexpr const char16_t* kSaveQuestion = u"データを保存しますか。";
    static constexpr const char16_t* kSaveCaption = u"Do you want to save the results?";

    // list is the open learning file, which the results live in; it stays
    // the caller's.
    PracticeResults(SentenceListModel& list, std::string logPath);

    // Reads the totals.
    void load() { m_history.load(); }
    HistoryManager& history() { return m_history; }
    const HistoryManager& history() const { return m_history; }

    bool hasUnsavedResults() const { return m_unsaved; }
    // A result changed in memory.
    void markUnsaved() { m_unsaved = true; }
    // Another file was opened or the file was closed: what was not saved is
    // gone with it.
    void dropUnsaved() { m_unsaved = false; }

    // Save: asks, then writes "Log.xml" and the learning file. True when both
    // were written; on failure the learner is told and the results stay in
    // memory, so Save can be tried again.
    bool save(const std::u16string& description);
    // The open file is about to go: asks whether to save when there are
    // results that have not been saved or description (the editor's text)
    // differs from the file's. True when the file may go (saved, nothing to
    // save, or the learner chose not to save); false when the learner wanted
    // the results saved and they could not be written, so they stay.
    bool releaseFile(const std::u16string& description);
    // The program is closing: asks as releaseFile does. When the results
    // cannot be written the learner chooses: try again, save the learning
    // file under another name, or keep the program open with the results
    // (closing once more and answering No lets them go). True when the
    // program may close.
    bool closeFile(const std::u16string& description);

private:
    // Unsaved results, or a description other than the file's.
    bool needsSaving(const std::u16string& description) const;
    bool askToSave() const;
    // Writes "Log.xml" and the learning file; what failed, one line each,
    // empty when both were written.
    std::u16string writeResults(const std::u16string& description);
    // writeResults, and a box with the failures.
    bool writeOrTell(const std::u16string& description);
    // Writes the learning file to a path the learner chooses, and the log;
    // what failed, or nullopt when the learner chose no file.
    std::optional<std::u16string> writeElsewhere();

    SentenceListModel& m_list;
    HistoryManager m_history;
    bool m_unsaved = false;
};

}  // namespace pw
