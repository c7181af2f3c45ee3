// The practice pane's logic.
#include "practice/PracticeSession.h"

#include <algorithm>
#include <cstdio>

#include "core/Random.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "practice/CharacterClasses.h"
#include "practice/QuestionOrder.h"
#include "practice/Scoring.h"
#include "practice/WordWrap.h"
#include "xml/HtmlText.h"

namespace pw {
namespace {

constexpr const char16_t* kModeUnavailableText =
    u"This practice mode is not available in this version of Phrasewright.";

template <typename... Args>
std::u16string format(const char* pattern, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, args...);
    return fromUtf8(text);
}

// text split at its line feeds, without carriage returns.
std::vector<std::u16string> splitLines(const std::u16string& text) {
    std::vector<std::u16string> lines(1);
    for (char16_t c : text) {
        if (c == u'\n') {
            lines.emplace_back();
        } else if (c != u'\r') {
            lines.back().push_back(c);
        }
    }
    return lines;
}

}  // namespace

// Collects the changes of one call into the session and tells the listener
// once, when the outermost call returns.
class PracticeSession::ChangeScope {
public:
    explicit ChangeScope(PracticeSession& session) : m_session(session) { ++session.m_scopeDepth; }
    ~ChangeScope() {
        if (--m_session.m_scopeDepth > 0 || m_session.m_pending == 0) {
            return;
        }
        const unsigned changes = m_session.m_pending;
        m_session.m_pending = 0;
        if (m_session.m_listener) {
            m_session.m_listener->practiceChanged(changes);
        }
    }
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

private:
    PracticeSession& m_session;
};

PracticeSession::PracticeSession(IPracticeSpeaker& speaker, PracticeSetup setup)
    : m_speaker(speaker),
      m_clock(setup.clock),
      m_keySound(setup.keySound),
      m_history(setup.logPath),
      m_theme(setup.themePath) {
    if (!m_clock) {
        m_ownClock = std::make_unique<TickClock>();
        m_clock = m_ownClock.get();
    }
    if (!m_keySound) {
        m_ownKeySound = std::make_unique<KeyClickSound>();
        m_keySound = m_ownKeySound.get();
    }
}

PracticeSession::~PracticeSession() = default;

void PracticeSession::create() {
    ChangeScope scope(*this);
    m_history.load();
    m_options = PracticeOptions::load();
    m_theme.load();
    setState(PracticeState::NoFile);
    changed(kThemeChanged);
}

void PracticeSession::saveSettings() {
    m_options.save();
    m_theme.saveSettings();
}

void PracticeSession::finish(const std::u16string& description) {
    releaseFile(description);
}

bool PracticeSession::releaseFile(const std::u16string& description) {
    ChangeScope scope(*this);
    if (m_state == PracticeState::NoFile) {
        return true;
    }
    const bool descriptionChanged =
        m_list.document().getRoot() && description != m_list.getDescription();
    if (!m_unsaved && !descriptionChanged) {
        return true;
    }
    return !askToSave() || writeResults(description);
}

void PracticeSession::setFonts(const TextMeasurer& sentenceFont, const TextMeasurer& boldFont) {
    m_sentenceFont = &sentenceFont;
    m_boldFont = &boldFont;
    m_viewStale = true;
}

void PracticeSession::setPaneSize(int width, int height) {
    m_paneWidth = width;
    m_paneHeight = height;
}

const TextMeasurer& PracticeSession::sentenceFont() const {
    return m_sentenceFont ? *m_sentenceFont : m_fallbackFont;
}

const TextMeasurer& PracticeSession::boldFont() const {
    return m_boldFont ? *m_boldFont : m_fallbackFont;
}

// ---- The learning file

bool PracticeSession::openFile(const std::u16string& path) {
    ChangeScope scope(*this);
    m_speaker.stop();
    const bool opened = m_list.open(path);
    m_unsaved = false;
    setState(opened ? PracticeState::Ready : PracticeState::NoFile);
    return opened;
}

void PracticeSession::closeFile() {
    ChangeScope scope(*this);
    m_speaker.stop();
    m_unsaved = false;
    setState(PracticeState::NoFile);
}

