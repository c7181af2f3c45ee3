// The page form's logic without a display: what each element receives and
// when the page's functions are called during a run, the line-break rule,
// escaping, where page and editor go, the page menu with Speak's reduction,
// and storing the markup the learner edited.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/Random.h"
#include "practice/ExercisePage.h"
#include "practice/tests/PracticeTestSupport.h"

namespace pw {
namespace {

using Log = std::vector<std::u16string>;

class RecordingHost : public ExercisePageHost {
public:
    void setElementHtml(const std::u16string& id, const std::u16string& html) override {
        log.push_back(u"set " + id + u"=" + html);
    }
    void setEditedHtml(const std::u16string& id, const std::u16string& html) override {
        log.push_back(u"edit " + id + u"=" + html);
    }
    void callFunction(const std::u16string& name) override { log.push_back(u"call " + name); }
    void showPage(bool show) override { log.push_back(show ? u"page on" : u"page off"); }
    void showEditor(bool show) override { log.push_back(show ? u"editor on" : u"editor off"); }
    void setStyleVariables(const Variables& variables) override { styles.push_back(variables); }
    void reload() override { log.push_back(u"reload"); }
    void copySelection() override { log.push_back(u"copy"); }
    void requestPageText(std::function<void(const std::u16string&)> done) override {
        pageTextWanted = std::move(done);
    }

    Log take() { return std::exchange(log, {}); }
    Log log;
    std::vector<Variables> styles;
    std::function<void(const std::u16string&)> pageTextWanted;
};

// Hands the session's changes to the page, as the practice pane does.
class PageListener : public PracticeSessionListener {
public:
    explicit PageListener(ExercisePage& page) : m_page(page) {}
    void practiceChanged(unsigned changes) override { m_page.sessionChanged(changes); }

private:
    ExercisePage& m_page;
};

class Page : public test::SessionTest {
protected:
    Page() {
        session->setListener(&forward);
        page.attach(&host);
        host.take();
    }
    void start() {
        host.take();  // opening the file hid the page
        ASSERT_TRUE(session->startRun(RunKind::AllRows));
    }
    const std::vector<std::u16string>& said() const { return speaker.calls; }

