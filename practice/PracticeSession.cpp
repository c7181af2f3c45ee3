// The practice pane's logic: the file, the menus and the parts together.
#include "practice/PracticeSession.h"

#include <algorithm>

#include "xml/HtmlText.h"

namespace pw {
namespace {

// The records a newly opened file is judged by: enough to tell its
// languages, few enough that a long file opens as fast.
constexpr int kSampledRecords = 200;

template <typename T, typename Default>
T& ownOrGiven(T* given, std::unique_ptr<T>& own) {
    if (!given) {
        own = std::make_unique<Default>();
        given = own.get();
    }
    return *given;
}

}  // namespace

PracticeSession::PracticeSession(IPracticeSpeaker& speaker, PracticeSetup setup)
    : m_speaker(speaker),
      m_theme(setup.themePath),
      m_results(m_list, setup.logPath),
      m_viewBuilder(m_changes),
      m_run(speaker, ownOrGiven<Clock, TickClock>(setup.clock, m_ownClock),
            ownOrGiven<KeySound, KeyClickSound>(setup.keySound, m_ownKeySound), m_list, m_results,
            m_viewBuilder, m_changes) {
    m_run.setBeep(std::move(setup.beep));
}

PracticeSession::~PracticeSession() = default;

void PracticeSession::create() {
    PracticeChanges::Scope scope(m_changes);
    m_results.load();
    m_run.loadOptions();
    m_theme.load();
    m_run.setState(PracticeState::NoFile);
    m_changes.add(kThemeChanged);
}

void PracticeSession::saveSettings() {
    m_run.saveOptions();
    m_theme.saveSettings();
}

bool PracticeSession::finish(const std::u16string& description) {
    PracticeChanges::Scope scope(m_changes);
    return m_run.state() == PracticeState::NoFile || m_results.closeFile(description);
}

bool PracticeSession::releaseFile(const std::u16string& description) {
    PracticeChanges::Scope scope(m_changes);
    return m_run.state() == PracticeState::NoFile || m_results.releaseFile(description);
}

void PracticeSession::setFonts(const TextMeasurer& sentenceFont, const TextMeasurer& boldFont) {
    m_viewBuilder.setFonts(sentenceFont, boldFont);
}

void PracticeSession::setPaneSize(int width, int height) {
    m_viewBuilder.setPaneSize(width, height);
}

// ---- The learning file

bool PracticeSession::openFile(const std::u16string& path) {
    PracticeChanges::Scope scope(m_changes);
    m_speaker.stop();
    const bool opened = m_list.open(path);
    m_results.dropUnsaved();
    m_run.setState(opened ? PracticeState::Ready : PracticeState::NoFile);
    if (opened) {
        // The editor shows the new file's description; a note typed in it
        // stays through runs until another file is opened.
        m_changes.add(kDescriptionChanged);
        introduceFile();
    }
    return opened;
}

void PracticeSession::introduceFile() {
    std::vector<std::u16string> sentences;
    std::vector<std::u16string> translations;
    bool recorded = false;
    const int sampled = std::min(m_list.recordCount(), kSampledRecords);
    for (int i = 0; i < sampled; ++i) {
        sentences.push_back(htmlToText(m_list.text(i, TextKind::Sentence)));
        translations.push_back(htmlToText(m_list.text(i, TextKind::Translation)));
        std::string path;
        int start = 0;
        int end = 0;
        recorded = recorded || m_list.audioSource(i, path, start, end);
    }
    m_speaker.fileOpened(sentences, translations, recorded);
}

void PracticeSession::closeFile() {
    PracticeChanges::Scope scope(m_changes);
    m_speaker.stop();
    m_results.dropUnsaved();
    m_run.setState(PracticeState::NoFile);
}

void PracticeSession::setWordMode(bool wordMode) {
    PracticeChanges::Scope scope(m_changes);
    m_list.setWordMode(wordMode);
    m_list.refresh();
    if (m_run.state() != PracticeState::NoFile) {
        m_run.setState(PracticeState::Ready);
    }
}

// ---- Options and commands

void PracticeSession::setOptions(const PracticeOptions& options) {
    m_run.setOptions(options);
}

bool PracticeSession::startRun(RunKind kind, const std::vector<int>& selectedRows) {
    return m_run.startRun(kind, selectedRows);
}

bool PracticeSession::save(const std::u16string& description) {
    PracticeChanges::Scope scope(m_changes);
    return m_results.save(description);
}

void PracticeSession::setChecked(bool on) {
    m_run.setChecked(on);
}

void PracticeSession::setSentenceVisibility(bool visible) {
    m_run.setSentenceVisibility(visible);
}

std::vector<MenuItem> PracticeSession::listMenu(int selectedCount) const {
    std::vector<MenuItem> items(2);
    items[0] = {kStartFromHereCommand, u"Start from here", selectedCount == 1};
    items[1] = {kAskSelectedCommand, u"選択した問題を出題する", selectedCount >= 1};
    items.push_back(MenuItem::makeSeparator());
    items.push_back({kAudioConversionCommand, u"Open Audio Conversion Dialog...",
                     selectedCount >= 1 && m_audioConversionOpener != nullptr});
    items.push_back(
        {kPrintCommand, u"Print Sentences...", selectedCount >= 1 && m_printOpener != nullptr});
    return items;
}

bool PracticeSession::onListMenuCommand(int id, const std::vector<int>& selectedRows) {
    PracticeChanges::Scope scope(m_changes);
    switch (id) {
        case kStartFromHereCommand:
            return selectedRows.size() == 1 && startRun(RunKind::FromSelection, selectedRows);
        case kAskSelectedCommand:
            return !selectedRows.empty() && startRun(RunKind::SelectedRows, selectedRows);
        case kAudioConversionCommand:
            if (selectedRows.empty() || !m_audioConversionOpener) {
                return false;
            }
            m_audioConversionOpener(selectedRows);
            return true;
        case kPrintCommand:
            if (selectedRows.empty() || !m_printOpener) {
                return false;
            }
            m_printOpener(selectedRows);
            return true;
        default:
            return false;
    }
}

void PracticeSession::onThemeMenuCommand(int id) {
    PracticeChanges::Scope scope(m_changes);
    if (m_theme.chooseMenuItem(id)) {
        m_changes.add(kThemeChanged | kRepaint);
    }
}

// ---- Events

bool PracticeSession::onKeyDown(const PracticeKeyEvent& key) {
    return m_run.onKeyDown(key);
}

bool PracticeSession::onKeyUp(const PracticeKeyEvent& key) {
    return m_run.onKeyUp(key);
}

bool PracticeSession::onChar(char32_t ch) {
    return m_run.onChar(ch);
}

void PracticeSession::onFocusLost() {
    m_run.onFocusLost();
}

bool PracticeSession::onMouse(MouseAction action, Point at) {
    PracticeChanges::Scope scope(m_changes);
    if (m_run.state() != PracticeState::Typing || options().mode != PracticeMode::OrderWriting) {
        return false;
    }
    const int slot = slotAt(wordBoardLayout(), at);
    const int underlined = view().choiceHover;
    m_run.setPointer(at);
    if (action == MouseAction::Click) {
        return slot >= 0 && m_run.chooseSlot(slot);
    }
    if (slot != underlined) {
        m_changes.add(kRepaint);
    }
    return false;
}

WordBoardLayout PracticeSession::wordBoardLayout() {
    return m_viewBuilder.wordBoardLayout(view());
}

bool PracticeSession::onBlinkTimer() {
    return m_run.onBlinkTimer();
}

const PracticeView& PracticeSession::view() {
    return m_viewBuilder.view(m_run, m_list, m_results.history());
}

}  // namespace pw
