// The audio conversion dialog under a display: its controls and remembered
// options, a conversion from Start to the end, and what it asks when the
// output folder is missing.
#include <filesystem>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/tooltip.h>
#include <wx/window.h>

#include "content/SentenceListModel.h"
#include "core/ProfileSettings.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "export/tests/ExportTestSupport.h"
#include "export/ui/FlashWritingConverter.h"
#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/ui/testsupport/KeyPresses.h"
#include "speech/Speaker.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

std::u16string tipOf(BaseWindow& control) {
    const wxToolTip* tip = control.handle()->GetToolTip();
    return tip ? fromWx(tip->GetTip()) : std::u16string();
}

class ConverterDialog : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldFolder = fs::current_path();
        fs::current_path(test::runtimeDir());  // Resources/Lyrics.xml
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(m_in.file("phrasewright.ini"));
        ASSERT_TRUE(m_speaker.initialize());
        test::writeLearningFile(m_in.file("lesson.xml"),
                                {{"Thank you.", "ありがとう", ""}, {"You're welcome.", "", ""}});
        ASSERT_TRUE(m_list.open(m_in.file("lesson.xml")));
    }
    void TearDown() override {
        m_dialog.reset();
        ProfileSettings::instance().setPath(m_oldSettings);
        fs::current_path(m_oldFolder);
    }

    FlashWritingConverter& open(std::string encoder = "lame") {
        m_dialog = std::make_unique<FlashWritingConverter>(
            m_speaker, makeConversionRows(m_list, {0, 1}, false));
        if (encoder != "lame") {
            m_dialog->setEncoder(encoder);
        }
        EXPECT_TRUE(m_dialog->showModeless(nullptr));
        return *m_dialog;
    }

    bool runUntilEnded(FlashWritingConverter& dialog) {
        return test::runEventsUntil(
            [&] {
                m_ui->pumpPendingEvents();
                return !dialog.conversion().isRunning();
            },
            60000);
    }

    test::ScopedRecordingUi m_ui;
    test::TempDir m_in;
    test::TempDir m_out;
    Speaker m_speaker;
    SentenceListModel m_list;
    std::unique_ptr<FlashWritingConverter> m_dialog;
    fs::path m_oldFolder;
    std::string m_oldSettings;
};

TEST_F(ConverterDialog, ControlsWithTheirTextsTipsAndRememberedOptions) {
    ProfileSettings& settings = ProfileSettings::instance();
    settings.writeString(u"FlashWriting", u"AudioOutputPath", fromUtf8(m_out.path()));
    settings.writeInt(u"FlashWriting", u"AudioInterval", 250);
    settings.writeInt(u"FlashWriting", u"SpellOutWords", 1);
    settings.writeInt(u"FlashWriting", u"LyricsFormat", 3);
    FlashWritingConverter& dialog = open();
    EXPECT_EQ(fromWx(dialog.handle()->GetLabel()), FlashWritingConverter::kCaption);
    EXPECT_EQ(dialog.outputField().getText(), fromUtf8(m_out.path()));
    EXPECT_EQ(dialog.intervalField().value(), 250);
    EXPECT_EQ(dialog.intervalField().maximum(), 10000);
    EXPECT_TRUE(dialog.spellBox().isChecked());
    EXPECT_EQ(dialog.spellBox().getText(), u"Spelling out words");
    EXPECT_EQ(tipOf(dialog.intervalField()),
              u"音声ファイルに追加する無音時間をミリ秒単位で設定します。");
    EXPECT_EQ(tipOf(dialog.spellBox()), u"英単語とそのスペルを読み上げます。");
    EXPECT_EQ(tipOf(dialog.lyricsCombo()),
              u"Resources/Lyrics.xml で設定されている ID3 タグを\r\n出力する MP3 に設定します。");
    ComboBox& lyrics = dialog.lyricsCombo();
    ASSERT_EQ(lyrics.itemCount(), 4);
    EXPECT_EQ(lyrics.itemText(0), u"No lyrics");
    EXPECT_EQ(lyrics.itemText(3), u"SYLT tag (ID3v2.3)");
    EXPECT_EQ(lyrics.selectedIndex(), 3);
    EXPECT_TRUE(dialog.startButton().isEnabled());
    EXPECT_FALSE(dialog.stopButton().isEnabled());

    Table& table = dialog.table();
    ASSERT_EQ(table.columnCount(), 5);
    const std::vector<std::u16string> titles = {u"ID", u"Sentence", u"Translation", u"Output",
                                                u"Progress"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(table.columnTitle(i), titles[static_cast<size_t>(i)]);
    }
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.cellText(1, 0), u"2");
    EXPECT_EQ(table.cellText(0, 2), u"ありがとう");
    EXPECT_EQ(table.cellText(1, 3), u"2 lesson");

    // Closing keeps what the learner set.
    dialog.intervalField().setValue(1200);
    dialog.spellBox().setChecked(false);
    dialog.lyricsCombo().select(1);
    EXPECT_TRUE(dialog.onCancel());
    EXPECT_EQ(settings.read(settings::kAudioInterval), 1200);
    EXPECT_EQ(settings.read(settings::kSpellOutWords), 0);
    EXPECT_EQ(settings.read(settings::kLyricsFormat), 1);
}

