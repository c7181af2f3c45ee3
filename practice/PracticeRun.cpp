// The run of questions.
#include "practice/PracticeRun.h"

#include <algorithm>

#include "core/Random.h"
#include "core/UiServices.h"
#include "practice/CharacterClasses.h"
#include "practice/PracticeView.h"
#include "practice/PracticeViewBuilder.h"
#include "practice/QuestionOrder.h"
#include "practice/Scoring.h"
#include "practice/WordWrap.h"
#include "xml/HtmlText.h"

namespace pw {
namespace {

constexpr const char16_t* kModeUnavailableText =
    u"This practice mode is not known to this version of Phrasewright.";

}  // namespace

PracticeRun::PracticeRun(IPracticeSpeaker& speaker, Clock& clock, KeySound& keySound,
                         SentenceListModel& list, PracticeResults& results,
                         const PracticeViewBuilder& layout, PracticeChanges& changes)
    : m_speaker(speaker),
      m_clock(clock),
      m_keySound(keySound),
      m_list(list),
      m_results(results),
      m_layout(layout),
      m_changes(changes),
      m_flashCards(speaker, clock, changes) {
    m_flashCards.setListener(this);
    m_board.setListener(this);
}

// ---- Options and commands

void PracticeRun::setOptions(const PracticeOptions& options) {
    PracticeChanges::Scope scope(m_changes);
    m_options = options;
    m_options.pointLimit = std::clamp(m_options.pointLimit, PracticeOptions::kMinPointLimit,
                                      PracticeOptions::kMaxPointLimit);
    changed(kRepaint);
}

bool PracticeRun::isModeAvailable(PracticeMode mode) {
    const int index = static_cast<int>(mode);
    return index >= 0 && index < kPracticeModeCount;
}

bool PracticeRun::startRun(RunKind kind, const std::vector<int>& selectedRows) {
    PracticeChanges::Scope scope(m_changes);
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
    if (m_options.mode == PracticeMode::FlashWriting) {
        startFlashCards();
        return true;
    }
    setState(PracticeState::Typing);
    changed(kTakeFocus);
    m_position = -1;
    m_statistics.assign(static_cast<size_t>(m_list.recordCount()),
                        SentenceStats::startingAt(m_clock.now()));
    nextQuestion();
    changed(kStartBlinkTimer);
    return true;
}

void PracticeRun::setChecked(bool on) {
    PracticeChanges::Scope scope(m_changes);
    changed(kTakeFocus);
    if (m_state != PracticeState::Typing && m_state != PracticeState::Answer) {
        return;
    }
    m_checked = on;
    m_list.setCheck(currentIndex(), checkBitOf(m_options.mode), on);
    m_results.markUnsaved();
    changed(kCheckChanged | kRepaint);
}

void PracticeRun::setSentenceVisibility(bool visible) {
    PracticeChanges::Scope scope(m_changes);
    m_sentenceVisibility = visible;
    changed(kRepaint | kTakeFocus);
}

// ---- Events

bool PracticeRun::onKeyDown(const PracticeKeyEvent& key) {
    PracticeChanges::Scope scope(m_changes);
    m_controlDown = key.control || key.key == PracticeKey::Control;
    if (key.key == PracticeKey::Left || key.key == PracticeKey::Right) {
        m_arrowDown = true;
    }
    if (m_state == PracticeState::FlashCards) {
        return m_flashCards.onKeyDown(key);
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

bool PracticeRun::onKeyUp(const PracticeKeyEvent& key) {
    PracticeChanges::Scope scope(m_changes);
    if (key.key == PracticeKey::Control) {
        m_controlDown = false;
        return false;
    }
    if (key.key != PracticeKey::Left && key.key != PracticeKey::Right) {
        return false;
    }
    m_arrowDown = false;
    if (m_state == PracticeState::FlashCards) {
        return m_flashCards.onKeyUp(key);
    }
    if (m_state != PracticeState::Typing || !key.control) {
        return false;
    }
    restartQuestion();
    return true;
}

bool PracticeRun::onChar(char32_t ch) {
    PracticeChanges::Scope scope(m_changes);
    const bool asking = m_state == PracticeState::Typing || m_state == PracticeState::Answer;
    if (ch == U'/') {
        if (asking) {
            m_speaker.togglePause();
        }
        return asking;
    }
    if (m_state != PracticeState::Typing) {
        return false;
    }
    if (m_options.mode == PracticeMode::OrderWriting) {
        // The digits choose from the board; nothing else is typed.
        if (ch < U'1' || ch > U'9') {
            return false;
        }
        chooseSlot(static_cast<int>(ch - U'1'));
        return true;
    }
    if (typeChar(ch > 0xFFFF ? char16_t(0xFFFD) : static_cast<char16_t>(ch))) {
        m_keySound.play();
    }
    return true;
}

void PracticeRun::onFocusLost() {
    m_controlDown = false;
    m_arrowDown = false;
}

bool PracticeRun::onBlinkTimer() {
    PracticeChanges::Scope scope(m_changes);
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

// ---- The steps of a run

void PracticeRun::resetRun() {
    if (m_flashCards.isPlaying()) {
        m_flashCards.stop();
    }
    m_storedScore = 0;
    m_consecutiveMisses = 0;
    m_position = 0;
    m_questionOrder.clear();
    m_statistics.clear();
}

int PracticeRun::currentIndex() const {
    if (m_position < 0 || m_position >= static_cast<int>(m_questionOrder.size())) {
        return 0;
    }
    return static_cast<int>(m_questionOrder[m_position]);
}

SentenceStats& PracticeRun::stats() {
    const size_t i = static_cast<size_t>(currentIndex());
    return i < m_statistics.size() ? m_statistics[i] : m_spareStats;
}

const SentenceStats& PracticeRun::currentStats() const {
    return const_cast<PracticeRun*>(this)->stats();
}

void PracticeRun::nextQuestion() {
    PracticeChanges::Scope scope(m_changes);
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
    if (m_options.mode == PracticeMode::FlashWriting) {
        setState(PracticeState::FlashCards);  // the player speaks the card itself
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

void PracticeRun::goBack() {
    --m_position;
    if (m_position >= 0) {
        --m_position;
    }
    nextQuestion();
}

void PracticeRun::restartQuestion() {
    if (m_position >= 0) {
        --m_position;
    }
    nextQuestion();
}

bool PracticeRun::startQuestion() {
    PracticeChanges::Scope scope(m_changes);
    changed(kRepaint | kCheckChanged | kExplanationChanged | kQuestionStarted);
    m_sentence.clear();
    m_prompt.clear();
    m_consecutiveMisses = 0;
    m_score = 0;

    const int index = currentIndex();
    const bool writing = writingSide();
    m_checked = (m_list.check(index) >> checkBitOf(m_options.mode) & 1) != 0;
    m_storedScore = m_list.getScore(index, writing);
    const TextMeasurer& sentenceFont = m_layout.sentenceFont();
    const TextMeasurer& boldFont = m_layout.boldFont();
    m_translation = htmlToText(m_list.text(index, TextKind::Translation));
    m_wrappedTranslation = wrapText(m_translation, m_layout.wrapWidth(boldFont), boldFont);
    m_explanation = htmlToText(m_list.text(index, TextKind::Explanation));

    // Timed from here, so that a sentence with nothing to type takes no time.
    stats() = SentenceStats::startingAt(m_clock.now());
    m_sentence.setSentence(htmlToText(m_list.text(index, TextKind::Sentence)), sentenceFont,
                           m_layout.wrapWidth(sentenceFont), m_options.mode != PracticeMode::Free);
    m_sentence.skipFiller();
    m_board.reset();
    if (m_options.mode == PracticeMode::OrderWriting) {
        m_board.setUp(m_sentence.sourceText());
        changed(kChoicesChanged);
        // With no word to choose (only spaces are left), nothing could ever
        // complete the sentence: it is answered at once, as one with nothing
        // to type is.
        while (m_board.words().empty() && !m_sentence.atEnd()) {
            m_sentence.accept();
        }
    }
    if (m_sentence.atEnd()) {
        finishSentence();
    } else {
        m_sentence.findCurrentWord();
    }
    return true;
}

void PracticeRun::listen() {
    listenTo(currentIndex(), m_sentence.sourceText());
}

bool PracticeRun::listenTo(int row, const std::u16string& text) {
    std::string path;
    int start = 0;
    int end = -1;
    if (!m_list.wordMode() && m_list.audioSource(row, path, start, end) &&
        m_speaker.playRecording(path, start, end)) {
        return true;
    }
    m_speaker.speakSentence(text);
    return false;
}

void PracticeRun::speakQuestion() {
    if (writingSide()) {
        m_speaker.speakTranslation(m_translation);
    } else {
        listen();
    }
}

void PracticeRun::giveUp() {
    setState(PracticeState::Answer);
    listen();
}

void PracticeRun::setState(PracticeState state) {
    PracticeChanges::Scope scope(m_changes);
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
            break;
        case PracticeState::NoFile:
            resetRun();
            m_sentence.clear();
            break;
        case PracticeState::Answer:
            m_sentence.revealAll();
            m_board.reset();
            break;
        default:
            break;
    }
    m_state = state;
}

// ---- Typing

bool PracticeRun::typeChar(char16_t ch) {
    using namespace typing;
    PracticeChanges::Scope scope(m_changes);
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
            m_results.markUnsaved();
            m_speaker.speakWord(m_sentence.currentWord());
            changed(kCheckChanged | kRepaint);  // the hint shows from now on
        }
        return false;
    }

    PracticeTotals& totals = m_results.history().totals();
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

void PracticeRun::finishSentence() {
    PracticeChanges::Scope scope(m_changes);
    SentenceStats& current = stats();
    current.elapsed = m_clock.now() - current.startTime;
    PracticeTotals& totals = m_results.history().totals();
    PracticeTotals::add(totals.totalTime, current.elapsed);
    PracticeTotals::add(totals.missTypingCount, current.missCount);
    PracticeTotals::add(totals.typingCount, current.typingCount);

    const int index = currentIndex();
    m_score = computeScore(current);
    if (m_score > m_storedScore && storesScore(m_options.mode)) {
        m_list.setScore(index, formatScore(m_score), writingSide());
    }
    m_list.incrementTrial(index);
    m_results.markUnsaved();
    setState(PracticeState::Answer);
    listen();
}

// ---- Flash cards

void PracticeRun::startFlashCards() {
    m_flashCards.clearCards();
    for (uint32_t row : m_questionOrder) {
        const int i = static_cast<int>(row);
        m_flashCards.addCard(row, m_list.text(i, TextKind::Sentence),
                             m_list.text(i, TextKind::Translation));
    }
    setState(PracticeState::FlashCards);
    changed(kTakeFocus);
    m_position = 0;
    m_flashCards.start();
    changed(kStartBlinkTimer);
}

void PracticeRun::quit() {
    setState(PracticeState::Ready);
}

bool PracticeRun::playCard(int card) {
    const std::vector<FlashCard>& cards = m_flashCards.cards();
    if (card < 0 || static_cast<size_t>(card) >= cards.size()) {
        return false;
    }
    const FlashCard& shown = cards[static_cast<size_t>(card)];
    if (m_flashCards.side() == FlashCardPlayer::kTranslationSide) {
        m_speaker.speakTranslation(htmlToText(shown.second));
        return false;
    }
    return listenTo(static_cast<int>(shown.sentenceIndex), htmlToText(shown.first));
}

// ---- Word ordering

bool PracticeRun::chooseSlot(int slot) {
    PracticeChanges::Scope scope(m_changes);
    if (m_state != PracticeState::Typing || m_options.mode != PracticeMode::OrderWriting) {
        return false;
    }
    return m_board.chooseSlot(slot);
}

void PracticeRun::skipToWordStart() {
    while (!m_sentence.atEnd() && !typing::isWordStartChar(m_sentence.expected())) {
        m_sentence.accept();
    }
}

bool PracticeRun::onWordChosen(const std::u16string& word) {
    PracticeChanges::Scope scope(m_changes);
    if (m_state != PracticeState::Typing) {
        return false;
    }
    if (word != m_sentence.currentWord()) {
        ++m_consecutiveMisses;
        if (m_consecutiveMisses == kOrderingMisses) {
            m_checked = true;
            m_list.setCheck(currentIndex(), checkBitOf(m_options.mode), true);
            m_results.markUnsaved();
            changed(kCheckChanged | kRepaint);
        }
        if (m_beep) {
            m_beep();
        }
        return false;
    }

    changed(kRepaint | kChoicesChanged);
    // The word as the sentence has it, then the filler and spaces after it.
    skipToWordStart();
    const TypingSentencePane::WordRange range =
        TypingSentencePane::findWordAt(m_sentence.targetText(), m_sentence.cursor());
    while (!m_sentence.atEnd() && m_sentence.cursor() < range.end) {
        m_sentence.accept();
    }
    skipToWordStart();
    m_sentence.findCurrentWord();
    m_consecutiveMisses = 0;
    PracticeTotals& totals = m_results.history().totals();
    PracticeTotals::add(totals.typingWordCount, 1);
    if (!m_sentence.atEnd()) {
        m_keySound.play();
        m_speaker.speakWord(word);
        return true;
    }
    if (!m_list.wordMode()) {
        PracticeTotals::add(totals.typingSentenceCount, 1);
    }
    finishSentence();
    return true;
}

}  // namespace pw
