// The page form of the exercise view: which element of the exercise page
// ("Resources/dictation.html") receives which HTML, and when its script
// functions are called, as the practice session moves through a run; where
// the page and its markup editor sit in the pane; the page menu; and storing
// the markup the learner edited. The page itself is reached through
// ExercisePageHost, which the practice pane implements over the browser and
// the markup editor, and which tests record. No display is needed.
//
//   ExercisePage page(session, speaker);
//   page.attach(&host);                 // the page form is chosen
//   // the pane, in PracticeSessionListener::practiceChanged:
//   page.sessionChanged(changes);
//   // the pane, after placing the page at page.placement(...):
//   page.resized();
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "practice/MenuModel.h"
#include "practice/PracticeSession.h"
#include "practice/PracticeView.h"
#include "speech/IPracticeSpeaker.h"

namespace pw {

// The page's contract: its element ids and script functions.
namespace page_elements {
inline constexpr const char16_t* kSentence = u"sentence";
inline constexpr const char16_t* kTranslation = u"translation";
inline constexpr const char16_t* kExplanation = u"explanation";
inline constexpr const char16_t* kOrderWriting = u"order_writing";
inline constexpr const char16_t* kResults = u"results";
inline constexpr const char16_t* kStartInput = u"onStartInput";
inline constexpr const char16_t* kEndInput = u"onEndInput";
inline constexpr const char16_t* kSize = u"onSize";
// The page, relative to the working folder.
inline constexpr const char* kPagePath = "Resources/dictation.html";
}  // namespace page_elements

// What the page form does to the page and to the markup editor under it.
class ExercisePageHost {
public:
    using Variables = std::vector<std::pair<std::u16string, std::u16string>>;

    virtual ~ExercisePageHost() = default;
    // The inner HTML of element id, as given; a missing element is ignored.
    virtual void setElementHtml(const std::u16string& id, const std::u16string& html) = 0;
    // The same through the markup editor, which keeps html for editing and
    // applies its own line-break rule.
    virtual void setEditedHtml(const std::u16string& id, const std::u16string& html) = 0;
    // Calls the page's global function without arguments; a missing one is ignored.
    virtual void callFunction(const std::u16string& name) = 0;
    virtual void showPage(bool show) = 0;
    virtual void showEditor(bool show) = 0;
    // CSS custom properties on the page's root element (the theme).
    virtual void setStyleVariables(const Variables& variables) = 0;
    virtual void reload() = 0;
    virtual void copySelection() = 0;
    // The page's whole text as shown, for done.
    virtual void requestPageText(std::function<void(const std::u16string&)> done) = 0;
};

class ExercisePage {
public:
    // The page menu.
    static constexpr int kCopyCommand = 1;
    static constexpr int kRefreshCommand = 2;
    static constexpr int kSpeakCommand = 3;
    // The page's top, and what it leaves free below (more without the editor).
    static constexpr int kPageTop = 48;
    static constexpr int kBottomWithEditor = 26;
    static constexpr int kBottomWithoutEditor = 46;

    ExercisePage(PracticeSession& session, IPracticeSpeaker& speaker);

    // host shows the page from now on (null: the drawn view again); it is
    // filled for the question in progress. host must outlive the attachment.
    void attach(ExercisePageHost* host);
    bool isAttached() const { return m_host != nullptr; }

    // The session's changes (PracticeSessionListener::practiceChanged).
    void sessionChanged(unsigned changes);
    // The page was loaded again (Refresh): the theme and the question in
    // progress go into it again.
    void pageLoaded();
    // The pane placed the page anew.
    void resized();
    // The font family the page is to use, for the theme's variables.
    void setFontFamily(std::u16string family);

    // Where the page and the editor go in a pane of that size; the editor,
    // shown in the Answer state, keeps its own height. The page starts at
    // kPageTop, or lower when the pane's own controls need the room (top).
    struct Placement {
        Rect page;
        Rect editor;
        bool editorShown = false;
        Point keyReminder;  // below both
    };
    Placement placement(Size pane, int editorHeight, int top = kPageTop) const;

    // The page menu at a right click, and its commands; selection is the
    // page's selected text.
    std::vector<MenuItem> pageMenu(bool hasSelection) const;
    void onPageMenuCommand(int id, const std::u16string& selection);
    // What Speak says of text: a text longer than 10 characters keeps only
    // its runs of characters 1 to 255 that are longer than 3, joined.
    static std::u16string speechText(const std::u16string& text);

    // The markup editor reported an edit: its three texts go into the record
    // of the answered question.
    void storeEditedMarkup(const std::u16string& sentence, const std::u16string& translation,
                           const std::u16string& explanation);

    // What "order_writing" receives instead of the word board's choice list
    // (word ordering).
    void setOrderWritingSource(std::function<std::u16string()> source) {
        m_orderWriting = std::move(source);
    }

    // ---- The HTML the page receives
    // The display text with the character at cursor in the cursor span; the
    // text is escaped, and the line breaks the drawn view's wrap put in (CR
    // LF) are left out, since the page wraps by itself.
    static std::u16string sentenceHtml(const std::u16string& displayText, size_t cursor);
    // The score label over the prompt, or over an ideographic space while
    // the prompt is off, so that the line keeps its height.
    static std::u16string resultsHtml(const std::u16string& scoreLabel,
                                      const std::u16string& prompt);
    // Every line break of html (CR LF, LF or CR) with "<br />" before it:
    // what every element but "sentence" receives.
    static std::u16string withBreaks(const std::u16string& html);
    // The theme as CSS custom properties: "--pw-" and each colour's key
    // ("#rrggbb"), the frame's radius and border width, and the font family.
    static ExercisePageHost::Variables themeVariables(const TypingStyleManager& theme,
                                                      const std::u16string& fontFamily);

private:
    // setElementHtml with the line-break rule of every id but "sentence".
    void setElement(const std::u16string& id, const std::u16string& html);
    void fillQuestion();
    void fillAnswer();
    void fillResults();
    void fillSentence();
    void showForState();
    void applyTheme();
    std::u16string orderWritingHtml() const;

    PracticeSession& m_session;
    IPracticeSpeaker& m_speaker;
    ExercisePageHost* m_host = nullptr;
    std::function<std::u16string()> m_orderWriting;
    std::u16string m_fontFamily;
    // The record whose answer the editor holds; edits are stored there, also
    // when their report comes after the next question started.
    int m_answerIndex = -1;
};

}  // namespace pw
