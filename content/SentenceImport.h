// Learning files made from the learner's own material: sentence pairs (TSV
// or CSV, as sentence corpora and flash-card programs export them) and
// subtitles with the recording they belong to (SRT or WebVTT, and optionally
// a second subtitle file whose cues become the translations).
//
//   SentenceImport import;
//   if (!import.loadSource("talk.srt") || !import.setRecording("talk.mp3")) {
//       report(import.failure());
//       return;
//   }
//   ImportOutcome outcome = import.write("lessons/talk.xml");
//   report(outcome.summary);  // outcome.status: 0, 3 or 1 as the command exits
//
// What cannot be read is reported line by line and the rest is imported; a
// file whose structure breaks, or in which nothing can be read, is refused and
// nothing is written. The learning file is replaced only by a complete one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "content/DelimitedText.h"
#include "content/ImportIssue.h"
#include "content/Subtitles.h"

namespace pw {

struct ImportedSentence {
    int line = 0;  // where it was read
    std::u16string sentence;
    std::u16string translation;
    std::u16string explanation;
    // Its place on the recording (subtitles); -1 for sentence pairs.
    int startMs = -1;
    int endMs = -1;
};

// The exit status of an import.
enum ImportStatus : int {
    kImportComplete = 0,  // written, with every row or cue
    kImportFailed = 1,    // nothing was written
    kImportPartial = 3,   // written, with rows or cues skipped
};

struct ImportOutcome {
    int status = kImportFailed;
    int sentences = 0;  // records written
    int skipped = 0;    // rows or cues left out because they could not be read
    int withoutWords = 0;
    std::vector<ImportIssue> issues;
    std::string outPath;
    // The recording the learning file plays from (beside it), when it has one.
    std::string recordingPath;
    bool recordingCopied = false;
    // One paragraph for the learner: what was written, or why nothing was.
    std::u16string summary;
};

// "talk.srt, line 14: ..." (or without a line for the file as a whole).
std::u16string issueText(const ImportIssue& issue);

class SentenceImport {
public:
    enum class Kind { None, SentencePairs, Subtitles };
    // Columns of a table, from 0; -1 for none.
    struct Columns {
        int sentence = -1;
        int translation = -1;
        int explanation = -1;
        bool operator==(const Columns&) const = default;
    };

    // The extensions a recording beside a learning file may have.
    static const std::vector<std::string>& recordingExtensions();

    // Reads the source (UTF-8 path) in whatever encoding it was written:
    // subtitles for ".srt", ".vtt" or text starting "WEBVTT", sentence pairs
    // otherwise. For subtitles a recording of the same name beside them (an
    // audio extension instead of theirs) is taken when there is one. False
    // when the file cannot be read, is no text or its structure breaks;
    // failure() says why and where.
    bool loadSource(const std::string& path);
    Kind kind() const { return m_kind; }
    const std::string& sourcePath() const { return m_sourcePath; }
    // Why the last loadSource, setRecording, loadTranslations or setColumns
    // failed; empty after a success.
    const std::u16string& failure() const { return m_failure; }

    // ---- Sentence pairs
    const DelimitedTable& table() const { return m_table; }
    // Whether the first row names the columns rather than holding a
    // sentence; detected when it names a sentence column and a translation
    // or explanation column ("Sentence", "Front", "Translation", "Notes", ...).
    bool hasHeaderRow() const { return m_headerRow; }
    void setHeaderRow(bool headerRow) { m_headerRow = headerRow; }
    // The columns chosen; by default those the names say, else the first
    // columns that hold text (not numbers only, as the corpora's ids, nor the
    // guid, deck, note type and tags columns of a flash-card export).
    const Columns& columns() const { return m_columns; }
    void setColumns(const Columns& columns) { m_columns = columns; }
    // Chooses columns from text such as "2,4", "1,,3" or "Front,Back,Notes":
    // the sentence, translation and explanation columns, each a number from 1
    // or a column's name (which makes the first row the names when they are
    // there), and empty for none. False, changing nothing, when a column is
    // not in the table.
    bool setColumns(std::u16string_view text);
    // The name of column c, from the first row or a "#columns:" header;
    // empty when it has none.
    std::u16string columnName(int c) const;

    // ---- Subtitles
    // The recording the cues' times belong to; false when it cannot be
    // played or cannot lie beside a learning file.
    bool setRecording(const std::string& path);
    void clearRecording();
    const std::string& recordingPath() const { return m_recordingPath; }
    int recordingLengthMs() const { return m_recordingLengthMs; }
    // Subtitles in another language whose cues become the translations.
    bool loadTranslations(const std::string& path);
    void clearTranslations();
    const std::string& translationsPath() const { return m_translationsPath; }

    // The records the import would write, and the issues of every line read
    // (issues receives them, in file order).
    std::vector<ImportedSentence> plan(std::vector<ImportIssue>* issues = nullptr,
                                       int* withoutWords = nullptr) const;

    // Writes the learning file outPath (which must end in ".xml") through the
    // safe save, and puts the recording beside it under its name unless it is
    // there already. Nothing is written when nothing can be imported, or when
    // another file already holds the recording's place beside it.
    ImportOutcome write(const std::string& outPath) const;

private:
    bool fail(std::u16string message);
    bool readText(const std::string& path, std::u16string& text, std::vector<ImportIssue>& notes);
    void chooseDefaultColumns();
    std::vector<ImportedSentence> planPairs(std::vector<ImportIssue>& issues) const;
    std::vector<ImportedSentence> planCues(std::vector<ImportIssue>& issues) const;
    std::u16string sourceName() const;

    Kind m_kind = Kind::None;
    std::string m_sourcePath;
    std::u16string m_failure;
    std::vector<ImportIssue> m_sourceNotes;

    DelimitedTable m_table;
    bool m_headerRow = false;
    Columns m_columns;

    SubtitleTrack m_track;
    std::string m_recordingPath;
    int m_recordingLengthMs = 0;
    SubtitleTrack m_translations;
    std::string m_translationsPath;
    std::vector<ImportIssue> m_translationNotes;
};

}  // namespace pw
