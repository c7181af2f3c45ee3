// What the view shows in each state and where the drawn view puts it.
#include "practice/tests/PracticeTestSupport.h"

namespace pw {
namespace {

using test::SessionTest;

const FixedWidthMeasurer kSentenceFont(10, 20);
const FixedWidthMeasurer kBoldFont(8, 15);  // 16 for Japanese

PracticeView answeredView() {
    PracticeView view;
    view.state = PracticeState::Answer;
    view.sentenceLines = {u"Hello world", u"abc"};
    view.sentenceLineCount = 1;
    view.cursorLine = 1;
    view.cursorColumn = 2;
    view.translationLines = {u"こんにちは"};
    view.showTranslation = true;
    view.scoreLabel = u"Score: 0.0";
    return view;
}

TEST(ExerciseLayout, PlacesEveryPiece) {
    const PracticeView view = answeredView();
    const ExerciseLayout layout =
        layoutExercise(view, kSentenceFont, kBoldFont, {800, 600}, {60, 20}, {120, 20});
    // The box: at least 200 wide, two sentence lines and one translation line high.
    EXPECT_EQ(layout.box, (Rect{292, 56, 216, 2 * 20 + 15 + 58}));
    EXPECT_EQ(layout.checkBox, (Rect{370, 22, 60, 20}));
    EXPECT_EQ(layout.checkBoxFrame, (Rect{362, 18, 76, 28}));
    EXPECT_EQ(layout.sentenceLines, (std::vector<Point>{{345, 64}, {385, 84}}));
    ASSERT_TRUE(layout.hasCursor);
    EXPECT_EQ(layout.cursor, (Point{405, 84}));  // after "ab" of "abc"
    EXPECT_EQ(layout.questionNumber, (Point{8, 8}));
    EXPECT_EQ(layout.idLabel, (Point{720, 8}));
    EXPECT_EQ(layout.pointLabel, (Point{720, 23}));
    // "ID." is 24 pixels wide in this font: the values move clear of it.
    EXPECT_EQ(layout.idValue, (Point{748, 8}));
    EXPECT_EQ(layout.pointValue, (Point{748, 23}));
    EXPECT_EQ(layout.translationLines, (std::vector<Point>{{360, 104}}));
    EXPECT_EQ(layout.scoreLabel, (Point{360, 123}));
    EXPECT_EQ(layout.prompt, (Point{324, 147}));
    EXPECT_EQ(layout.visibilityCheckBox, (Rect{8, 536, 120, 20}));
    EXPECT_EQ(layout.keyReminder, (Point{8, 556}));
    EXPECT_EQ(layout.speakerPane, (Point{8, 576}));
    // Down to 8 pixels above the "SentenceVisiblity" box.
    EXPECT_EQ(layout.resultWindow, (Rect{80, 177, 640, 351}));

    // A wide translation widens the box; a hidden one moves the score up.
    PracticeView wide = answeredView();
    wide.translationLines = {std::u16string(30, u'あ')};
    wide.showTranslation = false;
    const ExerciseLayout other =
        layoutExercise(wide, kSentenceFont, kBoldFont, {300, 200}, {60, 20}, {120, 20});
    EXPECT_EQ(other.box.width, 480 + 16);
    EXPECT_TRUE(other.translationLines.empty());
    EXPECT_EQ(other.scoreLabel.y, 108);
    EXPECT_EQ(other.resultWindow, (Rect{0, 177, 300, 0}));  // no room left: no height
}

// Fonts of other heights: narrow labels keep their values at width - 60, and
// a tall bold font keeps the hint above the "&Check" box, the score and
// prompt inside the sentence box, the explanation below it, and the title's
// frame above the icon.
TEST(ExerciseLayout, FollowsTheFontsHeights) {
    const PracticeView view = answeredView();
    const FixedWidthMeasurer narrow(5, 15);
    const ExerciseLayout spec =
        layoutExercise(view, kSentenceFont, narrow, {800, 600}, {60, 20}, {120, 20});
    EXPECT_EQ(spec.idValue.x, 740);
    EXPECT_EQ(spec.box.height, 2 * 20 + 15 + 58);

    for (int height : {15, 23, 40}) {
        SCOPED_TRACE(height);
        const FixedWidthMeasurer bold(8, height);
        const ExerciseLayout layout =
            layoutExercise(view, kSentenceFont, bold, {800, 900}, {60, 20}, {120, 20});
        const int boxBottom = layout.box.y + layout.box.height;
        EXPECT_LE(layout.hint.y + height, layout.checkBoxFrame.y + 1);
        EXPECT_LE(layout.checkBoxFrame.y + layout.checkBoxFrame.height, layout.box.y);
        EXPECT_EQ(layout.sentenceLines[0].y - layout.box.y, 8);
        EXPECT_GE(layout.prompt.y, layout.scoreLabel.y + height);
        EXPECT_LE(layout.prompt.y + height, boxBottom);
        EXPECT_GT(layout.resultWindow.y, boxBottom);
        EXPECT_LE(layout.resultWindow.y + layout.resultWindow.height, layout.visibilityCheckBox.y);

        const StartScreenLayout start = layoutStartScreen(view, bold, {800, 600}, {32, 32});
        EXPECT_LT(start.titleFrame.y + start.titleFrame.height, start.icon.y);
    }
}

TEST(ExerciseLayout, TheStartScreen) {
    PracticeView view;
    view.totals.resize(5);
    const StartScreenLayout layout = layoutStartScreen(view, kBoldFont, {800, 600}, {32, 32});
    EXPECT_EQ(layout.title, (Point{312, 280}));  // 22 characters of 8 pixels
    EXPECT_EQ(layout.titleFrame, (Rect{304, 276, 192, 23}));
    EXPECT_EQ(layout.icon, (Point{384, 304}));
    EXPECT_EQ(layout.totalLabels, (std::vector<Point>{{8, 8}, {8, 24}, {8, 40}, {8, 56}, {8, 72}}));
    EXPECT_EQ(layout.totalValues.back(), (Point{88, 72}));
    EXPECT_EQ(sentenceAreaWidth(800), 640);
    EXPECT_EQ(sentenceAreaWidth(500), 440);
}

class View : public SessionTest {};

TEST_F(View, TheTranslationShowsWhenAskedOrAnswered) {
    open({{u"Go <i>now</i>", u"今<b>すぐ</b>", u"dictationScore=\"87.5\"", u"<p>Note</p>"},
          {u"Stay", u"", u"", u""}});
    session->startRun(RunKind::AllRows);
    const PracticeView* view = &session->view();
    EXPECT_EQ(view->questionNumber, u"No.01/02");
    EXPECT_EQ(view->sentenceId, u"000");
    EXPECT_EQ(view->storedScore, u"87.5");
    EXPECT_EQ(view->translationLines, std::vector<std::u16string>{u"今すぐ"});
    EXPECT_TRUE(view->showTranslation);
    EXPECT_EQ(view->explanation, u"Note");
    EXPECT_FALSE(view->showExplanation);
    EXPECT_EQ(view->scoreLabel, u"");

    session->setSentenceVisibility(false);
    EXPECT_FALSE(session->view().showTranslation);
    type(u"go now");
    view = &session->view();
    EXPECT_EQ(view->state, PracticeState::Answer);
    EXPECT_TRUE(view->showTranslation);
    EXPECT_TRUE(view->showExplanation);
    EXPECT_EQ(view->cursorLine, -1);
    EXPECT_EQ(view->sentenceLines, std::vector<std::u16string>{u"Go now"});

    key(PracticeKey::Space);  // a question without translation or explanation
    view = &session->view();
    EXPECT_TRUE(view->translationLines.empty());
    EXPECT_FALSE(view->showTranslation);
    EXPECT_EQ(view->cursorLine, 0);
    EXPECT_EQ(view->cursorColumn, 0);
}

TEST_F(View, TheStartScreenShowsTheTotals) {
    EXPECT_EQ(session->view().state, PracticeState::NoFile);
    ASSERT_EQ(session->view().totals.size(), 5u);
    EXPECT_EQ(session->view().totals[0],
              (std::pair<std::u16string, std::u16string>{u"Time:", u"00:00:00"}));
    EXPECT_FALSE(session->openFile(fromUtf8(dir.file("missing.xml"))));
    EXPECT_EQ(session->state(), PracticeState::NoFile);
    openSentences({u"a"});
    EXPECT_TRUE(session->view().totals.empty());
    session->closeFile();
    EXPECT_EQ(session->view().state, PracticeState::NoFile);
}

}  // namespace
}  // namespace pw
