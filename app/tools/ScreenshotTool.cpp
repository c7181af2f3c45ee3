// Takes the pictures of the documentation from the real main window: the
// start screen, the sample file ready for practice, a question being typed,
// its hint after five misses, its answer, the answer in a light theme, a
// question and an answer with marked roles in the exercise page, the audio
// conversion dialog while it converts the sample's sentences, a flash card,
// the word board of a sentence being put in order, and the dictionary window
// previewing the readings of a Japanese text; or, with --default-window, the
// window as it first opens without settings, on the screen it runs on. Runs in
// a scratch copy of the program folder, so the learner's own files are never
// touched.
//
//   scripts/screenshots.sh   (build/tools/phrasewright_screenshots build/bin docs
//                             [--default-window] under xvfb-run)
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/spinctrl.h>
#include <wx/utils.h>

#include "app/ScreenCapture.h"
#include "app/TestApp.h"
#include "core/AppPaths.h"
#include "core/ProfileSettings.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "dictionary/ui/DictionaryDialog.h"
#include "export/ui/FlashWritingConverter.h"
#include "gui/ImageStrip.h"
#include "gui/WxUi.h"
#include "practice/CharacterClasses.h"
#include "practice/TypingStyleManager.h"
#include "practice/ui/testsupport/KeyPresses.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

class ToolApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

// Boxes are answered No (the Save question at the end) instead of waiting.
class UnattendedUi : public WxUi {
public:
    int messageBox(const std::u16string& text, const std::u16string& caption,
                   unsigned flags) override {
        std::fprintf(stderr, "%s: %s\n", toUtf8(caption).c_str(), toUtf8(text).c_str());
        return (flags & MbButtonMask) == MbOk ? IdOk : IdNo;
    }
};

bool runEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    wxEventLoop loop;
    wxEventLoopActivator active(&loop);
    for (int waited = 0;; waited += 5) {
        while (loop.Pending()) {
            loop.Dispatch();
        }
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        if (done()) {
            return true;
        }
        if (waited >= timeoutMs) {
            return false;
        }
        wxMilliSleep(5);
    }
}

void settle(int ms = 400) {
    runEventsUntil([] { return false; }, ms);
}

