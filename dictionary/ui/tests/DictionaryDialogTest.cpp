// The dictionary window under a display: editing the speaker's dictionaries
// through its panes, what confirm and cancel do to the files, registering
// copied words, and the readings preview with its ruby taken over.
#include <filesystem>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/listctrl.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include "core/UiServices.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "dictionary/DictionaryWindow.h"
#include "dictionary/Ime.h"
#include "dictionary/tests/DictionaryTestSupport.h"
#include "dictionary/tests/FakeIme.h"
#include "dictionary/ui/DictionaryDialog.h"
#include "dictionary/ui/WordRegistrationDialog.h"
#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

using test::kBom;
using test::utf16;

void click(BaseWindow& control) {
    wxCommandEvent event(wxEVT_BUTTON, control.handle()->GetId());
    event.SetEventObject(control.handle());
    control.handle()->ProcessWindowEvent(event);
}

void clickCheckBox(CheckBox& box, bool checked) {
    box.setChecked(checked);
    wxCommandEvent event(wxEVT_CHECKBOX, box.handle()->GetId());
    event.SetEventObject(box.handle());
    event.SetInt(checked ? 1 : 0);
    box.handle()->ProcessWindowEvent(event);
}

std::u16string spoken(std::u16string text) {
    DictionaryWindow::replaceText(text);
    return text;
}

// A program folder with the speaker's two dictionaries, as the current
// directory; the process-wide lists are set up from it.
class DictionaryDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldFolder = fs::current_path();
        fs::create_directory(m_folder.file("Resources"));
        test::writeAll(m_folder.file("Resources/dict.txt"),
                       kBom + utf16("Doctor\tDr.\r\n1\ta\r\n2\tb\r\n"));
        test::writeAll(m_folder.file("Resources/RegexDict.txt"), kBom + utf16("Mister\tMr\\.\r\n"));
        fs::current_path(m_folder.path());
        clearLists();
        DictionaryWindow::setUpSpeakerDictionaries();
        DictionaryWindow::readings().setEnabled(false);
    }
    void TearDown() override {
        m_dialog.reset();
        clearLists();
        DictionaryWindow::readings().loadSettings(ProfileSettings(), false);
        fs::current_path(m_oldFolder);
    }
    static void clearLists() {
        DictionaryWindow::wordDictionaries().clear();
        DictionaryWindow::patternDictionaries().clear();
    }

    DictionaryDialog& open() {
        m_dialog = std::make_unique<DictionaryDialog>();
        EXPECT_TRUE(m_dialog->showModeless(nullptr));
        test::runEventsFor(50);
        return *m_dialog;
    }
    static void choose(BaseDictionaryPane& pane, int dictionary) {
        pane.dictionaryTable().selectOnly(dictionary);
        test::runEventsUntil([&] { return pane.editor().selectedIndex() == dictionary; }, 1000);
    }
    static std::u16string fileText(const std::string& path) {
        std::u16string text;
        const std::string bytes = test::readAll(path);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8);
        }
        return text;
    }

    test::TempDir m_folder;
    fs::path m_oldFolder;
    test::ScopedRecordingUi m_ui;
    std::unique_ptr<DictionaryDialog> m_dialog;
};