    ExercisePage page{*session, speaker};
    PageListener forward{page};
    RecordingHost host;
};

constexpr const char16_t* kNoPrompt = u"<br />\u3000";

TEST_F(Page, AQuestionFillsEveryElementBeforeOnStartInput) {
    open({{u"Hello world.", u"こんにちは\r\n世界", u"", u"<b>greeting</b>"}}, PracticeMode::Free);
    start();
    EXPECT_EQ(host.take(), (Log{u"set sentence=<span id='cursor'>H</span>ello world.",
                                u"set translation=こんにちは<br />\r\n世界", u"set explanation=",
                                u"set order_writing=", u"set results=", u"call onStartInput",
                                u"editor off", u"page on"}));

    // Each accepted key renews the sentence; a miss changes nothing.
    type(u"h");
    EXPECT_EQ(host.take(), Log{u"set sentence=H<span id='cursor'>e</span>llo world."});
    type(u"x,");
    EXPECT_EQ(host.take(), Log{});

    type(u"ello wor");
    EXPECT_EQ(host.take().back(), u"set sentence=Hello wor<span id='cursor'>l</span>d.");

    // The last key: the answer goes through the markup editor, then the score.
    clock.time += 4000;
    type(u"ld");
    Log log = host.take();
    ASSERT_FALSE(log.empty());
    const std::u16string results = log.back();
    log.pop_back();
    EXPECT_EQ(log, (Log{u"set sentence=Hello worl<span id='cursor'>d</span>.",
                        u"edit explanation=<b>greeting</b>", u"edit translation=こんにちは\r\n世界",
                        u"edit sentence=Hello world.", u"set order_writing=", u"page on",
                        u"call onEndInput", u"editor on"}));
    EXPECT_EQ(results, u"set results=" + session->view().scoreLabel + kNoPrompt);
    EXPECT_EQ(session->view().scoreLabel.rfind(u"HighScore: ", 0), 0u);

    // The prompt blinks in the results line, which keeps its height.
    session->onBlinkTimer();
    EXPECT_EQ(host.take(),
              Log{u"set results=" + session->view().scoreLabel + u"<br />Press the Space key"});
    session->onBlinkTimer();
    EXPECT_EQ(host.take(), Log{u"set results=" + session->view().scoreLabel + kNoPrompt});

    // Esc ends the run: page and editor go.
    key(PracticeKey::Escape);
    EXPECT_EQ(host.take(), (Log{u"editor off", u"page off"}));
}

TEST_F(Page, TheCursorStartsOnTheFirstLetterOfAMaskedSentence) {
    open({{u"Hello", u"", u""}});
    start();
    ASSERT_FALSE(host.log.empty());
    EXPECT_EQ(host.log.front(), u"set sentence=<span id='cursor'>*</span>****");
}

TEST_F(Page, OnlyTheSentenceIsLeftWithoutLineBreaks) {
    // A sentence the drawn view wraps: its breaks stay out of the page, which
    // wraps by itself; the translation's own breaks become "<br />", also
    // lone line feeds.
    session->setPaneSize(240, 400);
    const std::u16string sentence = u"The quick brown fox jumps over the lazy dog again and again";
    open({{sentence, u"一行目\n二行目\r\n三行目", u"", u"a\r\nb"}}, PracticeMode::Free);
    start();
    ASSERT_NE(session->sentence().targetText().find(u"\r\n"), std::u16string::npos);
    const Log log = host.take();
    EXPECT_EQ(log[0], u"set sentence=<span id='cursor'>T</span>" + sentence.substr(1));
    EXPECT_EQ(log[1], u"set translation=一行目<br />\n二行目<br />\r\n三行目");
    EXPECT_EQ(ExercisePage::withBreaks(u"a\rb\r\n\r\nc"), u"a<br />\rb<br />\r\n<br />\r\nc");

    key(PracticeKey::Escape);  // the answer: as stored, through the editor
    const Log answer = host.take();
    EXPECT_NE(std::find(answer.begin(), answer.end(), u"edit explanation=a\r\nb"), answer.end());
    EXPECT_NE(std::find(answer.begin(), answer.end(), u"edit sentence=" + sentence), answer.end());
}

TEST_F(Page, TheSentenceIsEscapedAndTheCursorCharacterToo) {
    open({{u"Tom &amp; Jerry &lt;3", u"", u""}}, PracticeMode::Free);
    start();
    EXPECT_EQ(host.log.front(), u"set sentence=<span id='cursor'>T</span>om &amp; Jerry &lt;3");
    EXPECT_EQ(ExercisePage::sentenceHtml(u"a<b", 1), u"a<span id='cursor'>&lt;</span>b");
    EXPECT_EQ(ExercisePage::sentenceHtml(u"ab", 2), u"ab");
    EXPECT_EQ(ExercisePage::resultsHtml(u"Score: 1.0", u"go"), u"Score: 1.0<br />go");
}

TEST_F(Page, AQuestionWithNothingToTypeIsAskedAndAnsweredInThatOrder) {
    open({{u"日本語。", u"", u""}});
    start();
    const Log log = host.take();
    const auto at = [&](const std::u16string& entry) {
        return std::find(log.begin(), log.end(), entry) - log.begin();
    };
    EXPECT_LT(at(u"call onStartInput"), at(u"edit sentence=日本語。"));
    EXPECT_LT(at(u"edit sentence=日本語。"), at(u"call onEndInput"));
    EXPECT_LT(at(u"call onEndInput"), static_cast<long>(log.size()));
}

TEST_F(Page, WithoutTheHostTheNextQuestionIsLeftToTheDrawnView) {
    open({{u"Go", u"", u""}, {u"Stop", u"", u""}});
    host.take();
    page.attach(nullptr);
    start();
    key(PracticeKey::Escape);
    EXPECT_TRUE(host.log.empty());
    EXPECT_FALSE(page.isAttached());

    // Attached during a question, the page gets it at once.
    key(PracticeKey::Escape);
    start();
    page.attach(&host);
    const Log log = host.take();
    EXPECT_EQ(log.front(), u"set sentence=<span id='cursor'>*</span>*");
    EXPECT_EQ(log.back(), u"page on");
}

TEST_F(Page, ARefreshedPageIsFilledAgain) {
    open({{u"Go", u"行け", u"", u"note"}});
    start();
    key(PracticeKey::Escape);
    host.take();
    page.onPageMenuCommand(ExercisePage::kRefreshCommand, u"");
    EXPECT_EQ(host.take(), Log{u"reload"});
    page.pageLoaded();
    const Log log = host.take();
    EXPECT_EQ(host.styles.size(), 2u);  // attached, reloaded
    EXPECT_EQ(log.front(), u"set sentence=<span id='cursor'>G</span>o");
    EXPECT_NE(std::find(log.begin(), log.end(), u"edit explanation=note"), log.end());
    EXPECT_EQ(log.back().rfind(u"set results=Score: 0.0", 0), 0u);
}

TEST_F(Page, AFaceNameReachesThePageQuotedWhole) {
    page.setFontFamily(u"Noto \"Sans\" CJK");
    ASSERT_FALSE(host.styles.empty());
    const ExercisePageHost::Variables& variables = host.styles.back();
    EXPECT_EQ(variables.back(), (std::pair<std::u16string, std::u16string>{u"--pw-font-family",
                                                                           u"\"Noto Sans CJK\""}));
}

TEST(PagePlacement, ThePageAndTheEditorShareThePane) {
    test::RecordingSpeaker speaker;
    PracticeSession session(speaker);
    ExercisePage page(session, speaker);
    RecordingHost host;
    // Not attached: nothing of the editor.
    EXPECT_EQ(page.placement({800, 600}, 120).page, (Rect{0, 48, 800, 506}));
    page.attach(&host);
    struct Case {
        PracticeState state;
        Size pane;
        Rect page;
        Rect editor;
        bool editorShown;
    };
    const Case cases[] = {
        {PracticeState::Typing, {800, 600}, {0, 48, 800, 506}, {0, 554, 800, 0}, false},
        {PracticeState::Answer, {800, 600}, {0, 48, 800, 406}, {0, 454, 800, 120}, true},
        // Too small for the editor's height: the editor takes what there is.
        {PracticeState::Answer, {300, 150}, {0, 48, 300, 0}, {0, 48, 300, 76}, true},
        // Lower than 48 when the pane's controls ask for it.
        {PracticeState::Answer, {800, 600}, {0, 60, 800, 394}, {0, 454, 800, 120}, true},
        {PracticeState::Typing, {300, 60}, {0, 48, 300, 0}, {0, 48, 300, 0}, false},
    };
    for (const Case& c : cases) {
        session.run().setState(c.state);
        const ExercisePage::Placement placement = page.placement(c.pane, 120, c.page.y);
        EXPECT_EQ(placement.page, c.page);
        EXPECT_EQ(placement.editor, c.editor);
        EXPECT_EQ(placement.editorShown, c.editorShown);
        EXPECT_EQ(placement.keyReminder, (Point{8, c.editor.y + c.editor.height + 4}));
    }
}

TEST_F(Page, ThePageMenuCopiesRefreshesAndSpeaks) {
    const auto enabled = [&](bool selection) {
        std::vector<std::pair<int, bool>> items;
        for (const MenuItem& item : page.pageMenu(selection)) {
            items.push_back({item.separator ? 0 : item.id, item.enabled});
        }
        return items;
    };
    using Items = std::vector<std::pair<int, bool>>;
    EXPECT_EQ(enabled(false), (Items{{1, false}, {0, true}, {2, true}, {3, true}}));
    EXPECT_EQ(enabled(true), (Items{{1, true}, {0, true}, {2, true}, {3, true}}));
    EXPECT_EQ(page.pageMenu(true)[0].text, u"&Copy\tCtrl+C");

    page.onPageMenuCommand(ExercisePage::kCopyCommand, u"sel");
    EXPECT_EQ(host.take(), Log{u"copy"});
    page.onPageMenuCommand(ExercisePage::kSpeakCommand, u"Good morning, こんにちは");
    EXPECT_EQ(said(), std::vector<std::u16string>{u"sentence:Good morning, "});
    // Nothing selected: the page's text, once the page has given it.
    page.onPageMenuCommand(ExercisePage::kSpeakCommand, u"");
    ASSERT_TRUE(host.pageTextWanted);
    host.pageTextWanted(u"No.01/01\n行け\nGo away now");
    EXPECT_EQ(said().back(), u"sentence:No.01/01\n\nGo away now");
    // Only Japanese: nothing is spoken.
    page.onPageMenuCommand(ExercisePage::kSpeakCommand, u"");
    host.pageTextWanted(u"にほんごだけのながいぶんです");
    EXPECT_EQ(said().size(), 2u);
}

TEST(PageSpeech, LongTextsKeepTheirLongRunsOfLatinCharacters) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"行け", u"行け"},                          // up to 10 characters: as it is
        {u"これはpenです", u"これはpenです"},        // 9 characters
        {u"これはpenです。はい", u""},               // a run of 3 is too short
        {u"これはpens。Good day", u"pensGood day"},  // runs joined as they are
        {u"abc。defgh。ij。klmn", u"defghklmn"},
        {u"Hello world, friends", u"Hello world, friends"},
        {u"\u00e9t\u00e9 \u00e0 Paris, \u3042", u"\u00e9t\u00e9 \u00e0 Paris, "},
    };
    for (const auto& [text, spoken] : cases) {
        EXPECT_EQ(ExercisePage::speechText(text), spoken) << toUtf8(text);
    }
}

