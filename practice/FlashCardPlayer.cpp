// The flash cards of the FlashWriting mode.
#include "practice/FlashCardPlayer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "core/Utf.h"
#include "practice/PracticeRun.h"
#include "practice/WordWrap.h"
#include "xml/HtmlText.h"

namespace pw {

uint32_t FlashCardPlayer::pauseFor(uint32_t spokenMs, int percent) {
    const uint64_t share =
        static_cast<uint64_t>(std::clamp(percent, kMinPausePercent, kMaxPausePercent)) *
        (spokenMs / 100);
    return static_cast<uint32_t>(std::min<uint64_t>(share, kMaxPauseMs));
}

FlashCardPlayer::FlashCardPlayer(IPracticeSpeaker& speaker, Clock& clock, PracticeChanges& changes)
    : m_speaker(speaker), m_clock(clock), m_changes(changes) {}

// ---- The cards and options

void FlashCardPlayer::clearCards() {
    PracticeChanges::Scope scope(m_changes);
    m_cards.clear();
    m_index = 0;
    changed(kFlashCardsChanged);
}

void FlashCardPlayer::addCard(uint32_t sentenceIndex, std::u16string sentence,
                              std::u16string translation) {
    PracticeChanges::Scope scope(m_changes);
    FlashCard card;
    card.first = std::move(sentence);
    card.second = std::move(translation);
    card.sentenceIndex = sentenceIndex;
    m_cards.push_back(std::move(card));
    changed(kFlashCardsChanged);
}

void FlashCardPlayer::setAlwaysVisible(bool on) {
    PracticeChanges::Scope scope(m_changes);
    m_alwaysVisible = on;
    if (on && m_index >= 0 && static_cast<size_t>(m_index) < m_cards.size()) {
        m_cards[static_cast<size_t>(m_index)].showFirst = true;
        m_cards[static_cast<size_t>(m_index)].showSecond = true;
    }
    changed(kFlashCardsChanged);
}

void FlashCardPlayer::setPausePercent(int percent) {
    m_pausePercent = std::clamp(percent, kMinPausePercent, kMaxPausePercent);
}

// ---- Play, Stop and Quit

void FlashCardPlayer::start() {
    PracticeChanges::Scope scope(m_changes);
    m_state = kSpeakFirstSide;
    m_side = startingSide();
    m_playing = true;
    changed(kFlashCardsChanged);
    tick();
}

void FlashCardPlayer::stop() {
    PracticeChanges::Scope scope(m_changes);
    m_state = kStopped;
    m_speaker.stop();
    m_playing = false;
    changed(kFlashCardsChanged);
}

void FlashCardPlayer::quit() {
    PracticeChanges::Scope scope(m_changes);
    stop();
    // The speaker has a moment to fall silent before the pane goes.
    std::this_thread::sleep_for(std::chrono::milliseconds(kQuitDelayMs));
    if (m_listener) {
        m_listener->quit();
    }
}

// ---- The tick

bool FlashCardPlayer::speakerBusy() const {
    return m_speaker.isSpeaking() || m_speaker.isPlayingRecording();
}

void FlashCardPlayer::tick() {
    PracticeChanges::Scope scope(m_changes);
    if (m_state == kWaitFirstSide || m_state == kWaitSecondSide) {
        if (speakerBusy()) {
            return;
        }
        endOfSpeech();
    }
    if (m_state == kPauseFirstSide || m_state == kPauseSecondSide) {
        if (msUntilPauseEnds() > 0) {
            return;
        }
        // The other side follows the pause at once rather than a tick later.
        m_side = 1 - m_side;
        if (m_state == kPauseFirstSide) {
            m_state = kSpeakSecondSide;
        } else {
            m_state = kSpeakFirstSide;
            advance();
        }
    }
    if (m_state == kSpeakFirstSide || m_state == kSpeakSecondSide) {
        speakSide();
    }
}

void FlashCardPlayer::speakSide() {
    m_speaker.stop();
    const bool bothSides = m_alwaysVisible || m_state == kSpeakSecondSide;
    if (m_index >= 0 && static_cast<size_t>(m_index) < m_cards.size()) {
        FlashCard& card = m_cards[static_cast<size_t>(m_index)];
        card.showFirst = bothSides || m_side == kSentenceSide;
        card.showSecond = bothSides || m_side == kTranslationSide;
    }
    if (m_listener) {
        m_listener->playCard(m_index);
    }
    m_speakStart = m_clock.now();
    m_state = m_state == kSpeakFirstSide ? kWaitFirstSide : kWaitSecondSide;
    changed(kFlashCardsChanged);
}

void FlashCardPlayer::endOfSpeech() {
    m_speakEnd = m_clock.now();
    m_state = m_state == kWaitFirstSide ? kPauseFirstSide : kPauseSecondSide;
    changed(kFlashCardsChanged);
}

void FlashCardPlayer::speechEnded() {
    if (m_state == kWaitFirstSide || m_state == kWaitSecondSide) {
        tick();
    }
}

int FlashCardPlayer::msUntilPauseEnds() {
    if (m_state != kPauseFirstSide && m_state != kPauseSecondSide) {
        return -1;
    }
    const uint32_t pause = pauseFor(m_speakEnd - m_speakStart, m_pausePercent);
    const uint32_t paused = m_clock.now() - m_speakEnd;
    return paused >= pause ? 0 : static_cast<int>(pause - paused);
}

void FlashCardPlayer::advance() {
    PracticeChanges::Scope scope(m_changes);
    // The index may stand before the first card after Ctrl+Left.
    if (m_index >= 0 && static_cast<size_t>(m_index) < m_cards.size()) {
        m_cards[static_cast<size_t>(m_index)].showFirst = false;
        m_cards[static_cast<size_t>(m_index)].showSecond = false;
    }
    if (m_listener) {
        m_listener->setPosition(m_index);
    }
    ++m_index;
    m_side = startingSide();
    changed(kFlashCardsChanged);
    if (static_cast<size_t>(m_index) < m_cards.size()) {
        if (m_listener) {
            m_listener->next();
        }
    } else {
        m_index = 0;  // the run starts over
        if (m_listener) {
            m_listener->setPosition(0);
        }
    }
}

// ---- Keys

bool FlashCardPlayer::onKeyDown(const PracticeKeyEvent& key) {
    PracticeChanges::Scope scope(m_changes);
    switch (key.key) {
        case PracticeKey::Left:
            if (!key.control) {
                return false;
            }
            --m_index;
            if (m_index >= 0) {
                --m_index;
            }
            advance();
            break;
        case PracticeKey::Right:
            if (!key.control) {
                return false;
            }
            if (static_cast<size_t>(m_index) + 1 >= m_cards.size()) {
                return true;
            }
            advance();
            break;
        case PracticeKey::Escape:
            quit();
            return true;
        default:
            return false;
    }
    if (m_playing) {
        m_state = kNavigating;  // silent until the arrow is let go
    }
    return true;
}

bool FlashCardPlayer::onKeyUp(const PracticeKeyEvent& key) {
    if ((key.key != PracticeKey::Left && key.key != PracticeKey::Right) || m_state != kNavigating) {
        return false;
    }
    PracticeChanges::Scope scope(m_changes);
    if (m_index >= 0) {
        --m_index;
    }
    advance();
    stop();
    start();
    return true;
}

// ---- What is shown

const FlashCard* FlashCardPlayer::currentCard() const {
    if (m_index < 0 || static_cast<size_t>(m_index) >= m_cards.size()) {
        return nullptr;
    }
    return &m_cards[static_cast<size_t>(m_index)];
}

bool FlashCardPlayer::showsFirst() const {
    const FlashCard* card = currentCard();
    return card && (!m_playing || m_state == kNavigating || card->showFirst);
}

bool FlashCardPlayer::showsSecond() const {
    const FlashCard* card = currentCard();
    return card && (!m_playing || m_state == kNavigating || card->showSecond);
}

std::u16string FlashCardPlayer::counterText() const {
    char text[32];
    std::snprintf(text, sizeof text, "%03d/%03d", m_index + 1, static_cast<int>(m_cards.size()));
    return fromUtf8(text);
}

FlashCardLayout layoutFlashCard(const FlashCardPlayer& player, const TextMeasurer& font, Size pane,
                                Point counterAt) {
    using L = FlashCardLayout;
    FlashCardLayout layout;
    layout.area = {L::kLeft, L::kTop, std::max(pane.width - L::kWidthLess, 1),
                   std::max(pane.height - L::kTop, 0)};
    layout.counter = player.counterText();
    layout.counterAt = counterAt;
    const FlashCard* card = player.currentCard();
    if (!card) {
        return layout;
    }
    const int spacing = std::max(L::kLineSpacing, font.lineHeight());
    const auto place = [&](const std::u16string& stored, int top,
                           std::vector<std::u16string>& lines, std::vector<Point>& at) {
        lines = splitLines(wrapText(htmlToText(stored), layout.area.width, font));
        for (size_t i = 0; i < lines.size(); ++i) {
            const int width = font.textWidth(lines[i]);
            at.push_back({layout.area.x + (layout.area.width - width) / 2,
                          top + static_cast<int>(i) * spacing});
        }
        return top + static_cast<int>(lines.size()) * spacing;
    };
    // The translation keeps its place while the sentence is hidden.
    std::vector<std::u16string> sentence;
    std::vector<Point> sentenceAt;
    const int below = place(card->first, layout.area.y, sentence, sentenceAt);
    if (player.showsFirst()) {
        layout.sentenceLines = std::move(sentence);
        layout.sentenceAt = std::move(sentenceAt);
    }
    if (player.showsSecond()) {
        place(card->second, below + L::kTranslationGap, layout.translationLines,
              layout.translationAt);
    }
    return layout;
}

}  // namespace pw
