// The open learning file in memory: the document, its records in document
// order and everything the program asks of a record by its index (texts,
// check marks, trials, scores, times, sound). It shows nowhere by itself:
// TypingSentenceList (content/ui) draws its six cells, and practice drives it
// by record index, with or without a display.
//
//   SentenceListModel list;
//   if (!list.open(u"Data/talk.mp3")) report(list.openError());
//   for (int i = 0; i < list.recordCount(); ++i) {
//       std::u16string sentence = list.text(i, TextKind::Sentence);
//       ...
//   }
//   list.incrementTrial(0);
//   list.setScore(0, u"87.5", /*writing=*/false);
//   std::string error;
//   if (!list.save(&error)) report(error);
//
// Operations given an index that is not below recordCount() change nothing
// and return an empty text, 0, -1 or false.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "content/SentenceRecord.h"
#include "xml/XMLParser.h"

namespace pw {

// The extensions of the companion audio of a learning file (the recording
// beside it under its name), in the order they are looked for.
const std::vector<std::string>& companionAudioExtensions();

// Told of every change that alters what the list shows.
class SentenceListListener {
public:
    virtual ~SentenceListListener() = default;
    // The records were rebuilt: their number and every row may differ.
    virtual void recordsReset() = 0;
    // A cell of record index changed.
    virtual void recordChanged(int index) = 0;
};

class SentenceListModel {
public:
    // The six cells of a record's row, in their order.
    enum Column : int {
        kCheckColumn,        // the check marks, as records::renderCheck shows them
        kTrialColumn,        // "trialNumber" as stored
        kSentenceColumn,     // text(i, Sentence)
        kTranslationColumn,  // text(i, Translation)
        kDictationColumn,    // "dictationScore" as stored
        kWritingColumn,      // "writingScore" as stored
        kColumnCount
    };

    SentenceListModel();
    ~SentenceListModel();
    SentenceListModel(const SentenceListModel&) = delete;
    SentenceListModel& operator=(const SentenceListModel&) = delete;

    // Listeners are not owned and must be removed before they die.
    void addListener(SentenceListListener* listener);
    void removeListener(SentenceListListener* listener);

    // ---- Opening
    // Opens a learning file (UTF-8 path): the XML file of the same name comes
    // first, so "talk.mp3" loads "talk.xml" when it exists and results saved
    // for an MP3 are found again; otherwise an MP3's synchronised lyrics become
    // the list (loadFromMp3). On failure the list keeps its previous content,
    // openError() says why, and false is returned. A malformed XML file shows
    // the parse-error box; an MP3 beside a malformed XML file of its name is
    // then not opened from its lyrics, so that saving cannot replace the
    // learner's file.
    bool open(const std::string& path);
    bool open(const std::u16string& path);
    // Builds the list from the synchronised lyrics of an MP3 file: one record
    // per line, with its text as the sentence and its time as startTime. The
    // document's path becomes the MP3's with ".xml", so saving results
    // creates that file. False (nothing changes) for a file whose extension is
    // not ".mp3" or whose lyrics cannot be read.
    bool loadFromMp3(const std::string& path);
    // Rebuilds the records and the description from the document: the records
    // lose their obsolete attributes and gain the sentence and translation
    // elements they lack. False when there is no document.
    bool refresh();
    // Why the last open or loadFromMp3 failed; empty after a success.
    const std::u16string& openError() const { return m_openError; }

    // ---- The document
    // Callers that add or remove records in the tree call refresh afterwards.
    XMLParser& document() { return *m_document; }
    const std::string& path() const { return m_document->getPath(); }
    // True when the list was built from MP3 lyrics and has not been saved yet.
    bool isFromLyrics() const { return m_fromLyrics; }
    // Writes the document to its path (safely: a failed save changes nothing
    // on disk); error receives the reason on failure.
    bool save(std::string* error = nullptr);

    // Word mode reads Word records instead of SentenceGroup ones; call
    // refresh after changing it.
    void setWordMode(bool wordMode) { m_wordMode = wordMode; }
    bool wordMode() const { return m_wordMode; }

    // ---- Records by index
    int recordCount() const { return static_cast<int>(m_records.size()); }
    bool isValidIndex(int i) const { return i >= 0 && i < recordCount() && m_records[i]; }
    // The record element, or null.
    Element* record(int i) const { return isValidIndex(i) ? m_records[i] : nullptr; }

    // The texts of record i (see SentenceRecord::text); kinds 0 to 2 may also
    // be given as numbers through TextKind(n).
    std::u16string text(int i, TextKind kind);
    // The CDATA node holding that text, created when missing; null for an
    // invalid index.
    Element* textNode(int i, TextKind kind);
    // Stores text; the row's cell is updated for the sentence and translation.
    void setRecordText(int i, TextKind kind, std::u16string text);

    // trialNumber = min(stored modulo 256, 100) + 1.
    void incrementTrial(int i);
    // bit 0 or 1: sets or clears check mark value 1 or 2.
    void setCheck(int i, int bit, bool on);
    int check(int i) const;
    // Stores scoreText under "writingScore" (writing) or "dictationScore".
    void setScore(int i, std::u16string scoreText, bool writing);
    // The stored score as a number, 0 when empty or not a number.
    double getScore(int i, bool writing) const;

    const std::u16string& getDescription() const { return m_description; }
    void setDescription(const std::u16string& text);

    // Milliseconds from the record's time text, -1 when absent or malformed.
    int startTime(int i) const;
    int endTime(int i) const;
    // Where sentence i lies in the companion audio: from startTime to
    // endTime, or to the next record's startTime. A missing end after a valid
    // start is -1, meaning the end of the file. False when there is no such
    // segment: no start, an end not after the start, or a start of 0 from the
    // third record on (taken for a record without a time).
    bool audioSegment(int i, int& start, int& end) const;
    // The sound to play for sentence i: its own voice file (start 0, end -1)
    // when that file can be read, else the companion audio beside the
    // document (the same name with one of companionAudioExtensions()) and the
    // sentence's segment of it. path is UTF-8.
    bool audioSource(int i, std::string& path, int& start, int& end) const;

    // The text of one cell of row i; empty for an invalid index or column.
    std::u16string cellText(int i, int column);

private:
    // Replaces the document by the list built from the MP3's lyrics.
    bool loadLyrics(const std::string& path);
    void notifyReset();
    void notifyChanged(int i);
    SentenceRecord recordAt(int i) const { return SentenceRecord(*m_records[i], m_wordMode); }

    std::unique_ptr<XMLParser> m_document;
    std::vector<Element*> m_records;
    std::u16string m_description;
    std::u16string m_openError;
    bool m_wordMode = false;
    bool m_fromLyrics = false;
    std::vector<SentenceListListener*> m_listeners;
};

}  // namespace pw