void PracticeSession::setWordMode(bool wordMode) {
    ChangeScope scope(*this);
    m_list.setWordMode(wordMode);
    m_list.refresh();
    if (m_state != PracticeState::NoFile) {
        setState(PracticeState::Ready);
    }
}

// ---- Options and commands

void PracticeSession::setOptions(const PracticeOptions& options) {
    ChangeScope scope(*this);
    m_options = options;
    m_options.pointLimit = std::clamp(m_options.pointLimit, PracticeOptions::kMinPointLimit,
                                      PracticeOptions::kMaxPointLimit);
    changed(kRepaint);
}

bool PracticeSession::isModeAvailable(PracticeMode mode) {
    return mode == PracticeMode::Free || mode == PracticeMode::Dictation ||
           mode == PracticeMode::Writing;
}

bool PracticeSession::startRun(RunKind kind, const std::vector<int>& selectedRows) {
    ChangeScope scope(*this);
    if (m_state != PracticeState::Ready) {
        return false;
    }
    if (!isModeAvailable(m_options.mode)) {
        messageBox(kModeUnavailableText, MbOk | MbIconInformation);
        return false;
    }
    resetRun();
    const bool writing = writingSide();
    const int sideBit = 1 << checkBitOf(m_options.mode);
    for (uint32_t row : candidateRows(kind, m_list.recordCount(), selectedRows)) {
        const int i = static_cast<int>(row);
        if (m_options.usePointLimit &&
            reachesPointLimit(m_list.getScore(i, writing), m_options.pointLimit)) {
            continue;
        }
        if (m_options.onlyCheckedQuestions && (m_list.check(i) & sideBit) == 0) {
            continue;
        }
        m_questionOrder.push_back(row);
    }
    if (m_options.shuffle) {
        shuffleQuestions(m_questionOrder, randomNumber);
    }
    if (m_questionOrder.empty()) {
        messageBox(kNoQuestionText);
        return false;
    }
    setState(PracticeState::Typing);
    changed(kTakeFocus);
    m_position = -1;
    m_statistics.assign(static_cast<size_t>(m_list.recordCount()),
                        SentenceStats::startingAt(m_clock->now()));
    nextQuestion();
    changed(kStartBlinkTimer);
    return true;
}

bool PracticeSession::save(const std::u16string& description) {
    ChangeScope scope(*this);
    return askToSave() && writeResults(description);
}

bool PracticeSession::askToSave() const {
    return messageBox(kSaveQuestion, MbYesNo | MbIconQuestion, kSaveCaption) == IdYes;
}

bool PracticeSession::writeResults(const std::u16string& description) {
    if (m_list.document().getRoot()) {
        m_list.setDescription(description);
    }
    std::u16string failures;
    std::string error;
    if (!m_history.save(&error)) {
        failures += fromUtf8(m_history.path() + ": " + error) + u"\n";
    }
    if (m_list.recordCount() > 0 && !m_list.save(&error)) {
        failures += fromUtf8(m_list.path() + ": " + error) + u"\n";
    }
    if (!failures.empty()) {
        messageBox(u"The results could not be saved.\n\n" + failures +
                       u"\nThey are kept until Phrasewright closes; try Save again once the "
                       u"file can be written.",
                   MbOk | MbIconError);
        return false;
    }
    m_unsaved = false;
    return true;
}

void PracticeSession::setChecked(bool on) {
    ChangeScope scope(*this);
    changed(kTakeFocus);
    if (m_state != PracticeState::Typing && m_state != PracticeState::Answer) {
        return;
    }
    m_checked = on;
    m_list.setCheck(currentIndex(), checkBitOf(m_options.mode), on);
    m_unsaved = true;
    changed(kCheckChanged | kRepaint);
}

void PracticeSession::setSentenceVisibility(bool visible) {
    ChangeScope scope(*this);
    m_sentenceVisibility = visible;
    changed(kRepaint | kTakeFocus);
}

std::vector<MenuItem> PracticeSession::listMenu(int selectedCount) const {
    std::vector<MenuItem> items(2);
    items[0] = {kStartFromHereCommand, u"Start from here", selectedCount == 1};
    items[1] = {kAskSelectedCommand, u"選択した問題を出題する", selectedCount >= 1};
    items.push_back(MenuItem::makeSeparator());
    // Opens the audio conversion of the selected sentences, which this
    // version does not have.
    items.push_back({kAudioConversionCommand, u"Open Audio Conversion Dialog...", false});
    return items;
}