TEST_F(Page, EditedMarkupGoesIntoTheAnsweredRecord) {
    open({{u"the cat sat", u"猫", u""}, {u"Go", u"", u""}});
    start();
    key(PracticeKey::Escape);  // the answer, given up: nothing unsaved yet
    ASSERT_FALSE(session->hasUnsavedResults());
    page.storeEditedMarkup(u"the cat sat", u"猫", u"");
    EXPECT_FALSE(session->hasUnsavedResults());

    const std::u16string marked = u"the <span class='object'>cat</span> sat";
    page.storeEditedMarkup(marked, u"猫", u"a note");
    EXPECT_TRUE(session->hasUnsavedResults());
    EXPECT_EQ(session->list().text(0, TextKind::Sentence), marked);
    EXPECT_EQ(session->list().text(0, TextKind::Explanation), u"a note");
    EXPECT_EQ(session->list().cellText(0, SentenceListModel::kSentenceColumn), marked);

    // A report that comes after the next question started still belongs to
    // the answered one.
    key(PracticeKey::Space);
    ASSERT_EQ(session->run().currentIndex(), 1);
    page.storeEditedMarkup(marked, u"猫", u"later");
    EXPECT_EQ(session->list().text(0, TextKind::Explanation), u"later");
    EXPECT_EQ(session->list().text(1, TextKind::Explanation), u"");

    // Once the run is over it has nowhere to go.
    key(PracticeKey::Escape);
    key(PracticeKey::Escape);
    page.storeEditedMarkup(u"x", u"x", u"x");
    EXPECT_EQ(session->list().text(0, TextKind::Sentence), marked);

    ui->answers = {IdYes};
    ASSERT_TRUE(session->save(session->list().getDescription()));
    SentenceListModel saved;
    ASSERT_TRUE(saved.open(listPath()));
    EXPECT_EQ(saved.text(0, TextKind::Sentence), marked);
    EXPECT_EQ(saved.text(0, TextKind::Explanation), u"later");
}

TEST_F(Page, TheWordBoardsChoicesReachTheOrderWritingElement) {
    seedRandom(5);
    open({{u"Dogs bark.", u"犬が吠える", u""}}, PracticeMode::OrderWriting);
    start();
    const WordOrderBoard& board = session->run().board();
    const std::u16string first = board.choicesHtml();
    EXPECT_TRUE(first == u"<ol><li>Dogs</li><li>bark</li></ol>" ||
                first == u"<ol><li>bark</li><li>Dogs</li></ol>")
        << toUtf8(first);
    const Log log = host.take();
    EXPECT_NE(std::find(log.begin(), log.end(), u"set order_writing=" + first), log.end());

    // A word chosen by key: the sentence and the list again.
    const int slot = board.choiceTexts()[0] == u"Dogs" ? 1 : 2;
    session->onChar(U'0' + static_cast<char32_t>(slot));
    EXPECT_EQ(host.take(), (Log{u"set sentence=Dogs <span id='cursor'>*</span>***.",
                                u"set order_writing=" + board.choicesHtml()}));
    EXPECT_NE(board.choicesHtml(), first);
}

}  // namespace
}  // namespace pw
