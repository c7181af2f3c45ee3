// Importing sentence pairs and subtitles into learning files.
#include "content/SentenceImport.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "audio/TempoStream.h"
#include "content/SentenceListModel.h"
#include "content/SentenceRecord.h"
#include "core/InputFile.h"
#include "core/SafeFile.h"
#include "core/Utf.h"
#include "xml/TextFile.h"

namespace pw {
namespace fs = std::filesystem;

namespace {

constexpr size_t kCopyChunk = 1 << 20;

std::u16string number(long long n) {
    return fromUtf8(std::to_string(n));
}

std::u16string counted(long long n, std::u16string_view one, std::u16string_view many) {
    return number(n) + u" " + std::u16string(n == 1 ? one : many);
}

std::u16string fileName(const std::string& path) {
    return fromUtf8(fs::path(path).filename().string());
}

std::string extensionOf(const std::string& path) {
    return asciiLower(fs::path(path).extension().string());
}

std::string withoutExtension(const std::string& path) {
    fs::path p(path);
    return p.replace_extension().string();
}

// The names under which a column holds a sentence, its translation or notes.
enum Role { kSentenceRole, kTranslationRole, kExplanationRole, kNoRole };

Role roleOfName(std::u16string_view name) {
    static const std::array<std::vector<std::u16string_view>, 3> kNames = {{
        {u"sentence", u"sentences", u"text", u"front", u"expression", u"phrase", u"example",
         u"question", u"source", u"original"},
        {u"translation", u"translations", u"meaning", u"back", u"answer", u"target", u"gloss"},
        {u"explanation", u"explanations", u"notes", u"note", u"comment", u"comments", u"extra",
         u"remarks", u"remark", u"info"},
    }};
    const std::u16string key = lowerCaseName(trimmedField(name));
    for (int role = 0; role < 3; ++role) {
        if (std::find(kNames[role].begin(), kNames[role].end(), key) != kNames[role].end()) {
            return static_cast<Role>(role);
        }
    }
    return kNoRole;
}

bool isWholeNumber(std::u16string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// Removes byte-order marks that concatenated files leave inside the text,
// noting each line that held one.
void removeStrayMarks(std::u16string& text, std::vector<ImportIssue>& notes) {
    if (text.find(u'\uFEFF') == std::u16string::npos) {
        return;
    }
    std::u16string out;
    out.reserve(text.size());
    int line = 1;
    int noted = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\uFEFF') {
            if (noted != line) {
                notes.push_back({ImportIssue::Note,
                                 line,
                                 u"a byte-order mark in the middle of the file was removed",
                                 {}});
                noted = line;
            }
            continue;
        }
        if (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) {
            ++line;
        }
        out += c;
    }
    text = std::move(out);
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

bool sameContent(const std::string& a, const std::string& b) {
    std::error_code ec;
    const auto size = fs::file_size(a, ec);
    if (ec || fs::file_size(b, ec) != size || ec) {
        return false;
    }
    InputFileStream first(a);
    InputFileStream second(b);
    std::vector<char> x(kCopyChunk);
    std::vector<char> y(kCopyChunk);
    while (first && second) {
        first.read(x.data(), static_cast<std::streamsize>(x.size()));
        second.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (first.gcount() != second.gcount() ||
            !std::equal(x.begin(), x.begin() + first.gcount(), y.begin())) {
            return false;
        }
    }
    return first.eof() && second.eof();
}

bool copyFile(const std::string& from, const std::string& to, std::string& error) {
    InputFileStream in(from);  // the recording; never waits on a FIFO
    if (!in.is_open()) {
        error = "Cannot read the file: " + from;
        return false;
    }
    SafeFileWriter writer(to);
    if (!writer.open()) {
        error = writer.error();
        return false;
    }
    std::vector<char> chunk(kCopyChunk);
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        if (in.gcount() > 0 && !writer.write(chunk.data(), static_cast<size_t>(in.gcount()))) {
            error = writer.error();
            return false;
        }
    }
    if (in.bad() || !writer.commit()) {
        error = in.bad() ? "Cannot read the file: " + from : writer.error();
        return false;
    }
    return true;
}

std::unique_ptr<Element> sentenceList(std::vector<ImportedSentence>&& sentences) {
    auto root = std::make_unique<Element>(u"SentenceList");
    for (ImportedSentence& s : sentences) {
        Element* record = root->appendElement(records::kSentenceRecord);
        record->appendElement(u"sentence")->appendCData(std::move(s.sentence));
        record->appendElement(u"translation")->appendCData(std::move(s.translation));
        record->appendElement(u"explanation")->appendCData(std::move(s.explanation));
        if (s.startMs >= 0 && s.endMs > s.startMs) {
            record->setAttribute(records::kStartTime,
                                 records::formatTimeText(static_cast<uint32_t>(s.startMs)));
            record->setAttribute(records::kEndTime,
                                 records::formatTimeText(static_cast<uint32_t>(s.endMs)));
        }
    }
    return root;
}

}  // namespace