bool PracticeSession::onListMenuCommand(int id, const std::vector<int>& selectedRows) {
    ChangeScope scope(*this);
    switch (id) {
        case kStartFromHereCommand:
            return selectedRows.size() == 1 && startRun(RunKind::FromSelection, selectedRows);
        case kAskSelectedCommand:
            return !selectedRows.empty() && startRun(RunKind::SelectedRows, selectedRows);
        default:
            return false;
    }
}

void PracticeSession::onThemeMenuCommand(int id) {
    ChangeScope scope(*this);
    if (m_theme.chooseMenuItem(id)) {
        changed(kThemeChanged | kRepaint);
    }
}

// ---- Events

bool PracticeSession::onKeyDown(const PracticeKeyEvent& key) {
    ChangeScope scope(*this);
    m_controlDown = key.control || key.key == PracticeKey::Control;
    if (key.key == PracticeKey::Left || key.key == PracticeKey::Right) {
        m_arrowDown = true;
    }
    if (m_state == PracticeState::Typing) {
        switch (key.key) {
            case PracticeKey::Enter:
                speakQuestion();
                return true;
            case PracticeKey::Escape:
                giveUp();
                return true;
            case PracticeKey::Left:
                if (key.control) {
                    goBack();
                    return true;
                }
                return false;
            case PracticeKey::Right:
                if (key.control) {
                    if (m_position + 1 < static_cast<int>(m_questionOrder.size())) {
                        nextQuestion();
                    }
                    return true;
                }
                return false;
            default:
                return false;
        }
    }
    if (m_state == PracticeState::Answer) {
        switch (key.key) {
            case PracticeKey::Enter:
                listen();
                return true;
            case PracticeKey::Space:
                nextQuestion();
                return true;
            case PracticeKey::Escape:
                setState(PracticeState::Stop);
                return true;
            default:
                return false;
        }
    }
    return false;
}

bool PracticeSession::onKeyUp(const PracticeKeyEvent& key) {
    ChangeScope scope(*this);
    if (key.key == PracticeKey::Control) {
        m_controlDown = false;
        return false;
    }
    if (key.key != PracticeKey::Left && key.key != PracticeKey::Right) {
        return false;
    }
    m_arrowDown = false;
    if (m_state != PracticeState::Typing || !key.control) {
        return false;
    }
    restartQuestion();
    return true;
}

bool PracticeSession::onChar(char32_t ch) {
    ChangeScope scope(*this);
    const bool asking = m_state == PracticeState::Typing || m_state == PracticeState::Answer;
    if (ch == U'/') {
        if (asking) {
            m_speaker.togglePause();
        }
        return asking;
    }
    if (m_state != PracticeState::Typing || m_options.mode == PracticeMode::OrderWriting) {
        return false;
    }
    if (typeChar(ch > 0xFFFF ? char16_t(0xFFFD) : static_cast<char16_t>(ch))) {
        m_keySound->play();
    }
    return true;
}

void PracticeSession::onFocusLost() {
    m_controlDown = false;
    m_arrowDown = false;
}

bool PracticeSession::onBlinkTimer() {
    ChangeScope scope(*this);
    switch (m_state) {
        case PracticeState::Answer:
            m_prompt = m_prompt.empty() ? view_texts::kPrompt : u"";
            changed(kRepaint);
            return true;
        case PracticeState::Typing:
            return true;
        default:
            return false;
    }
}

// ---- The run

void PracticeSession::resetRun() {
    m_storedScore = 0;
    m_consecutiveMisses = 0;
    m_position = 0;
    m_questionOrder.clear();
    m_statistics.clear();
}

int PracticeSession::currentIndex() const {
    if (m_position < 0 || m_position >= static_cast<int>(m_questionOrder.size())) {
        return 0;
    }
    return static_cast<int>(m_questionOrder[m_position]);
}

SentenceStats& PracticeSession::stats() {
    const size_t i = static_cast<size_t>(currentIndex());
    return i < m_statistics.size() ? m_statistics[i] : m_spareStats;
}

