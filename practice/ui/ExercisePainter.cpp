// Painting the drawn practice view.
#include "practice/ui/ExercisePainter.h"

#include <wx/brush.h>
#include <wx/pen.h>

#include "gui/WxText.h"

namespace pw {

wxColour toWxColour(ColorValue color) {
    return wxColour(colorRed(color), colorGreen(color), colorBlue(color));
}

void ExercisePainter::text(wxDC& dc, const std::u16string& value, Point at, int colourIndex) const {
    if (value.empty()) {
        return;
    }
    dc.SetTextForeground(colour(colourIndex));
    dc.DrawText(toWx(value), at.x, at.y);
}

void ExercisePainter::frame(wxDC& dc, const Rect& rect) const {
    if (!m_frames) {
        return;
    }
    dc.SetPen(wxPen(colour(kPatternColor1), 1));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRoundedRectangle(rect.x, rect.y, rect.width, rect.height, view_metrics::kFrameCorner);
}

void ExercisePainter::paintExercise(wxDC& dc, const PracticeView& view,
                                    const ExerciseLayout& layout, bool focused) const {
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    frame(dc, layout.box);
    frame(dc, layout.checkBoxFrame);
    if (view.showExplanation) {
        frame(dc, layout.resultWindow);
    }

    paintHeader(dc, view, layout);
    text(dc, view_texts::kKeyReminder, layout.keyReminder, kPatternColor1);
    for (size_t i = 0; i < layout.translationLines.size() && i < view.translationLines.size();
         ++i) {
        text(dc, view.translationLines[i], layout.translationLines[i], kTranslationTextColor);
    }
    if (view.state == PracticeState::Answer) {
        text(dc, view.scoreLabel, layout.scoreLabel, kTextColor);
        text(dc, view.prompt, layout.prompt, kSelectionColor);
    }

    dc.SetFont(m_sentenceFont);
    for (size_t i = 0; i < layout.sentenceLines.size() && i < view.sentenceLines.size(); ++i) {
        text(dc, view.sentenceLines[i], layout.sentenceLines[i], kTextColor);
    }
    if (layout.hasCursor && focused) {
        text(dc, u"_", layout.cursor, kSelectionColor);
    }
}

void ExercisePainter::paintHeader(wxDC& dc, const PracticeView& view,
                                  const ExerciseLayout& layout) const {
    dc.SetFont(m_boldFont);
    text(dc, view.questionNumber, layout.questionNumber, kHintTextColor);
    text(dc, view_texts::kIdLabel, layout.idLabel, kHintTextColor);
    text(dc, view_texts::kPointLabel, layout.pointLabel, kHintTextColor);
    text(dc, view.sentenceId, layout.idValue, kHintTextColor);
    text(dc, view.storedScore, layout.pointValue, kHintTextColor);
    text(dc, view.hint, layout.hint, kHintTextColor);
}

void ExercisePainter::paintPageFrame(wxDC& dc, const PracticeView& view,
                                     const ExerciseLayout& layout, Point reminder) const {
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    frame(dc, layout.checkBoxFrame);
    paintHeader(dc, view, layout);
    text(dc, view_texts::kKeyReminder, reminder, kPatternColor1);
}

void ExercisePainter::paintStartScreen(wxDC& dc, const PracticeView& view,
                                       const StartScreenLayout& layout,
                                       const wxBitmap& icon) const {
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetFont(m_boldFont);
    frame(dc, layout.titleFrame);
    text(dc, view_texts::kStartTitle, layout.title, kTextColor);
    if (icon.IsOk()) {
        dc.DrawBitmap(icon, layout.icon.x, layout.icon.y, true);
    }
    for (size_t i = 0; i < view.totals.size() && i < layout.totalLabels.size(); ++i) {
        text(dc, view.totals[i].first, layout.totalLabels[i], kPatternColor1);
        text(dc, view.totals[i].second, layout.totalValues[i], kTextColor);
    }
}

void ExercisePainter::paintWordBoard(wxDC& dc, const PracticeView& view,
                                     const WordBoardLayout& layout) const {
    // The underline's own colour, whatever the theme.
    static const wxColour kUnderline(150, 150, 230);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    frame(dc, layout.frame);
    dc.SetFont(m_boldFont);
    for (size_t i = 0; i < layout.slots.size() && i < view.choices.size(); ++i) {
        const WordBoardLayout::Slot& slot = layout.slots[i];
        text(dc, slot.number, slot.numberAt, kSelectionColor);
        text(dc, view.choices[i], slot.wordAt, kSelectionColor);
        if (static_cast<int>(i) == view.choiceHover) {
            dc.SetPen(wxPen(kUnderline, 2));
            const int y = slot.word.y + slot.word.height - 1;
            dc.DrawLine(slot.word.x, y, slot.word.x + slot.word.width, y);
        }
    }
}

}  // namespace pw