std::u16string issueText(const ImportIssue& issue) {
    std::u16string text = issue.file;
    if (issue.line > 0) {
        text += (text.empty() ? u"line " : u", line ") + number(issue.line);
    }
    return text + (text.empty() ? u"" : u": ") + issue.message;
}

const std::vector<std::string>& SentenceImport::recordingExtensions() {
    static const std::vector<std::string> kExtensions = {".mp3", ".ogg", ".opus", ".flac", ".wav"};
    return kExtensions;
}

bool SentenceImport::fail(std::u16string message) {
    m_failure = std::move(message);
    return false;
}

bool SentenceImport::readText(const std::string& path, std::u16string& text,
                              std::vector<ImportIssue>& notes) {
    std::string bytes;
    if (!readFileBytes(path, bytes)) {
        std::error_code ec;
        return fail(fileName(path) +
                    (fs::exists(path, ec) ? u" cannot be read." : u" does not exist."));
    }
    if (bytes.empty()) {
        return fail(fileName(path) + u" is empty.");
    }
    if (decodeTextBytes(bytes, text) == kBinary) {
        return fail(fileName(path) + u" is not a text file (it holds NUL bytes).");
    }
    removeStrayMarks(text, notes);
    for (ImportIssue& note : notes) {
        note.file = fileName(path);
    }
    return true;
}

bool SentenceImport::loadSource(const std::string& path) {
    m_failure.clear();
    std::u16string text;
    std::vector<ImportIssue> notes;
    if (!readText(path, text, notes)) {
        return false;
    }
    Kind kind = Kind::SentencePairs;
    DelimitedTable table;
    SubtitleTrack track;
    if (looksLikeSubtitles(path, text)) {
        kind = Kind::Subtitles;
        track = readSubtitles(text, subtitleFormatFor(path, text));
    } else if (auto error = readDelimitedText(text, separatorForFileName(path), table)) {
        return fail(issueText({ImportIssue::Skipped, error->line, error->message, fileName(path)}) +
                    u".");
    }
    m_kind = kind;
    m_sourcePath = path;
    m_sourceNotes = std::move(notes);
    m_table = std::move(table);
    m_track = std::move(track);
    for (ImportIssue& issue : m_track.issues) {
        issue.file = fileName(path);
    }
    clearRecording();
    clearTranslations();
    m_headerRow = false;
    m_columns = Columns();
    if (m_kind == Kind::SentencePairs) {
        chooseDefaultColumns();
        return true;
    }
    for (const std::string& extension : recordingExtensions()) {
        const std::string beside = withoutExtension(path) + extension;
        std::error_code ec;
        if (fs::is_regular_file(beside, ec) && setRecording(beside)) {
            break;
        }
    }
    m_failure.clear();
    return true;
}

void SentenceImport::chooseDefaultColumns() {
    const std::vector<DelimitedRow>& rows = m_table.rows;
    if (!rows.empty()) {
        bool sentence = false;
        bool other = false;
        for (const std::u16string& field : rows[0].fields) {
            const Role role = roleOfName(field);
            sentence = sentence || role == kSentenceRole;
            other = other || role == kTranslationRole || role == kExplanationRole;
        }
        m_headerRow = sentence && other;
    }
    int chosen[3] = {-1, -1, -1};
    for (int c = 0; c < m_table.columnCount; ++c) {
        const Role role = roleOfName(columnName(c));
        if (role != kNoRole && chosen[role] < 0) {
            chosen[role] = c;
        }
    }
    const bool named = chosen[kSentenceRole] >= 0;
    // The other columns, in order, that hold text.
    std::vector<int> free;
    for (int c = 0; c < m_table.columnCount; ++c) {
        const auto& skip = m_table.bookkeepingColumns;
        if (std::find(skip.begin(), skip.end(), c) != skip.end() ||
            std::find(std::begin(chosen), std::end(chosen), c) != std::end(chosen)) {
            continue;
        }
        // Ids: whole numbers in every row that reaches the column.
        bool numbers = false;
        for (size_t r = m_headerRow ? 1 : 0; r < rows.size(); ++r) {
            const auto& fields = rows[r].fields;
            if (static_cast<size_t>(c) >= fields.size()) {
                continue;
            }
            numbers = isWholeNumber(fields[c]);
            if (!numbers) {
                break;
            }
        }
        if (!numbers) {
            free.push_back(c);
        }
    }
    size_t next = 0;
    // Named columns leave out the notes unless a name says where they are.
    for (int role = 0; role < (named ? 2 : 3); ++role) {
        if (chosen[role] < 0 && next < free.size()) {
            chosen[role] = free[next++];
        }
    }
    m_columns = {chosen[0], chosen[1], chosen[2]};
}