TEST_F(ConverterDialog, WithoutTheEncoderTheListSaysSoAndTheChoiceIsKept) {
    ProfileSettings::instance().writeInt(u"FlashWriting", u"LyricsFormat", 2);
    FlashWritingConverter& dialog = open("");
    ASSERT_EQ(dialog.lyricsCombo().itemCount(), 1);
    EXPECT_EQ(dialog.lyricsCombo().itemText(0), u"lame.exe is not found in the Plugins folder");
    dialog.onCancel();
    EXPECT_EQ(ProfileSettings::instance().read(settings::kLyricsFormat), 2);
}

TEST_F(ConverterDialog, StartConvertsTheRowsAndTheBarFollows) {
    ProfileSettings::instance().writeString(u"FlashWriting", u"AudioOutputPath",
                                            fromUtf8(m_out.path()));
    ProfileSettings::instance().writeInt(u"FlashWriting", u"AudioInterval", 300);
    FlashWritingConverter& dialog = open();
    test::sendNative(dialog.startButton().handle(), wxEVT_BUTTON);
    EXPECT_FALSE(dialog.startButton().isEnabled());
    EXPECT_TRUE(dialog.stopButton().isEnabled());
    ASSERT_TRUE(runUntilEnded(dialog));
    EXPECT_EQ(dialog.table().cellText(0, FlashWritingConverter::kProgressColumn), u"Complete");
    EXPECT_EQ(dialog.table().cellText(1, FlashWritingConverter::kProgressColumn), u"Complete");
    EXPECT_TRUE(fs::exists(m_out.file("1 lesson.mp3")));
    EXPECT_TRUE(fs::exists(m_out.file("2 lesson.mp3")));
    EXPECT_EQ(dialog.progressBar().value(), dialog.progressBar().range());
    EXPECT_EQ(dialog.timeLeftLabel().getText().rfind(u"2 of 2 files in ", 0), 0u);
    EXPECT_TRUE(dialog.startButton().isEnabled());
    EXPECT_FALSE(dialog.stopButton().isEnabled());
}

TEST_F(ConverterDialog, AMissingOutputFolderIsAskedForAndRefusalIsSaid) {
    ProfileSettings::instance().writeString(u"FlashWriting", u"AudioOutputPath",
                                            fromUtf8(m_out.file("gone")));
    FlashWritingConverter& dialog = open();
    m_ui->chosenFolders.push_back(std::nullopt);
    EXPECT_FALSE(dialog.start());
    ASSERT_EQ(m_ui->boxes.size(), 1u);
    EXPECT_EQ(m_ui->boxes[0].text, u"Couldn't select OutputFolder.");

    m_ui->chosenFolders.push_back(fromUtf8(m_out.path()));
    EXPECT_TRUE(dialog.start());
    EXPECT_EQ(dialog.outputField().getText(), fromUtf8(m_out.path()));
    // Closing while converting stops the conversion.
    dialog.onCancel();
    ASSERT_TRUE(runUntilEnded(dialog));
    EXPECT_FALSE(fs::exists(m_out.file("2 lesson.mp3")));
}

}  // namespace
}  // namespace pw
