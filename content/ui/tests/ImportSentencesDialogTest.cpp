// The import dialog under a display: files chosen through the chooser, the
// preview and column lists following the choice, and the learning file saved.
#include <filesystem>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>

#include "audio/tests/AudioTestSupport.h"
#include "content/SentenceListModel.h"
#include "content/ui/ImportSentencesDialog.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "gui/testsupport/GuiTest.h"

namespace pw {
namespace {
namespace fs = std::filesystem;
using Role = SentenceImportForm::Role;
using Id = ImportSentencesDialog::Id;

std::string fixture(const std::string& name) {
    return test::sourceDir() + "/content/tests/fixtures/import/" + name;
}

void click(BaseWindow& button, wxEventType type = wxEVT_BUTTON) {
    wxCommandEvent event(type, button.handle()->GetId());
    event.SetEventObject(button.handle());
    button.handle()->ProcessWindowEvent(event);
}

void pick(ImportSentencesDialog& dialog, Role role, int entry) {
    ComboBox& list = dialog.columnList(role);
    list.select(entry);
    dialog.onCommand({list.id(), codes::kSelectionChanged, list.handle()});
}

class ImportDialog : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedRecordingUi ui;
    test::HostWindow host{200, 100};
    ImportSentencesDialog dialog;
};

TEST_F(ImportDialog, SentencePairsArePreviewedWithTheirColumnsAndSaved) {
    fs::copy_file(fixture("lesson.csv"), dir.file("lesson.csv"));
    ui->chosenFiles = {fromUtf8(dir.file("lesson.csv")), fromUtf8(dir.file("my lesson"))};
    wxTheApp->CallAfter([&] {
        EXPECT_FALSE(dialog.handle(wxID_OK)->IsEnabled());
        click(dialog.button(ImportSentencesDialog::kSourceButton));
        EXPECT_EQ(dialog.pathField(ImportSentencesDialog::kSourceButton).getText(),
                  fromUtf8(dir.file("lesson.csv")));
        EXPECT_FALSE(dialog.button(ImportSentencesDialog::kRecordingButton).isEnabled());
        EXPECT_TRUE(dialog.headerRow().isChecked());
        EXPECT_EQ(dialog.columnList(Role::Sentence).itemText(1), u"Column 1: Sentence");
        EXPECT_EQ(dialog.columnList(Role::Explanation).selectedIndex(), 3);
        Table& preview = dialog.preview();
        EXPECT_EQ(preview.columnTitle(1), u"Sentence");
        ASSERT_EQ(preview.rowCount(), 4);
        EXPECT_EQ(preview.cellText(1, 1), u"Il fait beau, n'est-ce pas ?");
        EXPECT_EQ(preview.cellText(1, 3), u"<i>n'est-ce pas</i> asks for agreement");
        EXPECT_EQ(dialog.status().getText(), u"4 sentences will be imported.");

        // No notes, then the header row as a sentence and back.
        pick(dialog, Role::Explanation, 0);
        EXPECT_EQ(preview.cellText(1, 3), u"");
        dialog.headerRow().setChecked(false);
        click(dialog.headerRow(), wxEVT_CHECKBOX);
        EXPECT_EQ(preview.rowCount(), 5);
        dialog.headerRow().setChecked(true);
        click(dialog.headerRow(), wxEVT_CHECKBOX);
        EXPECT_EQ(preview.rowCount(), 4);
        click(*BaseWindow::fromHandle(dialog.handle(wxID_OK)));
    });
    EXPECT_EQ(dialog.showModal(host.handle()), wxID_OK);
    EXPECT_EQ(dialog.writtenPath(), dir.file("my lesson.xml"));
    ASSERT_EQ(ui->fileRequests.size(), 2u);
    EXPECT_TRUE(ui->fileRequests[1].save);
    EXPECT_EQ(ui->fileRequests[1].defaultName, u"lesson.xml");
    EXPECT_EQ(ui->fileRequests[1].initialDirectory, fromUtf8(dir.path()));
    EXPECT_TRUE(ui->boxes.empty());

    SentenceListModel list;
    ASSERT_TRUE(list.open(dialog.writtenPath()));
    ASSERT_EQ(list.recordCount(), 4);
    EXPECT_EQ(list.text(1, TextKind::Explanation), u"");
}

TEST_F(ImportDialog, SubtitlesTakeTheirRecordingAndTranslationsAndCancelWritesNothing) {
    fs::copy_file(fixture("interview.srt"), dir.file("talk.srt"));
    test::writeTones(dir.file("studio.wav"), 8000, 1, {{32.0, 0}});
    ui->chosenFiles = {fromUtf8(dir.file("talk.srt")), fromUtf8(dir.file("studio.wav")),
                       fromUtf8(fixture("corpus-pairs.tsv")),
                       fromUtf8(fixture("interview.fr.srt"))};
    wxTheApp->CallAfter([&] {
        click(dialog.button(ImportSentencesDialog::kSourceButton));
        EXPECT_TRUE(dialog.button(ImportSentencesDialog::kRecordingButton).isEnabled());
        EXPECT_FALSE(dialog.columnList(Role::Sentence).isEnabled());
        EXPECT_EQ(dialog.preview().columnTitle(0), u"Start");
        EXPECT_EQ(dialog.preview().cellText(0, 0), u"00:00:01.200");
        click(dialog.button(ImportSentencesDialog::kRecordingButton));
        EXPECT_EQ(dialog.pathField(ImportSentencesDialog::kRecordingButton).getText(),
                  fromUtf8(dir.file("studio.wav")));
        EXPECT_NE(dialog.status().getText().find(u"Recording: studio.wav"), std::u16string::npos);
        // A file that is no subtitles is refused with a word, and changes nothing.
        click(dialog.button(ImportSentencesDialog::kTranslationsButton));
        ASSERT_EQ(ui->boxes.size(), 1u);
        EXPECT_EQ(ui->boxes[0].text, u"corpus-pairs.tsv is no subtitle file (SRT or WebVTT).");
        EXPECT_EQ(dialog.preview().cellText(1, 3), u"");
        click(dialog.button(ImportSentencesDialog::kTranslationsButton));
        EXPECT_EQ(dialog.preview().cellText(1, 3),
                  u"Alors, comment avez-vous commencé à cuisiner ?");
        click(*BaseWindow::fromHandle(dialog.handle(wxID_CANCEL)));
    });
    EXPECT_EQ(dialog.showModal(host.handle()), wxID_CANCEL);
    EXPECT_TRUE(dialog.writtenPath().empty());
    EXPECT_FALSE(fs::exists(dir.file("talk.xml")));
}

}  // namespace
}  // namespace pw