const SentenceStats& PracticeSession::currentStats() const {
    return const_cast<PracticeSession*>(this)->stats();
}

void PracticeSession::nextQuestion() {
    ChangeScope scope(*this);
    changed(kRepaint);
    ++m_position;
    m_speaker.stop();
    if (m_position >= static_cast<int>(m_questionOrder.size())) {
        if (m_options.mode == PracticeMode::FlashWriting) {
            m_position = 0;
        } else {
            setState(PracticeState::Stop);
        }
        return;
    }
    startQuestion();
    if (m_sentence.atEnd()) {
        return;  // nothing to type: answered and heard already
    }
    if (!(m_controlDown && m_arrowDown)) {
        speakQuestion();
    }
    setState(PracticeState::Typing);
}

void PracticeSession::goBack() {
    --m_position;
    if (m_position >= 0) {
        --m_position;
    }
    nextQuestion();
}

void PracticeSession::restartQuestion() {
    if (m_position >= 0) {
        --m_position;
    }
    nextQuestion();
}

bool PracticeSession::startQuestion() {
    ChangeScope scope(*this);
    changed(kRepaint | kCheckChanged | kExplanationChanged | kQuestionStarted);
    m_sentence.clear();
    m_prompt.clear();
    m_consecutiveMisses = 0;
    m_score = 0;

    const int index = currentIndex();
    const bool writing = writingSide();
    m_checked = (m_list.check(index) >> checkBitOf(m_options.mode) & 1) != 0;
    m_storedScore = m_list.getScore(index, writing);
    const int areaWidth = sentenceAreaWidth(m_paneWidth);
    m_translation = htmlToText(m_list.text(index, TextKind::Translation));
    m_wrappedTranslation = wrapText(m_translation, wrapWidthFor(areaWidth, boldFont()), boldFont());
    m_explanation = htmlToText(m_list.text(index, TextKind::Explanation));

    // Timed from here, so that a sentence with nothing to type takes no time.
    stats() = SentenceStats::startingAt(m_clock->now());
    m_sentence.setSentence(htmlToText(m_list.text(index, TextKind::Sentence)), sentenceFont(),
                           wrapWidthFor(areaWidth, sentenceFont()),
                           m_options.mode != PracticeMode::Free);
    m_sentence.skipFiller();
    if (m_sentence.atEnd()) {
        finishSentence();
    } else {
        m_sentence.findCurrentWord();
    }
    return true;
}

void PracticeSession::listen() {
    const int index = currentIndex();
    std::string path;
    int start = 0;
    int end = -1;
    if (!m_list.wordMode() && m_list.audioSource(index, path, start, end) &&
        m_speaker.playRecording(path, start, end)) {
        return;
    }
    m_speaker.speakSentence(m_sentence.sourceText());
}

void PracticeSession::speakQuestion() {
    if (writingSide()) {
        m_speaker.speakTranslation(m_translation);
    } else {
        listen();
    }
}

void PracticeSession::giveUp() {
    setState(PracticeState::Answer);
    listen();
}

void PracticeSession::setState(PracticeState state) {
    ChangeScope scope(*this);
    changed(kStateChanged | kRepaint);
    m_prompt.clear();
    switch (state) {
        case PracticeState::Stop:
            m_state = state;
            m_speaker.stop();
            setState(PracticeState::Ready);
            return;
        case PracticeState::Ready:
            resetRun();
            changed(kDescriptionChanged);
            break;
        case PracticeState::NoFile:
            resetRun();
            m_sentence.clear();
            break;
        case PracticeState::Answer:
            m_sentence.revealAll();
            break;
        default:
            break;
    }
    m_state = state;
}

// ---- Typing