bool shoot(TestApp& app, const std::string& folder, const char* name, int settleMs = 400) {
    settle(settleMs);
    std::string error;
    const std::string path = folder + "/" + name;
    if (!captureWindow(app.handle(), path, &error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

// Types the sentence's own characters from the cursor on, stopping before
// stopAt (or at the end), at a learner's pace so that the score is one.
void typeSentence(TypingPane& pane, size_t stopAt = std::u16string::npos) {
    const std::u16string target = pane.session().sentence().targetText();
    for (size_t i = pane.session().sentence().cursor(); i < target.size() && i < stopAt; ++i) {
        if (typing::isWordChar(target[i])) {
            settle(180);
            test::typeChar(pane.handle(), target[i]);
        }
    }
}

// Wraps the first word in the markup editor's text in the span of role.
void markRole(HtmlEditor& editor, const std::u16string& word, int role) {
    HtmlEditor::HtmlTextEditor& text = editor.textEditor();
    const size_t at = text.getText().find(word);
    if (at != std::u16string::npos) {
        text.setSelection(at, at + word.size());
        text.surround(role);
    }
}

// The answer with its blinking prompt on.
bool shootAnswer(TestApp& app, TypingPane& pane, const std::string& folder, const char* name) {
    runEventsUntil([&] { return pane.session().view().prompt.empty(); }, 2000);
    runEventsUntil([&] { return !pane.session().view().prompt.empty(); }, 2000);
    return shoot(app, folder, name, 60);
}

// The conversion dialog over every sentence of the sample, caught on its way.
bool shootConversion(TypingPane& pane, const std::string& scratch,
                     const std::string& outputFolder) {
    pane.session().run().setState(PracticeState::Stop);
    ProfileSettings& settings = ProfileSettings::instance();
    fs::create_directories(scratch + "/Audio");
    settings.writeString(u"FlashWriting", u"AudioOutputPath", fromUtf8(scratch + "/Audio"));
    settings.writeInt(u"FlashWriting", u"LyricsFormat", 3);
    settings.writeInt(u"FlashWriting", u"SpellOutWords", 1);
    std::vector<int> rows;
    for (int i = 0; i < pane.session().list().recordCount(); ++i) {
        rows.push_back(i);
    }
    FlashWritingConverter dialog(pane.speaker(),
                                 makeConversionRows(pane.session().list(), rows, false));
    if (!dialog.showModeless(wxTheApp->GetTopWindow())) {
        return false;
    }
    settle();
    dialog.start();
    dialog.table().setFocus();
    const size_t halfway = rows.size() * 2 / 5;
    runEventsUntil([&] { return dialog.conversion().progress().done >= halfway; }, 30000);
    const std::string path = outputFolder + "/conversion.png";
    std::string error;
    const bool ok = captureWindow(dialog.handle(), path, &error);
    std::printf("%s%s\n", path.c_str(), ok ? "" : (": " + error).c_str());
    dialog.conversion().stop();
    runEventsUntil([&] { return !dialog.conversion().isRunning(); }, 10000);
    dialog.close(wxID_CANCEL);
    return ok;
}

void chooseMode(TypingPane& pane, PracticeMode mode) {
    PracticeOptions options = pane.session().options();
    options.mode = mode;
    pane.session().setOptions(options);
    pane.modePane().setOptions(options);
}

// The second card, its sentence spoken first, then its translation.
bool shootFlashCard(TestApp& app, TypingPane& pane, const std::string& folder) {
    chooseMode(pane, PracticeMode::FlashWriting);
    FlashCardPane& cards = pane.flashCardPane();
    cards.firstToSecondBox().setChecked(true);
    test::sendNative(cards.firstToSecondBox().handle(), wxEVT_CHECKBOX, 1);
    // Both sides stay on the card, however quickly it is spoken.
    cards.alwaysVisibleBox().setChecked(true);
    test::sendNative(cards.alwaysVisibleBox().handle(), wxEVT_CHECKBOX, 1);
    cards.pauseField().setValue(30);
    test::sendNative(cards.pauseField().handle(), wxEVT_SPINCTRL, 30);
    test::sendNative(pane.modePane().startButton().handle(), wxEVT_BUTTON);
    FlashCardPlayer& player = pane.session().flashCards();
    runEventsUntil(
        [&] { return player.index() == 1 && player.state() == FlashCardPlayer::kWaitSecondSide; },
        30000);
    const bool ok = shoot(app, folder, "flash-card.png", 100);
    test::sendNative(cards.quitButton().handle(), wxEVT_BUTTON);
    return ok;
}

// The board after the first word was chosen by its digit.
bool shootWordBoard(TestApp& app, TypingPane& pane, const std::string& folder) {
    chooseMode(pane, PracticeMode::OrderWriting);
    test::sendNative(pane.modePane().startButton().handle(), wxEVT_BUTTON);
    settle(1500);  // the translation is heard first
    const WordOrderBoard& board = pane.session().run().board();
    const std::vector<int>& slots = board.choices();
    const auto first = std::find(slots.begin(), slots.end(), 0);
    if (first != slots.end()) {
        test::typeChar(pane.handle(), static_cast<char16_t>(u'1' + (first - slots.begin())));
    }
    // The pointer over the last slot underlines its word.
    const WordBoardLayout layout = pane.session().wordBoardLayout();
    if (!layout.slots.empty()) {
        const Rect& word = layout.slots.back().word;
        pane.session().onMouse(PracticeSession::MouseAction::Move,
                               {word.x + word.width / 2, word.y + word.height / 2});
    }
    return shoot(app, folder, "word-board.png");
}

// The dictionary window as the speaker's "辞書" opens it, on its readings tab
// with a translation of the sample typed in.
bool shootDictionary(TypingNavigationPane& content, const std::string& outputFolder) {
    test::sendNative(content.speakerPane().dictionaryButton().handle(), wxEVT_BUTTON);
    DictionaryDialog* dialog = content.dictionaryDialog();
    if (!dialog || !dialog->isOpen()) {
        std::fprintf(stderr, "The dictionary window did not open\n");
        return false;
    }
    dialog->window().tabs().select(2);
    ImeDictionaryPane& ime = dialog->window().imePane();
    ime.useAsDictionary().setChecked(true);
    test::sendNative(ime.useAsDictionary().handle(), wxEVT_CHECKBOX, 1);
    ime.textEditor().replaceSelection(u"昨夜はよく眠れましたか。\n駅までの道を教えてください。");
    runEventsUntil([&] { return ime.preview() && !ime.isPreviewLoading(); }, 20000);
    settle(800);
    const std::string path = outputFolder + "/dictionary.png";
    std::string error;
    const bool ok = captureWindow(dialog->handle(), path, &error);
    std::printf("%s%s\n", path.c_str(), ok ? "" : (": " + error).c_str());
    dialog->close(wxID_CANCEL);
    return ok;
}

int takeScreenshots(const std::string& programFolder, const std::string& outputFolder,
                    bool defaultWindow) {
    test::TempDir scratch;
    for (const char* item : {"Resources", "Data", "Lists", "Dictionaries", "Tree.xml"}) {
        std::error_code ec;
        fs::copy(fs::path(programFolder) / item, fs::path(scratch.path()) / item,
                 fs::copy_options::recursive, ec);
    }
    fs::current_path(scratch.path());
    setModuleDirectoryForTesting(scratch.path() + "/", "phrasewright");
    ProfileSettings& settings = ProfileSettings::instance();
    settings.setPath(settingsFilePath());
    if (!defaultWindow) {
        settings.writeInt(u"Window", u"MainLeft", 0);
        settings.writeInt(u"Window", u"MainTop", 0);
        settings.writeInt(u"Window", u"MainWidth", 1040);
        settings.writeInt(u"Window", u"MainHeight", 680);
    }
    // A learner with some practice behind them.
    test::writeAll("Log.xml",
                   "<Log><Record totalTime=\"8123000\" typingCount=\"21873\" "
                   "missTypingCount=\"942\" typingWordCount=\"4410\" "
                   "typingSentenceCount=\"512\"/></Log>");

    installUi(std::make_unique<UnattendedUi>());
    enablePngImages();
    TestApp app;
    if (!app.createTopLevel() ||
        !runEventsUntil([&] { return app.handle()->IsShownOnScreen(); }, 5000)) {
        std::fprintf(stderr, "The main window did not show; is there a display?\n");
        return 1;
    }
    TypingNavigationPane& content = app.contentPane();
    TypingPane& pane = content.typingPane();
    if (defaultWindow) {
        content.openLearningFile(u"Data/EverydayEnglish.xml");
        pane.sentenceList().selectOnly(0);
        const bool shot = shoot(app, outputFolder, "default-window.png", 800);
        app.handle()->Close();
        settle(100);
        installUi(nullptr);
        fs::current_path(programFolder);
        return shot ? 0 : 1;
    }
    bool ok = shoot(app, outputFolder, "start-screen.png");

    content.openLearningFile(u"Data/EverydayEnglish.xml");
    pane.sentenceList().selectOnly(0);
    ok = shoot(app, outputFolder, "ready.png") && ok;

    test::sendNative(pane.modePane().startButton().handle(), wxEVT_BUTTON);
    const std::u16string& target = pane.session().sentence().targetText();
    typeSentence(pane, target.find(u"did"));
    test::typeChar(pane.handle(), u'x');  // one miss on the way
    typeSentence(pane, target.find(u"did") + 2);
    ok = shoot(app, outputFolder, "typing.png") && ok;

    // Five misses in a row: the word as a hint, and the sentence checked.
    for (int i = 0; i < 5; ++i) {
        test::typeChar(pane.handle(), u'q');
    }
    ok = shoot(app, outputFolder, "hint.png") && ok;

    typeSentence(pane);
    ok = shootAnswer(app, pane, outputFolder, "answer.png") && ok;

    // The same answer in one of the light themes.
    for (const MenuItem& item : pane.session().themeMenu()) {
        if (item.text.rfind(u"Paper", 0) == 0) {
            pane.session().onThemeMenuCommand(item.id);
        }
    }
    ok = shootAnswer(app, pane, outputFolder, "answer-paper.png") && ok;
    ok = shootConversion(pane, scratch.path(), outputFolder) && ok;
    ok = shootDictionary(content, outputFolder) && ok;

    // The exercise page, in the first theme: a question half typed, then its
    // answer with the roles of the sentence marked under it.
    pane.session().onThemeMenuCommand(TypingStyleManager::kFirstMenuId);
    test::pressKey(pane.handle(), WXK_ESCAPE);
    CheckBox& useIE = pane.optionPane().useIEBox();
    useIE.setChecked(true);
    test::sendNative(useIE.handle(), wxEVT_CHECKBOX, 1);
    WebBrowser& page = pane.pageForm().browser();
    runEventsUntil([&] { return !page.isLoading(); }, 20000);
    test::sendNative(pane.modePane().startButton().handle(), wxEVT_BUTTON);
    typeSentence(pane, target.find(u"How") + 2);
    ok = shoot(app, outputFolder, "page-question.png", 800) && ok;
    typeSentence(pane);
    HtmlEditor& editor = pane.pageForm().editor();
    test::sendNative(editor.editButton().handle(), wxEVT_BUTTON);
    using Role = HtmlEditor::HtmlTextEditor::Role;
    markRole(editor, u"Good morning", Role::kMemo);
    markRole(editor, u"How", Role::kModifier);
    markRole(editor, u"did", Role::kVerb);
    markRole(editor, u"you", Role::kSubject);
    markRole(editor, u"sleep", Role::kVerb);
    // The memo's note, as the learner writes it into its title.
    HtmlEditor::HtmlTextEditor& markup = editor.textEditor();
    const size_t title = markup.getText().find(u"title=\"\"");
    if (title != std::u16string::npos) {
        markup.setSelection(title, title + 8);
        markup.replaceSelection(u"title=\"a greeting\"");
    }
    markup.setSelection(0, 0);
    settle(1500);  // the engine draws the page anew at its new height
    ok = shootAnswer(app, pane, outputFolder, "page-answer.png") && ok;

    // A flash card with both sides shown, then the word board of a sentence
    // being put in order, both in the drawn view.
    test::pressKey(pane.handle(), WXK_ESCAPE);
    useIE.setChecked(false);
    test::sendNative(useIE.handle(), wxEVT_CHECKBOX, 0);
    ok = shootFlashCard(app, pane, outputFolder) && ok;
    ok = shootWordBoard(app, pane, outputFolder) && ok;

    app.handle()->Close();
    settle(100);
    installUi(nullptr);
    fs::current_path(programFolder);
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace pw

wxIMPLEMENT_APP_NO_MAIN(pw::ToolApp);

int main(int argc, char** argv) {
    const bool defaultWindow = argc == 4 && std::string(argv[3]) == "--default-window";
    if (argc != 3 && !defaultWindow) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER OUTPUT_FOLDER [--default-window]\n",
                     argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    const std::string programFolder = fs::absolute(argv[1]).string();
    const std::string outputFolder = fs::absolute(argv[2]).string();
    fs::create_directories(outputFolder);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv)) {
        std::fprintf(stderr, "Cannot start the GUI toolkit: no display? Run under xvfb-run -a.\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    const int status = pw::takeScreenshots(programFolder, outputFolder, defaultWindow);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return status;
}