TEST_F(DictionaryDialogTest, TheWordPaneEditsTheChosenDictionaryInPlace) {
    DictionaryDialog& dialog = open();
    auto* frame = static_cast<wxTopLevelWindow*>(dialog.handle());
    EXPECT_EQ(fromWx(frame->GetTitle()), u"DictionaryManager");
    TabbedPane& tabs = dialog.window().tabs();
    ASSERT_EQ(tabs.pageCount(), 3);
    EXPECT_EQ(tabs.pageTitle(0), u"Dictionary");
    EXPECT_EQ(tabs.pageTitle(1), u"Regex");
    EXPECT_EQ(tabs.pageTitle(2), u"IME");

    NormalDictionaryPane& words = dialog.window().wordPane();
    ASSERT_EQ(words.dictionaryTable().rowCount(), 1);
    EXPECT_EQ(words.dictionaryTable().cellText(0, 0), u"dict.txt");
    EXPECT_TRUE(words.dictionaryTable().isRowChecked(0));
    EXPECT_FALSE(words.newButton().isEnabled());
    EXPECT_FALSE(words.deleteButton().isEnabled());

    // "New" before a dictionary is chosen only says what to do.
    EXPECT_EQ(words.addEntry(u"c", u"3"), -1);
    ASSERT_EQ(m_ui->boxes.size(), 1u);
    EXPECT_EQ(m_ui->boxes[0].text, BaseDictionaryPane::kNoDictionaryText);
    EXPECT_EQ(m_ui->boxes[0].caption, BaseDictionaryPane::kNoDictionaryCaption);
    EXPECT_FALSE(DictionaryWindow::wordDictionaries().at(0)->contains(u"c"));

    choose(words, 0);
    BaseDictionaryPane::WordTable& entries = words.entryTable();
    ASSERT_EQ(entries.rowCount(), 3);
    EXPECT_EQ(entries.cellText(0, 0), u"Dr.");
    EXPECT_EQ(entries.cellText(0, 1), u"Doctor");

    // An existing key gets its new value without a second row.
    words.keyEditor().setText(u"a");
    words.replaceEditor().setText(u"one");
    click(words.newButton());
    EXPECT_EQ(entries.rowCount(), 3);
    EXPECT_EQ(entries.cellText(1, 0), u"a");
    EXPECT_EQ(entries.cellText(1, 1), u"one");
    EXPECT_EQ(spoken(u"a"), u"one");

    // Choosing a row puts it into the editors.
    entries.selectOnly(2);
    test::runEventsUntil([&] { return words.deleteButton().isEnabled(); }, 1000);
    EXPECT_EQ(words.keyEditor().getText(), u"b");
    EXPECT_EQ(words.replaceEditor().getText(), u"2");

    // The learner's box: speech skips the dictionary until it is checked again.
    auto* list = static_cast<wxListCtrl*>(words.dictionaryTable().handle());
    list->CheckItem(0, false);
    test::runEventsFor(20);
    EXPECT_FALSE(DictionaryWindow::wordDictionaries().at(0)->enabled());
    EXPECT_EQ(spoken(u"Dr. a"), u"Dr. a");
    list->CheckItem(0, true);
    test::runEventsFor(20);
    EXPECT_EQ(spoken(u"Dr. a"), u"Doctor one");

    // Space on the chosen dictionary switches it, once a press.
    dialog.handle()->Raise();
    list->SetFocus();
    test::runEventsFor(100);
    wxUIActionSimulator keys;
    for (const bool enabled : {false, true}) {
        keys.Char(WXK_SPACE);
        test::runEventsUntil(
            [&] { return DictionaryWindow::wordDictionaries().at(0)->enabled() == enabled; }, 1000);
        EXPECT_EQ(DictionaryWindow::wordDictionaries().at(0)->enabled(), enabled);
        EXPECT_EQ(words.dictionaryTable().isRowChecked(0), enabled);
    }
}

TEST_F(DictionaryDialogTest, ANewRuleIsListedFirstAndAppliedFirst) {
    DictionaryDialog& dialog = open();
    RegexDictionaryPane& patterns = dialog.window().patternPane();
    choose(patterns, 0);
    EXPECT_FALSE(patterns.optionBox().isChecked());
    EXPECT_EQ(patterns.addEntry(u"q", u"z"), 0);
    EXPECT_EQ(patterns.addEntry(u"p", u"q"), 0);
    ASSERT_EQ(patterns.entryTable().rowCount(), 3);
    EXPECT_EQ(patterns.entryTable().cellText(0, 0), u"p");
    EXPECT_EQ(patterns.entryTable().cellText(1, 0), u"q");
    EXPECT_EQ(patterns.entryTable().cellText(2, 0), u"Mr\\.");
    EXPECT_EQ(spoken(u"p"), u"z") << "p became q before the older rule turned q into z";

    clickCheckBox(patterns.optionBox(), true);
    EXPECT_TRUE(DictionaryWindow::patternDictionaries().at(0)->ignoreCase());
    EXPECT_EQ(spoken(u"MR. P"), u"Mister z");
}

