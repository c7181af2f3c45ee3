// The practice view's state, built from the run.
#include "practice/PracticeViewBuilder.h"

#include <algorithm>
#include <cstdio>

#include "core/Utf.h"
#include "practice/PracticeRun.h"
#include "practice/Scoring.h"
#include "practice/WordWrap.h"

namespace pw {
namespace {

template <typename... Args>
std::u16string format(const char* pattern, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, args...);
    return fromUtf8(text);
}

}  // namespace

void PracticeViewBuilder::setFonts(const TextMeasurer& sentenceFont, const TextMeasurer& boldFont) {
    m_sentenceFont = &sentenceFont;
    m_boldFont = &boldFont;
    m_built = false;
}

const TextMeasurer& PracticeViewBuilder::sentenceFont() const {
    return m_sentenceFont ? *m_sentenceFont : m_fallbackFont;
}

const TextMeasurer& PracticeViewBuilder::boldFont() const {
    return m_boldFont ? *m_boldFont : m_fallbackFont;
}

void PracticeViewBuilder::setPaneSize(int width, int height) {
    m_paneWidth = width;
    m_paneHeight = height;
}

int PracticeViewBuilder::wrapWidth(const TextMeasurer& font) const {
    return wrapWidthFor(sentenceAreaWidth(m_paneWidth), font);
}

WordBoardLayout PracticeViewBuilder::wordBoardLayout(const PracticeView& view) const {
    const Size pane{m_paneWidth, m_paneHeight};
    const ExerciseLayout exercise = layoutExercise(view, sentenceFont(), boldFont(), pane, {}, {});
    // Below the sentence box, whose frame reaches further down than the text.
    const int bottom = std::max(exercise.contentBottom, exercise.box.y + exercise.box.height);
    return layoutWordBoard(view.choices, boldFont(), wordBoardOrigin(pane.width, bottom));
}

const PracticeView& PracticeViewBuilder::view(const PracticeRun& run, const SentenceListModel& list,
                                              const HistoryManager& history) {
    if (!m_built || m_builtAt != m_changes.revision()) {
        build(run, list, history);
        m_built = true;
        m_builtAt = m_changes.revision();
    }
    return m_view;
}

void PracticeViewBuilder::build(const PracticeRun& run, const SentenceListModel& list,
                                const HistoryManager& history) {
    PracticeView& v = m_view;
    const PracticeState state = run.state();
    const TypingSentencePane& sentence = run.sentence();
    v.state = state;
    v.mode = run.options().mode;
    v.checked = run.checked();
    v.sentenceVisibility = run.sentenceVisibility();
    v.description = list.getDescription();
    v.totals.clear();
    if (state == PracticeState::NoFile) {
        v.totals = history.summaryLines();
    }

    const bool asking = state == PracticeState::Typing || state == PracticeState::Answer;
    const bool answer = state == PracticeState::Answer;
    v.questionNumber =
        format("No.%02d/%02d", run.position() + 1, static_cast<int>(run.questionOrder().size()));
    v.sentenceId = format("%03d", run.currentIndex());
    v.storedScore = format("%0.1f", run.storedScore());
    v.sentenceLines = splitLines(sentence.displayText());
    v.sentenceLineCount = static_cast<int>(sentence.lineCount());
    v.cursorLine = -1;
    v.cursorColumn = 0;
    if (state == PracticeState::Typing && !sentence.atEnd()) {
        v.cursorLine = 0;
        const std::u16string& target = sentence.targetText();
        for (uint32_t i = 0; i < sentence.cursor(); ++i) {
            if (target[i] == u'\n') {
                ++v.cursorLine;
                v.cursorColumn = 0;
            } else if (target[i] != u'\r') {
                ++v.cursorColumn;
            }
        }
    }
    v.hint = asking && run.consecutiveMisses() >= PracticeRun::kHintMisses ? sentence.currentWord()
                                                                           : u"";
    const std::u16string& translation = run.translation();
    v.translationLines.clear();
    v.translationLineCount = 0;
    if (!translation.empty()) {
        v.translationLines = splitLines(run.wrappedTranslation());
        v.translationLineCount = static_cast<int>(v.translationLines.size()) - 1;
    }
    v.showTranslation = asking && !translation.empty() && (answer || run.sentenceVisibility());
    v.scoreLabel = answer ? scoreLabel(run.score(), run.storedScore()) : u"";
    v.prompt = answer ? run.prompt() : u"";
    v.explanation = run.explanation();
    v.showExplanation = answer && !run.explanation().empty();
    v.choices.clear();
    v.choiceHover = -1;
    if (state == PracticeState::Typing && v.mode == PracticeMode::OrderWriting) {
        v.choices = run.board().choiceTexts();
        v.choiceHover = slotAt(wordBoardLayout(v), run.cursorPosition());
    }
}

}  // namespace pw
