// The logic of the import dialog.
#include "content/SentenceImportForm.h"

#include <algorithm>
#include <filesystem>

#include "core/Utf.h"

namespace pw {
namespace {

constexpr size_t kChoiceValueLength = 30;
constexpr size_t kListedLines = 5;

std::u16string number(long long n) {
    return fromUtf8(std::to_string(n));
}

std::u16string shortened(std::u16string text, size_t length) {
    std::replace_if(
        text.begin(), text.end(), [](char16_t c) { return c == u'\t' || c == u'\r' || c == u'\n'; },
        u' ');
    if (text.size() > length) {
        text.resize(length);
        text += u"\u2026";
    }
    return text;
}

}  // namespace

bool SentenceImportForm::chooseSource(const std::string& path) {
    SentenceImport loaded;
    if (!loaded.loadSource(path)) {
        m_error = loaded.failure();
        return false;
    }
    m_import = std::move(loaded);
    return accept(true);
}

bool SentenceImportForm::chooseRecording(const std::string& path) {
    return accept(m_import.setRecording(path));
}

bool SentenceImportForm::chooseTranslations(const std::string& path) {
    return accept(m_import.loadTranslations(path));
}

bool SentenceImportForm::accept(bool changed) {
    if (!changed) {
        m_error = m_import.failure();
        return false;
    }
    m_error.clear();
    refresh();
    return true;
}

std::vector<std::u16string> SentenceImportForm::columnChoices() const {
    std::vector<std::u16string> choices = {u"(none)"};
    if (m_import.kind() != SentenceImport::Kind::SentencePairs) {
        return choices;
    }
    const DelimitedTable& table = m_import.table();
    const size_t firstData = m_import.hasHeaderRow() ? 1 : 0;
    for (int c = 0; c < table.columnCount; ++c) {
        std::u16string label = u"Column " + number(c + 1);
        std::u16string name = m_import.columnName(c);
        if (name.empty() && firstData < table.rows.size() &&
            static_cast<size_t>(c) < table.rows[firstData].fields.size()) {
            name = table.rows[firstData].fields[c];
        }
        if (!name.empty()) {
            label += u": " + shortened(name, kChoiceValueLength);
        }
        choices.push_back(std::move(label));
    }
    return choices;
}

int SentenceImportForm::choice(Role role) const {
    const SentenceImport::Columns& columns = m_import.columns();
    switch (role) {
        case Role::Sentence:
            return columns.sentence + 1;
        case Role::Translation:
            return columns.translation + 1;
        default:
            return columns.explanation + 1;
    }
}

void SentenceImportForm::setChoice(Role role, int entry) {
    SentenceImport::Columns columns = m_import.columns();
    const int column = std::clamp(entry - 1, -1, m_import.table().columnCount - 1);
    (role == Role::Sentence      ? columns.sentence
     : role == Role::Translation ? columns.translation
                                 : columns.explanation) = column;
    m_import.setColumns(columns);
    refresh();
}

void SentenceImportForm::setHeaderRow(bool headerRow) {
    m_import.setHeaderRow(headerRow);
    refresh();
}

std::vector<std::u16string> SentenceImportForm::previewTitles() const {
    if (isSubtitles()) {
        return {u"Start", u"End", u"Sentence", u"Translation"};
    }
    return {u"Line", u"Sentence", u"Translation", u"Explanation"};
}

void SentenceImportForm::refresh() {
    std::vector<ImportIssue> issues;
    int withoutWords = 0;
    const std::vector<ImportedSentence> sentences = m_import.plan(&issues, &withoutWords);
    m_sentences = static_cast<int>(sentences.size());
    m_preview.clear();
    for (size_t i = 0; i < sentences.size() && i < static_cast<size_t>(kPreviewRows); ++i) {
        const ImportedSentence& s = sentences[i];
        if (isSubtitles()) {
            m_preview.push_back(
                {formatCueTime(s.startMs), formatCueTime(s.endMs), s.sentence, s.translation});
        } else {
            m_preview.push_back({number(s.line), s.sentence, s.translation, s.explanation});
        }
    }

    m_status = m_sentences == 0   ? u"No sentence can be read."
               : m_sentences == 1 ? u"1 sentence will be imported."
                                  : number(m_sentences) + u" sentences will be imported.";
    std::vector<const ImportIssue*> skipped;
    for (const ImportIssue& issue : issues) {
        if (issue.kind == ImportIssue::Skipped) {
            skipped.push_back(&issue);
        }
    }
    if (!skipped.empty()) {
        const char16_t* what = isSubtitles() ? u"cue" : u"row";
        m_status += u" " + number(static_cast<long long>(skipped.size())) + u" " + what +
                    (skipped.size() == 1 ? u" cannot be read and will be skipped ("
                                         : u"s cannot be read and will be skipped (");
        for (size_t i = 0; i < skipped.size() && i < kListedLines; ++i) {
            m_status += (i ? u", " : u"") + issueText(*skipped[i]);
        }
        m_status += skipped.size() > kListedLines ? u", \u2026)." : u").";
    }
    if (withoutWords > 0) {
        m_status += u" " + number(withoutWords) +
                    (withoutWords == 1 ? u" cue without words will be left out."
                                       : u" cues without words will be left out.");
    }
    if (isSubtitles()) {
        const std::string& recording = m_import.recordingPath();
        m_status += recording.empty()
                        ? u" No recording: the voices will speak the sentences."
                        : u" Recording: " +
                              fromUtf8(std::filesystem::path(recording).filename().string()) +
                              u" (" + formatCueTime(m_import.recordingLengthMs()) + u").";
    }
}

std::string SentenceImportForm::suggestedOutput() const {
    const std::string& source = m_import.sourcePath();
    if (source.empty()) {
        return {};
    }
    std::filesystem::path out(source);
    out.replace_extension(".xml");
    if (out.string() == source) {
        out.replace_filename(out.stem().string() + " sentences.xml");
    }
    return out.string();
}

}  // namespace pw