TEST_F(DictionaryDialogTest, CancelRestoresDeletedEntriesAndConfirmWritesWithoutThem) {
    for (const bool confirm : {false, true}) {
        SCOPED_TRACE(confirm ? "confirm" : "cancel");
        DictionaryDialog& dialog = open();
        NormalDictionaryPane& words = dialog.window().wordPane();
        choose(words, 0);
        BaseDictionaryPane::WordTable& entries = words.entryTable();
        entries.setSelected(1, true);
        entries.setSelected(2, true);
        test::runEventsFor(20);
        click(words.deleteButton());
        ASSERT_EQ(entries.rowCount(), 1);
        EXPECT_EQ(spoken(u"a b"), u"a b");

        click(confirm ? dialog.okButton() : dialog.cancelButton());
        test::runEventsUntil([&] { return !dialog.isOpen(); }, 1000);
        EXPECT_FALSE(dialog.isOpen());
        if (confirm) {
            EXPECT_EQ(fileText("Resources/dict.txt"), u"Doctor\tDr.\r\n");
            EXPECT_EQ(spoken(u"a b"), u"a b");
        } else {
            EXPECT_EQ(fileText("Resources/dict.txt"), u"Doctor\tDr.\r\n1\ta\r\n2\tb\r\n");
            EXPECT_EQ(spoken(u"a b"), u"1 2");
            EXPECT_EQ(open().window().wordPane().editor().list().at(0)->size(), 3);
        }
    }
    EXPECT_TRUE(m_ui->boxes.empty());
}

TEST_F(DictionaryDialogTest, AConfirmThatCannotSaveSaysSoAndKeepsTheChanges) {
    DictionaryDialog& dialog = open();
    BaseDictionaryData& words = *DictionaryWindow::wordDictionaries().at(0);
    words.setFolder("no such folder/");
    words.set(u"c", u"3", 0);
    click(dialog.okButton());
    test::runEventsFor(20);
    ASSERT_EQ(m_ui->boxes.size(), 1u);
    EXPECT_EQ(m_ui->boxes[0].text, DictionaryDialog::kSaveFailedText);
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_TRUE(words.modified());
    EXPECT_EQ(words.get(u"c"), u"3");

    words.setFolder("Resources/");
    click(dialog.okButton());
    test::runEventsUntil([&] { return !dialog.isOpen(); }, 1000);
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_NE(fileText("Resources/dict.txt").find(u"3\tc\r\n"), std::u16string::npos);
}

TEST_F(DictionaryDialogTest, CopiedWordsAreRegisteredWithTheirReadings) {
    test::ScopedFakeIme fake(DictionaryWindow::readings(),
                             {{u"漢字", u"かんじ"}, {u"東京", u"とうきょう"}});
    DictionaryDialog& dialog = open();
    NormalDictionaryPane& words = dialog.window().wordPane();
    choose(words, 0);
    const int before = words.entryTable().rowCount();
    struct Case {
        std::u16string copied;
        bool registered;
        std::u16string key;
    };
    const Case cases[] = {
        {u" 東京\n", true, u"東京"},
        {u"一二三四五六七八九十一二三四五六七八九十一", false, u"東京"},  // 21: left alone
        {u"hello", false, u"hello"},  // no reading: waits in the editor
    };
    for (const Case& c : cases) {
        EXPECT_EQ(words.registerCopiedText(c.copied), c.registered) << toUtf8(c.copied);
        EXPECT_EQ(words.keyEditor().getText(), c.key) << toUtf8(c.copied);
    }
    EXPECT_EQ(words.entryTable().rowCount(), before + 1);
    EXPECT_EQ(DictionaryWindow::wordDictionaries().at(0)->get(u"東京"), u"トウキョウ");
    EXPECT_FALSE(DictionaryWindow::wordDictionaries().at(0)->contains(u"hello"));

    if (!words.optionsGroup().isVisible()) {
        GTEST_SKIP() << "MeCab's IPA dictionary is not installed: no clipboard registration";
    }
    // The clipboard itself, watched while the option is set.
    clickCheckBox(words.optionBox(), true);
    ASSERT_TRUE(words.isWatchingClipboard());
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject(toWx(u"漢字")));
    wxTheClipboard->Close();
    EXPECT_TRUE(test::runEventsUntil(
        [] { return DictionaryWindow::wordDictionaries().at(0)->contains(u"漢字"); }, 3000));
    EXPECT_EQ(DictionaryWindow::wordDictionaries().at(0)->get(u"漢字"), u"カンジ");
    clickCheckBox(words.optionBox(), false);
    EXPECT_FALSE(words.isWatchingClipboard());
}

