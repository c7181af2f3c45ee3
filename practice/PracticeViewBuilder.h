// Builds what the practice view shows from the run, the open file and the
// totals, and keeps what the view is measured with: the fonts and the pane's
// size. The view is built again only after something changed.
#pragma once

#include <cstdint>

#include "content/SentenceListModel.h"
#include "practice/HistoryManager.h"
#include "practice/PracticeChanges.h"
#include "practice/PracticeView.h"
#include "practice/TextMeasurer.h"
#include "practice/WordOrderBoard.h"

namespace pw {

class PracticeRun;

class PracticeViewBuilder {
public:
    explicit PracticeViewBuilder(const PracticeChanges& changes) : m_changes(changes) {}

    // The fonts the sentence and the translation are measured with; they stay
    // the caller's. Until set, a fixed width stands in for them.
    void setFonts(const TextMeasurer& sentenceFont, const TextMeasurer& boldFont);
    const TextMeasurer& sentenceFont() const;
    const TextMeasurer& boldFont() const;
    // The practice pane's client size; the next question wraps to it.
    void setPaneSize(int width, int height);
    // The width a question's text in font wraps to at the current pane size.
    int wrapWidth(const TextMeasurer& font) const;

    const PracticeView& view(const PracticeRun& run, const SentenceListModel& list,
                             const HistoryManager& history);
    // Where the drawn view puts view's word board.
    WordBoardLayout wordBoardLayout(const PracticeView& view) const;

private:
    void build(const PracticeRun& run, const SentenceListModel& list,
               const HistoryManager& history);

    const PracticeChanges& m_changes;
    FixedWidthMeasurer m_fallbackFont{8, 16};
    const TextMeasurer* m_sentenceFont = nullptr;
    const TextMeasurer* m_boldFont = nullptr;
    int m_paneWidth = 700;
    int m_paneHeight = 500;

    PracticeView m_view;
    bool m_built = false;
    uint64_t m_builtAt = 0;  // the changes' revision m_view shows
};

}  // namespace pw
