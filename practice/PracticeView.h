// What the practice view shows, as PracticeViewBuilder last built it, and where
// the drawn view puts each piece. The painter draws from these; it computes
// nothing of its own beyond the fonts' sizes.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "practice/PracticeMode.h"
#include "practice/TextMeasurer.h"

namespace pw {

namespace view_texts {
inline constexpr const char16_t* kKeyReminder =
    u"Quit(Esc)   Listen(Enter)   Prev(Ctrl+Left)  Next(Ctrl+Right)";
inline constexpr const char16_t* kPrompt = u"Press the Space key";
inline constexpr const char16_t* kStartTitle = u"Phrasewright - Korvant";
// The main window's title while no file is open.
inline constexpr const char16_t* kProgramTitle = u"Phrasewright";
inline constexpr const char16_t* kIdLabel = u"ID.";
inline constexpr const char16_t* kPointLabel = u"Pt.";
}  // namespace view_texts

struct PracticeView {
    PracticeState state = PracticeState::NoFile;
    PracticeMode mode = PracticeMode::Dictation;

    // ---- Typing and Answer
    std::u16string questionNumber;  // "No.%02d/%02d": position + 1, questions
    std::u16string sentenceId;      // "%03d": the sentence's row, from 0
    std::u16string storedScore;     // "%0.1f": the stored score of the mode's side
    // The display text (masked while typing, whole in Answer), one entry per
    // line; sentenceLineCount is its number of line feeds.
    std::vector<std::u16string> sentenceLines;
    int sentenceLineCount = 0;
    // Where the "_" goes while typing: line and column (UTF-16 units) of the
    // next character; cursorLine is -1 when there is none to draw.
    int cursorLine = -1;
    int cursorColumn = 0;
    // The current word, shown after five misses in a row; else empty.
    std::u16string hint;
    // The translation wrapped in the bold font; translationLineCount is its
    // number of line feeds. Shown when showTranslation.
    std::vector<std::u16string> translationLines;
    int translationLineCount = 0;
    bool showTranslation = false;
    // Answer only: the score label and the blinking prompt (empty while off).
    std::u16string scoreLabel;
    std::u16string prompt;
    // The explanation window's text, and whether the window shows.
    std::u16string explanation;
    bool showExplanation = false;
    // The "&Check" and "SentenceVisiblity" boxes.
    bool checked = false;
    bool sentenceVisibility = true;
    // OrderWriting while typing: the word board's slots (empty text for an
    // empty slot) and the slot whose word the mouse is over, or -1.
    std::vector<std::u16string> choices;
    int choiceHover = -1;

    // ---- Ready: the description editor's text when the file was opened.
    std::u16string description;

    // ---- NoFile: the practice totals, label and value per line.
    std::vector<std::pair<std::u16string, std::u16string>> totals;
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};
struct Size {
    int width = 0;
    int height = 0;
};
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
    // The rectangle grown by dx on the left and right and dy above and below.
    Rect inflated(int dx, int dy) const {
        return {x - dx, y - dy, width + 2 * dx, height + 2 * dy};
    }
};

// Sizes shared by the session (which wraps) and the view (which draws).
namespace view_metrics {
inline constexpr int kSentenceAreaMaxWidth = 640;
inline constexpr int kSentenceAreaMargin = 60;
inline constexpr int kSentenceAreaHeight = 120;
inline constexpr int kFrameCorner = 8;  // radius of the rounded frames
inline constexpr int kBoldFontHeight = 15;
inline constexpr int kBoldFontWeight = 700;
inline constexpr int kDescriptionFontSize = 12;
inline constexpr int kResultWindowFontSize = 16;
}  // namespace view_metrics

// The width of the sentence area, which the sentence and the translation
// wrap to: the pane's width less 60, at most 640.
int sentenceAreaWidth(int paneWidth);

// The drawn view of the Typing and Answer states. Text positions are the
// top-left corners of the texts. The sentence and cursor are in the sentence
// font, the rest (the hint too, so that it fits above the "&Check" box) in
// the bold font.
struct ExerciseLayout {
    // The box around sentence, translation and score; framed when the theme
    // says so (rounded, corner kFrameCorner).
    Rect box;
    // The "&Check" box, centred at y = 22, and its frame.
    Rect checkBox;
    Rect checkBoxFrame;
    // One origin per entry of sentenceLines, each line centred.
    std::vector<Point> sentenceLines;
    bool hasCursor = false;
    Point cursor;  // where "_" is drawn
    Point questionNumber;
    Point idLabel;
    Point pointLabel;
    Point idValue;
    Point pointValue;
    Point hint;
    // The "SentenceVisiblity" box, the key reminder below it and the
    // speaker's settings pane.
    Rect visibilityCheckBox;
    Point keyReminder;
    Point speakerPane;
    std::vector<Point> translationLines;  // empty when the translation is hidden
    Point scoreLabel;
    Point prompt;
    // Where the drawing has arrived below the sentence and the translation.
    int contentBottom = 0;
    // The explanation window, centred below the box and above the
    // "SentenceVisiblity" box.
    Rect resultWindow;
};

// paneWidth and paneHeight: the practice pane's client size; checkBox and
// visibilityCheckBox: the best sizes of those two check boxes.
ExerciseLayout layoutExercise(const PracticeView& view, const TextMeasurer& sentenceFont,
                              const TextMeasurer& boldFont, Size pane, Size checkBox,
                              Size visibilityCheckBox);

// The start screen of the NoFile state: the title in the bold font (framed
// when the theme says so), the program's icon below the centre, the totals at
// the top left.
struct StartScreenLayout {
    Point title;
    Rect titleFrame;
    Point icon;
    std::vector<Point> totalLabels;
    std::vector<Point> totalValues;
};

StartScreenLayout layoutStartScreen(const PracticeView& view, const TextMeasurer& boldFont,
                                    Size pane, Size icon);

}  // namespace pw