TEST_F(DictionaryDialogTest, OpenOffersTheTypedWordWithItsReadingForTheWordDictionary) {
    test::ScopedFakeIme fake(DictionaryWindow::readings());
    DictionaryDialog& dialog = open();
    ImeDictionaryPane& ime = dialog.window().imePane();
    std::vector<std::pair<std::u16string, std::u16string>> offered;
    ime.setRegistrationHandler([&](const std::u16string& word, const std::u16string& reading) {
        offered.emplace_back(word, reading);
    });
    ime.textEditor().setText(u"漢字");
    click(ime.openButton());
    ime.textEditor().setText(u"東京の漢字です東京の漢字");  // too long to be a word
    click(ime.openButton());
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0], std::make_pair(std::u16string(u"漢字"), std::u16string(u"カンジ")));
    EXPECT_EQ(offered[1], std::make_pair(std::u16string(), std::u16string()));

    // With no word dictionary chosen the word goes into the first one.
    dialog.window().addRegisteredWord(u"漢字", u"カンジ");
    EXPECT_EQ(DictionaryWindow::wordDictionaries().at(0)->get(u"漢字"), u"カンジ");
    EXPECT_EQ(dialog.window().wordPane().editor().selectedIndex(), 0);
    EXPECT_TRUE(m_ui->boxes.empty());

    WordRegistrationDialog registration(u"東京", u"トウキョウ");
    ASSERT_TRUE(registration.showModeless(nullptr));
    EXPECT_EQ(registration.wordField().getText(), u"東京");
    EXPECT_EQ(registration.readingField().getText(), u"トウキョウ");
    registration.wordField().setText(u"");
    click(registration.okButton());
    EXPECT_TRUE(registration.isOpen()) << "an empty word is not registered";
    registration.wordField().setText(u"東京都");
    click(registration.okButton());
    EXPECT_FALSE(registration.isOpen());
    EXPECT_EQ(registration.word(), u"東京都");
}

// The preview in the web engine, with MeCab's readings.
TEST_F(DictionaryDialogTest, ThePreviewShowsRubyAndADropTakesItsPairs) {
    if (!Ime::isInstalled(Ime::identifiers().front())) {
        GTEST_SKIP() << "MeCab's IPA dictionary is not installed";
    }
    std::u16string why;
    ASSERT_TRUE(WebBrowser::isEngineAvailable(&why)) << toUtf8(why);
    DictionaryDialog& dialog = open();
    ImeDictionaryPane& ime = dialog.window().imePane();
    dialog.window().tabs().select(2);
    EXPECT_EQ(ime.selector().itemCount(), static_cast<int>(Ime::identifiers().size()));
    EXPECT_EQ(ime.selector().selectedIndex(), 0);
    EXPECT_EQ(ime.preview(), nullptr) << "made on first use";

    ime.textEditor().replaceSelection(u"漢字を書く\n東京");
    ASSERT_NE(ime.preview(), nullptr);
    ASSERT_TRUE(test::runEventsUntil([&] { return !ime.isPreviewLoading(); }, 20000));
    EXPECT_NE(ime.previewPage().find(u"<rb>漢字</rb><rp>(</rp><rt>かんじ</rt>"),
              std::u16string::npos);
    WebBrowser& page = *ime.preview();
    EXPECT_EQ(page.evaluate(u"document.querySelector('rt').textContent"), u"かんじ");
    EXPECT_EQ(page.evaluate(u"getComputedStyle(document.querySelector('rt')).fontSize"), u"12px");
    EXPECT_EQ(page.evaluate(u"getComputedStyle(document.querySelector('rt')).color"),
              u"rgb(85, 85, 85)");
    EXPECT_EQ(page.evaluate(u"document.querySelectorAll('br').length"), u"1");

    // Dropped on the word tab with dict.txt chosen: the pairs become entries.
    dialog.window().tabs().select(0);
    NormalDictionaryPane& words = dialog.window().wordPane();
    choose(words, 0);
    dialog.window().takeRubyFromPreview();
    BaseDictionaryData& dictionary = *DictionaryWindow::wordDictionaries().at(0);
    ASSERT_TRUE(test::runEventsUntil([&] { return dictionary.contains(u"東京"); }, 5000));
    EXPECT_EQ(dictionary.get(u"漢字"), u"かんじ");
    EXPECT_EQ(dictionary.get(u"書く"), u"かく");
    EXPECT_EQ(dictionary.get(u"東京"), u"とうきょう");
}

}  // namespace
}  // namespace pw