std::u16string SentenceImport::columnName(int c) const {
    if (c < 0) {
        return {};
    }
    if (m_headerRow && !m_table.rows.empty() &&
        static_cast<size_t>(c) < m_table.rows[0].fields.size()) {
        return std::u16string(trimmedField(m_table.rows[0].fields[c]));
    }
    return static_cast<size_t>(c) < m_table.columnNames.size() ? m_table.columnNames[c]
                                                               : std::u16string();
}

bool SentenceImport::setColumns(std::u16string_view text) {
    m_failure.clear();
    std::vector<std::u16string> items;
    for (size_t start = 0;;) {
        const size_t comma = text.find(u',', start);
        items.emplace_back(trimmedField(text.substr(start, comma - start)));
        if (comma == std::u16string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (items.size() > 3 || items[0].empty()) {
        return fail(
            u"The columns are given as SENTENCE[,TRANSLATION[,EXPLANATION]]: numbers "
            u"from 1 or column names.");
    }
    int chosen[3] = {-1, -1, -1};
    bool headerRow = m_headerRow;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::u16string& item = items[i];
        if (item.empty()) {
            continue;
        }
        if (isWholeNumber(item)) {
            const int column = item.size() > 6 ? 0 : std::stoi(toUtf8(item));
            if (column < 1 || column > m_table.columnCount) {
                return fail(u"There is no column " + item + u": " + fileName(m_sourcePath) +
                            u" has " + counted(m_table.columnCount, u"column.", u"columns."));
            }
            chosen[i] = column - 1;
            continue;
        }
        const auto matches = [&](std::u16string_view name) {
            return lowerCaseName(name) == lowerCaseName(item);
        };
        for (int c = 0; c < m_table.columnCount && chosen[i] < 0; ++c) {
            const bool inFirstRow = !m_table.rows.empty() &&
                                    static_cast<size_t>(c) < m_table.rows[0].fields.size() &&
                                    matches(trimmedField(m_table.rows[0].fields[c]));
            const bool inHeader = static_cast<size_t>(c) < m_table.columnNames.size() &&
                                  matches(m_table.columnNames[c]);
            if (inHeader || inFirstRow) {
                chosen[i] = c;
                headerRow = headerRow || (inFirstRow && !inHeader);
            }
        }
        if (chosen[i] < 0) {
            return fail(u"No column of " + fileName(m_sourcePath) + u" is named \"" + item +
                        u"\".");
        }
    }
    m_headerRow = headerRow;
    m_columns = {chosen[0], chosen[1], chosen[2]};
    return true;
}

bool SentenceImport::setRecording(const std::string& path) {
    m_failure.clear();
    const auto& extensions = recordingExtensions();
    if (std::find(extensions.begin(), extensions.end(), extensionOf(path)) == extensions.end()) {
        return fail(fileName(path) +
                    u" cannot be the recording of a learning file: use an MP3, Ogg, Opus, "
                    u"FLAC or WAV file.");
    }
    TempoStream stream;
    if (!stream.open(path) || stream.sourceRate() <= 0) {
        std::error_code ec;
        return fail(fileName(path) +
                    (fs::exists(path, ec) ? u" cannot be played." : u" does not exist."));
    }
    m_recordingPath = path;
    m_recordingLengthMs = static_cast<int>(
        std::min<int64_t>(stream.sourceFrames() * 1000 / stream.sourceRate(), INT32_MAX));
    return true;
}

void SentenceImport::clearRecording() {
    m_recordingPath.clear();
    m_recordingLengthMs = 0;
}

bool SentenceImport::loadTranslations(const std::string& path) {
    m_failure.clear();
    std::u16string text;
    std::vector<ImportIssue> notes;
    if (!readText(path, text, notes)) {
        return false;
    }
    if (!looksLikeSubtitles(path, text)) {
        return fail(fileName(path) + u" is no subtitle file (SRT or WebVTT).");
    }
    m_translations = readSubtitles(text, subtitleFormatFor(path, text));
    for (ImportIssue& issue : m_translations.issues) {
        issue.file = fileName(path);
    }
    m_translationsPath = path;
    m_translationNotes = std::move(notes);
    return true;
}

void SentenceImport::clearTranslations() {
    m_translations = SubtitleTrack();
    m_translationsPath.clear();
    m_translationNotes.clear();
}

std::u16string SentenceImport::sourceName() const {
    return fileName(m_sourcePath);
}

std::vector<ImportedSentence> SentenceImport::planPairs(std::vector<ImportIssue>& issues) const {
    std::vector<ImportedSentence> sentences;
    const auto [s, t, e] = m_columns;
    const bool escape = !m_table.html;
    const std::vector<DelimitedRow>& rows = m_table.rows;
    sentences.reserve(rows.size());
    const auto skip = [&](int line, std::u16string message) {
        issues.push_back({ImportIssue::Skipped, line, std::move(message), sourceName()});
    };
    for (size_t r = m_headerRow ? 1 : 0; r < rows.size(); ++r) {
        const DelimitedRow& row = rows[r];
        const int fields = static_cast<int>(row.fields.size());
        if (s < 0) {
            skip(row.line, u"no column is chosen for the sentence");
            continue;
        }
        if (s >= fields) {
            skip(row.line, u"the row has " + counted(fields, u"field", u"fields") +
                               u", but the sentence is in column " + number(s + 1));
            continue;
        }
        if (isBlankField(row.fields[s])) {
            skip(row.line, u"the sentence is empty");
            continue;
        }
        if (t >= fields) {
            issues.push_back({ImportIssue::Note, row.line,
                              u"the row has no translation column (imported without one)",
                              sourceName()});
        }
        ImportedSentence& sentence = sentences.emplace_back();
        sentence.line = row.line;
        const auto field = [&](int c) {
            if (c < 0 || c >= fields) {
                return std::u16string();
            }
            return escape ? Element::escape(row.fields[c]) : row.fields[c];
        };
        sentence.sentence = field(s);
        sentence.translation = field(t);
        sentence.explanation = field(e);
    }
    return sentences;
}

std::vector<ImportedSentence> SentenceImport::planCues(std::vector<ImportIssue>& issues) const {
    std::vector<ImportedSentence> sentences;
    const std::vector<SubtitleCue>& cues = m_track.cues;
    const std::vector<std::u16string> translations =
        m_translationsPath.empty() ? std::vector<std::u16string>(cues.size())
                                   : matchByOverlap(cues, m_translations.cues);
    for (size_t i = 0; i < cues.size(); ++i) {
        const SubtitleCue& cue = cues[i];
        if (m_recordingLengthMs > 0 && cue.startMs >= m_recordingLengthMs) {
            issues.push_back({ImportIssue::Skipped, cue.line,
                              u"the cue starts at " + formatCueTime(cue.startMs) +
                                  u", after the end of the recording (" +
                                  formatCueTime(m_recordingLengthMs) + u")",
                              sourceName()});
            continue;
        }
        sentences.push_back({cue.line, cue.text, translations[i], {}, cue.startMs, cue.endMs});
    }
    return sentences;
}

std::vector<ImportedSentence> SentenceImport::plan(std::vector<ImportIssue>* issues,
                                                   int* withoutWords) const {
    std::vector<ImportIssue> found = m_sourceNotes;
    std::vector<ImportedSentence> sentences;
    if (m_kind == Kind::SentencePairs) {
        sentences = planPairs(found);
    } else if (m_kind == Kind::Subtitles) {
        found.insert(found.end(), m_track.issues.begin(), m_track.issues.end());
        sentences = planCues(found);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const ImportIssue& a, const ImportIssue& b) { return a.line < b.line; });
    if (m_kind == Kind::Subtitles && !m_translationsPath.empty()) {
        std::vector<ImportIssue> second = m_translationNotes;
        second.insert(second.end(), m_translations.issues.begin(), m_translations.issues.end());
        std::stable_sort(
            second.begin(), second.end(),
            [](const ImportIssue& a, const ImportIssue& b) { return a.line < b.line; });
        found.insert(found.end(), second.begin(), second.end());
    }
    if (issues) {
        *issues = std::move(found);
    }
    if (withoutWords) {
        *withoutWords = m_kind == Kind::Subtitles ? m_track.cuesWithoutWords : 0;
    }
    return sentences;
}