bool PracticeSession::typeChar(char16_t ch) {
    using namespace typing;
    ChangeScope scope(*this);
    SentenceStats& current = stats();
    ++current.typingCount;
    const char16_t expected = m_sentence.expected();
    if (expected == 0) {
        return false;  // nothing is left to type
    }
    if (upperAscii(expected) != upperAscii(ch)) {
        if (ch == u' ' || !isWordChar(ch)) {
            return false;  // ignored: neither typed nor missed
        }
        ++current.missCount;
        ++m_consecutiveMisses;
        if (m_consecutiveMisses == kHintMisses) {
            m_checked = true;
            m_list.setCheck(currentIndex(), checkBitOf(m_options.mode), true);
            m_unsaved = true;
            m_speaker.speakWord(m_sentence.currentWord());
            changed(kCheckChanged | kRepaint);  // the hint shows from now on
        }
        return false;
    }

    PracticeTotals& totals = m_history.totals();
    changed(kRepaint);
    m_sentence.accept();
    if (!m_sentence.atEnd()) {
        m_sentence.skipFiller();
    }
    if (!m_sentence.atEnd()) {
        const std::u16string completed = m_sentence.currentWord();
        if (m_sentence.findCurrentWord()) {
            PracticeTotals::add(totals.typingWordCount, 1);
            ++current.wordCount;
            m_consecutiveMisses = 0;
            if (m_options.mode == PracticeMode::Writing) {
                m_speaker.speakWord(completed);
            }
        }
        return true;
    }
    PracticeTotals::add(totals.typingWordCount, 1);  // the last word
    ++current.wordCount;
    if (!m_list.wordMode()) {
        PracticeTotals::add(totals.typingSentenceCount, 1);
    }
    finishSentence();
    return true;
}

void PracticeSession::finishSentence() {
    ChangeScope scope(*this);
    SentenceStats& current = stats();
    current.elapsed = m_clock->now() - current.startTime;
    PracticeTotals& totals = m_history.totals();
    PracticeTotals::add(totals.totalTime, current.elapsed);
    PracticeTotals::add(totals.missTypingCount, current.missCount);
    PracticeTotals::add(totals.typingCount, current.typingCount);

    const int index = currentIndex();
    m_score = computeScore(current);
    if (m_score > m_storedScore && storesScore(m_options.mode)) {
        m_list.setScore(index, formatScore(m_score), writingSide());
    }
    m_list.incrementTrial(index);
    m_unsaved = true;
    setState(PracticeState::Answer);
    listen();
}

// ---- The view

const PracticeView& PracticeSession::view() {
    if (m_viewStale) {
        rebuildView();
        m_viewStale = false;
    }
    return m_view;
}

void PracticeSession::rebuildView() {
    PracticeView& v = m_view;
    v.state = m_state;
    v.mode = m_options.mode;
    v.checked = m_checked;
    v.sentenceVisibility = m_sentenceVisibility;
    v.description = m_list.getDescription();
    v.totals.clear();
    if (m_state == PracticeState::NoFile) {
        v.totals = m_history.summaryLines();
    }

    const bool asking = m_state == PracticeState::Typing || m_state == PracticeState::Answer;
    const bool answer = m_state == PracticeState::Answer;
    v.questionNumber =
        format("No.%02d/%02d", m_position + 1, static_cast<int>(m_questionOrder.size()));
    v.sentenceId = format("%03d", currentIndex());
    v.storedScore = format("%0.1f", m_storedScore);
    v.sentenceLines = splitLines(m_sentence.displayText());
    v.sentenceLineCount = static_cast<int>(m_sentence.lineCount());
    v.cursorLine = -1;
    v.cursorColumn = 0;
    if (m_state == PracticeState::Typing && !m_sentence.atEnd()) {
        v.cursorLine = 0;
        const std::u16string& target = m_sentence.targetText();
        for (uint32_t i = 0; i < m_sentence.cursor(); ++i) {
            if (target[i] == u'\n') {
                ++v.cursorLine;
                v.cursorColumn = 0;
            } else if (target[i] != u'\r') {
                ++v.cursorColumn;
            }
        }
    }
    v.hint = asking && m_consecutiveMisses >= kHintMisses ? m_sentence.currentWord() : u"";
    v.translationLines.clear();
    v.translationLineCount = 0;
    if (!m_translation.empty()) {
        v.translationLines = splitLines(m_wrappedTranslation);
        v.translationLineCount = static_cast<int>(v.translationLines.size()) - 1;
    }
    v.showTranslation = asking && !m_translation.empty() && (answer || m_sentenceVisibility);
    v.scoreLabel = answer ? scoreLabel(m_score, m_storedScore) : u"";
    v.prompt = answer ? m_prompt : u"";
    v.explanation = m_explanation;
    v.showExplanation = answer && !m_explanation.empty();
}

}  // namespace pw
