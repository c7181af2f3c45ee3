// The import dialog.
#include "content/ui/ImportSentencesDialog.h"

#include <algorithm>
#include <filesystem>

#include <wx/window.h>

#include "core/UiServices.h"
#include "core/Utf.h"

namespace pw {
namespace {

constexpr int kMargin = 8;
constexpr int kRow = 30;
constexpr int kLabelWidth = 110;
constexpr int kLabelHeight = 22;
constexpr int kButtonWidth = 100;
constexpr int kStatusHeight = 56;
constexpr int kLineWidth = 50;
constexpr int kTimeWidth = 100;
constexpr size_t kListedIssues = 12;

struct FileKind {
    const char16_t* title;
    const char16_t* filterLabel;
    const char16_t* patterns;
};

const FileKind kFileKinds[] = {
    {u"Sentences to import", u"Sentences (*.tsv,*.csv,*.txt,*.srt,*.vtt)",
     u"*.tsv;*.csv;*.txt;*.srt;*.vtt"},
    {u"The recording of the subtitles", u"Recording (*.mp3,*.ogg,*.opus,*.flac,*.wav)",
     u"*.mp3;*.ogg;*.opus;*.flac;*.wav"},
    {u"Subtitles with the translations", u"Subtitles (*.srt,*.vtt)", u"*.srt;*.vtt"},
};

const char16_t* const kLabels[] = {u"Sentences:", u"Recording:",  u"Translations:",
                                   u"Sentence",   u"Translation", u"Explanation"};

std::u16string withIssues(const ImportOutcome& outcome) {
    std::u16string text = outcome.summary;
    for (size_t i = 0; i < outcome.issues.size() && i < kListedIssues; ++i) {
        text += (i == 0 ? u"\n\n" : u"\n") + issueText(outcome.issues[i]);
    }
    if (outcome.issues.size() > kListedIssues) {
        text += u"\n\u2026";
    }
    return text;
}

}  // namespace

Button& ImportSentencesDialog::button(Id id) {
    return m_choose[std::clamp(id - kSourceButton, 0, 2)];
}

TextField& ImportSentencesDialog::pathField(Id id) {
    return m_paths[std::clamp(id - kSourceButton, 0, 2)];
}

bool ImportSentencesDialog::onInit() {
    setTitle(u"Import Sentences");
    wxWindow* parent = handle();
    for (size_t i = 0; i < m_labels.size(); ++i) {
        m_labels[i].setText(kLabels[i]);
        m_labels[i].create(parent, 0, 0, 10, 10);
        m_labels[i].setBackColor(parent->GetBackgroundColour());
    }
    for (int i = 0; i < 3; ++i) {
        m_paths[i].setReadOnly(true);
        m_paths[i].create(parent, 0, 0, 10, 10);
        m_choose[i].setId(kSourceButton + i);
        m_choose[i].setText(u"Choose...");
        m_choose[i].create(parent, 0, 0, 10, 10);
        m_columns[i].setId(kSentenceColumn + i);
        m_columns[i].create(parent, 0, 0, 10, 10);
    }
    m_headerRow.setId(kHeaderRow);
    m_headerRow.setText(u"The first row names the columns");
    m_headerRow.create(parent, 0, 0, 10, 10);
    m_preview.create(parent, 0, 0, 10, 10);
    for (const std::u16string& title : m_form.previewTitles()) {
        m_preview.addColumn(title, kTimeWidth);
    }
    m_status.setReadOnly(true);
    m_status.create(parent, 0, 0, 10, 10);
    m_ok.setId(wxID_OK);
    m_ok.setText(u"Import...");
    m_ok.create(parent, 0, 0, 10, 10);
    m_cancel.setId(wxID_CANCEL);
    m_cancel.setText(u"Cancel");
    m_cancel.create(parent, 0, 0, 10, 10);
    showForm();
    setSizeCentred(720, 520);
    return true;
}

void ImportSentencesDialog::onSize(int width, int height) {
    const int field = std::max(width - kLabelWidth - kButtonWidth - 4 * kMargin, 60);
    int y = kMargin;
    for (int i = 0; i < 3; ++i) {
        m_labels[i].setBounds(kMargin, y, kLabelWidth, kRow);
        m_paths[i].setBounds(2 * kMargin + kLabelWidth, y, field, kRow);
        m_choose[i].setBounds(width - kMargin - kButtonWidth, y, kButtonWidth, kRow);
        y += kRow + kMargin;
    }
    // The three column lists side by side, each under its name.
    const int third = std::max((width - kMargin) / 3, 60);
    for (int i = 0; i < 3; ++i) {
        const int x = kMargin + i * third;
        m_labels[3 + i].setBounds(x, y, third - kMargin, kLabelHeight);
        m_columns[i].setBounds(x, y + kLabelHeight, third - kMargin, kRow);
    }
    y += kLabelHeight + kRow + kMargin;
    m_headerRow.setBounds(kMargin, y, width - 2 * kMargin, kRow);
    y += kRow + kMargin;
    const int bottom = height - kMargin - kRow;
    const int statusTop = bottom - kMargin - kStatusHeight;
    m_preview.setBounds(kMargin, y, width - 2 * kMargin, std::max(statusTop - kMargin - y, 40));
    m_status.setBounds(kMargin, statusTop, width - 2 * kMargin, kStatusHeight);
    m_cancel.setBounds(width - kMargin - kButtonWidth, bottom, kButtonWidth, kRow);
    m_ok.setBounds(width - 2 * (kMargin + kButtonWidth), bottom, kButtonWidth, kRow);
    fitPreviewColumns();
}

void ImportSentencesDialog::fitPreviewColumns() {
    // The line or the times take what they need; the texts share the rest.
    const bool subtitles = m_form.isSubtitles();
    const int narrow = subtitles ? kTimeWidth : kLineWidth;
    const int narrowColumns = subtitles ? 2 : 1;
    const int columns = m_preview.columnCount();
    if (columns <= narrowColumns) {
        return;
    }
    const int wide = std::max(
        (m_preview.clientWidth() - narrowColumns * narrow) / (columns - narrowColumns), kTimeWidth);
    for (int c = 0; c < columns; ++c) {
        m_preview.setColumnWidth(c, c < narrowColumns ? narrow : wide);
    }
}

void ImportSentencesDialog::showForm() {
    const bool subtitles = m_form.isSubtitles();
    const bool pairs = m_form.hasSource() && !subtitles;
    SentenceImport& import = m_form.import();
    m_paths[0].setText(fromUtf8(import.sourcePath()));
    m_paths[1].setText(fromUtf8(import.recordingPath()));
    m_paths[2].setText(fromUtf8(import.translationsPath()));
    for (int i = 1; i < 3; ++i) {
        m_paths[i].setEnabled(subtitles);
        m_choose[i].setEnabled(subtitles);
    }
    const std::vector<std::u16string> choices = m_form.columnChoices();
    for (int i = 0; i < 3; ++i) {
        m_columns[i].clear();
        for (const std::u16string& choice : choices) {
            m_columns[i].addItem(choice);
        }
        m_columns[i].select(m_form.choice(SentenceImportForm::Role(i)));
        m_columns[i].setEnabled(pairs);
    }
    m_headerRow.setChecked(m_form.headerRow());
    m_headerRow.setEnabled(pairs);

    const std::vector<std::u16string> titles = m_form.previewTitles();
    for (int c = 0; c < m_preview.columnCount() && c < static_cast<int>(titles.size()); ++c) {
        m_preview.setColumnTitle(c, titles[c]);
    }
    fitPreviewColumns();
    m_preview.deleteAllRows();
    for (const std::vector<std::u16string>& row : m_form.previewRows()) {
        m_preview.addRow(row);
    }
    m_status.setText(m_form.hasSource() ? m_form.statusText()
                                        : u"Choose a file of sentence pairs (TSV or CSV, as "
                                          u"corpora and flash-card programs export them) or of "
                                          u"subtitles (SRT or WebVTT).");
    m_ok.setEnabled(m_form.canImport());
}

void ImportSentencesDialog::choose(Id id) {
    const FileKind& kind = kFileKinds[id - kSourceButton];
    FileChooserRequest request;
    request.title = kind.title;
    request.filterLabel = kind.filterLabel;
    request.patterns = kind.patterns;
    request.mustExist = true;
    if (!m_form.import().sourcePath().empty()) {
        request.initialDirectory =
            fromUtf8(std::filesystem::path(m_form.import().sourcePath()).parent_path().string());
    }
    const std::optional<std::u16string> chosen = ui().chooseFile(request);
    if (!chosen || chosen->empty()) {
        return;
    }
    const std::string path = toUtf8(*chosen);
    const bool ok = id == kSourceButton      ? m_form.chooseSource(path)
                    : id == kRecordingButton ? m_form.chooseRecording(path)
                                             : m_form.chooseTranslations(path);
    if (!ok) {
        messageBox(m_form.error(), MbOk | MbIconWarning);
    }
    showForm();
}

bool ImportSentencesDialog::onCommand(const Command& command) {
    if (command.id >= kSourceButton && command.id <= kTranslationsButton &&
        command.code == codes::kClicked) {
        choose(Id(command.id));
        return true;
    }
    if (command.id >= kSentenceColumn && command.id <= kExplanationColumn &&
        command.code == codes::kSelectionChanged) {
        const int i = command.id - kSentenceColumn;
        m_form.setChoice(SentenceImportForm::Role(i), m_columns[i].selectedIndex());
        showForm();
        return true;
    }
    if (command.id == kHeaderRow && command.code == codes::kClicked) {
        m_form.setHeaderRow(m_headerRow.isChecked());
        showForm();
        return true;
    }
    return Dialog::onCommand(command);
}

bool ImportSentencesDialog::onOK() {
    if (!m_form.canImport()) {
        messageBox(m_form.hasSource() ? m_form.statusText() : u"Choose a file to import first.",
                   MbOk | MbIconWarning);
        return false;
    }
    const std::filesystem::path suggested(m_form.suggestedOutput());
    FileChooserRequest request;
    request.title = u"Save the learning file";
    request.filterLabel = u"Learning file (*.xml)";
    request.patterns = u"*.xml";
    request.initialDirectory = fromUtf8(suggested.parent_path().string());
    request.defaultName = fromUtf8(suggested.filename().string());
    request.save = true;
    request.mustExist = false;
    const std::optional<std::u16string> chosen = ui().chooseFile(request);
    if (!chosen || chosen->empty()) {
        return false;
    }
    std::string out = toUtf8(*chosen);
    if (asciiLower(std::filesystem::path(out).extension().string()) != ".xml") {
        out += ".xml";
    }
    const ImportOutcome outcome = m_form.run(out);
    if (outcome.status == kImportFailed) {
        messageBox(withIssues(outcome), MbOk | MbIconError);
        return false;
    }
    if (outcome.status == kImportPartial) {
        messageBox(withIssues(outcome), MbOk | MbIconWarning);
    }
    m_written = outcome.outPath;
    return true;
}

}  // namespace pw