ImportOutcome SentenceImport::write(const std::string& outPath) const {
    ImportOutcome outcome;
    outcome.outPath = outPath;
    const auto refuse = [&](std::u16string why) {
        outcome.status = kImportFailed;
        outcome.summary = why + u" Nothing was written.";
        return outcome;
    };
    if (m_kind == Kind::None) {
        return refuse(u"There is nothing to import.");
    }
    if (extensionOf(outPath) != ".xml") {
        return refuse(u"A learning file's name ends in \".xml\"; " + fileName(outPath) +
                      u" does not.");
    }
    if (sameFile(outPath, m_sourcePath) || sameFile(outPath, m_translationsPath)) {
        return refuse(u"The learning file cannot replace the file it is made from.");
    }
    std::vector<ImportedSentence> sentences = plan(&outcome.issues, &outcome.withoutWords);
    outcome.skipped = static_cast<int>(
        std::count_if(outcome.issues.begin(), outcome.issues.end(),
                      [](const ImportIssue& i) { return i.kind == ImportIssue::Skipped; }));
    if (sentences.empty()) {
        return refuse(u"No sentence could be read from " + sourceName() + u".");
    }

    // The recording goes beside the learning file, under its name, where the
    // program looks for it; nothing there is replaced by a different file.
    std::string copiedTo;
    if (m_kind == Kind::Subtitles && !m_recordingPath.empty()) {
        const std::string base = withoutExtension(outPath);
        const std::string place = base + extensionOf(m_recordingPath);
        for (const std::string& extension : companionAudioExtensions()) {
            const std::string other = base + extension;
            std::error_code ec;
            if (other == place) {
                break;
            }
            if (fs::exists(other, ec)) {
                return refuse(fileName(other) + u" lies beside " + fileName(outPath) +
                              u" and would be played instead of " + fileName(m_recordingPath) +
                              u"; choose another name for the learning file.");
            }
        }
        std::error_code ec;
        const bool placeTaken = fs::exists(place, ec);
        if (placeTaken && !sameFile(place, m_recordingPath) &&
            !sameContent(place, m_recordingPath)) {
            return refuse(fileName(place) + u" already lies beside " + fileName(outPath) +
                          u" and is another recording; choose another name for the learning "
                          u"file.");
        }
        if (!placeTaken) {
            std::string error;
            if (!copyFile(m_recordingPath, place, error)) {
                return refuse(u"The recording cannot be copied beside the learning file: " +
                              fromUtf8(error) + u".");
            }
            copiedTo = place;
        }
        outcome.recordingPath = place;
        outcome.recordingCopied = !copiedTo.empty();
    }

    // Written as XMLParser writes a document declared UTF-8 (which keeps large
    // lists small and is what other tools read best), without the index of
    // elements that a document being edited needs.
    outcome.sentences = static_cast<int>(sentences.size());
    std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    text += sentenceList(std::move(sentences))->toXmlString();
    std::string error;
    if (!writeTextFile(outPath, text, kUtf8WithBom, &error)) {
        if (!copiedTo.empty()) {
            std::error_code ec;
            fs::remove(copiedTo, ec);
        }
        outcome.sentences = 0;
        outcome.recordingPath.clear();
        outcome.recordingCopied = false;
        return refuse(u"The learning file cannot be written: " + fromUtf8(error) + u".");
    }

    outcome.status = outcome.skipped > 0 ? kImportPartial : kImportComplete;
    const bool cues = m_kind == Kind::Subtitles;
    outcome.summary = u"Imported " + counted(outcome.sentences, u"sentence", u"sentences") +
                      u" into " + fileName(outPath) + u".";
    if (outcome.skipped > 0) {
        outcome.summary += u" " +
                           counted(outcome.skipped, cues ? u"cue was" : u"row was",
                                   cues ? u"cues were" : u"rows were") +
                           u" skipped.";
    }
    if (outcome.withoutWords > 0) {
        outcome.summary +=
            u" " +
            counted(outcome.withoutWords, u"cue without words was", u"cues without words were") +
            u" left out.";
    }
    if (outcome.recordingCopied) {
        outcome.summary +=
            u" The recording was copied beside it as " + fileName(outcome.recordingPath) + u".";
    } else if (cues && outcome.recordingPath.empty()) {
        outcome.summary += u" There is no recording, so the voices will speak the sentences.";
    }
    return outcome;
}

}  // namespace pw
