// Draws the practice view from what the session shows and where the layout
// puts it: the exercise of the Typing and Answer states, and the start screen.
#pragma once

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/font.h>

#include "practice/PracticeView.h"
#include "practice/StyleLister.h"
#include "practice/WordOrderBoard.h"

namespace pw {

wxColour toWxColour(ColorValue color);

class ExercisePainter {
public:
    // colours and the fonts stay the caller's; frames: the theme's rounded frames.
    ExercisePainter(const StyleLister& colours, bool frames, const wxFont& sentenceFont,
                    const wxFont& boldFont)
        : m_colours(colours),
          m_frames(frames),
          m_sentenceFont(sentenceFont),
          m_boldFont(boldFont) {}

    // focused: the pane has the keyboard focus, which shows the cursor.
    void paintExercise(wxDC& dc, const PracticeView& view, const ExerciseLayout& layout,
                       bool focused) const;
    // The page form: the page shows the sentence; the pane keeps the header,
    // the hint, the "&Check" box's frame and the key reminder at reminder.
    void paintPageFrame(wxDC& dc, const PracticeView& view, const ExerciseLayout& layout,
                        Point reminder) const;
    void paintStartScreen(wxDC& dc, const PracticeView& view, const StartScreenLayout& layout,
                          const wxBitmap& icon) const;
    // The word board of OrderWriting, in the bold font: "1. " and the word
    // of each slot, the word under the mouse underlined.
    void paintWordBoard(wxDC& dc, const PracticeView& view, const WordBoardLayout& layout) const;

private:
    wxColour colour(int index) const { return toWxColour(m_colours.getColor(index)); }
    void text(wxDC& dc, const std::u16string& text, Point at, int colourIndex) const;
    void frame(wxDC& dc, const Rect& rect) const;
    // The status header and the hint, in the bold font.
    void paintHeader(wxDC& dc, const PracticeView& view, const ExerciseLayout& layout) const;

    const StyleLister& m_colours;
    bool m_frames;
    const wxFont& m_sentenceFont;
    const wxFont& m_boldFont;
};

}  // namespace pw
