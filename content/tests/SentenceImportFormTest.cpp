// The import dialog's logic: the column lists, the preview as the choice
// changes, the status line, and the files a learner picks in turn.
#include <filesystem>

#include <gtest/gtest.h>

#include "audio/tests/AudioTestSupport.h"
#include "content/SentenceImportForm.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {
namespace fs = std::filesystem;
using Role = SentenceImportForm::Role;
using Texts = std::vector<std::u16string>;

std::string fixture(const std::string& name) {
    return test::sourceDir() + "/content/tests/fixtures/import/" + name;
}

TEST(SentenceImportForm, PairsShowTheirColumnsAndAPreviewThatFollowsTheChoice) {
    SentenceImportForm form;
    EXPECT_FALSE(form.hasSource());
    EXPECT_FALSE(form.canImport());
    ASSERT_TRUE(form.chooseSource(fixture("corpus-pairs.tsv")));
    EXPECT_FALSE(form.isSubtitles());
    EXPECT_EQ(
        form.columnChoices(),
        (Texts{u"(none)", u"Column 1: 1021", u"Column 2: I'm going to the market before\u2026",
               u"Column 3: 48812", u"Column 4: Ich gehe zum Markt, bevor er s\u2026"}));
    EXPECT_EQ(form.choice(Role::Sentence), 2);
    EXPECT_EQ(form.choice(Role::Translation), 4);
    EXPECT_EQ(form.choice(Role::Explanation), 0);
    EXPECT_EQ(form.previewTitles(), (Texts{u"Line", u"Sentence", u"Translation", u"Explanation"}));
    ASSERT_EQ(form.previewRows().size(), static_cast<size_t>(SentenceImportForm::kPreviewRows));
    EXPECT_EQ(form.previewRows()[1], (Texts{u"2", u"Could you open the window, please?",
                                            u"Könntest du bitte das Fenster öffnen?", u""}));
    EXPECT_EQ(form.statusText(), u"24 sentences will be imported.");
    EXPECT_TRUE(form.canImport());
    EXPECT_EQ(form.suggestedOutput(), fixture("corpus-pairs.xml"));

    // The other way round, with the ids as notes.
    form.setChoice(Role::Sentence, 4);
    form.setChoice(Role::Translation, 2);
    form.setChoice(Role::Explanation, 1);
    EXPECT_EQ(form.previewRows()[0],
              (Texts{u"1", u"Ich gehe zum Markt, bevor er schließt.",
                     u"I'm going to the market before it closes.", u"1021"}));
    form.setChoice(Role::Explanation, 0);
    EXPECT_EQ(form.previewRows()[0][3], u"");
}

TEST(SentenceImportForm, TheHeaderRowAndRowsThatWillBeSkippedShowInTheStatus) {
    SentenceImportForm form;
    ASSERT_TRUE(form.chooseSource(fixture("lesson.csv")));
    EXPECT_TRUE(form.headerRow());
    EXPECT_EQ(form.columnChoices()[1], u"Column 1: Sentence");
    EXPECT_EQ(form.previewRows()[0][0], u"2");
    EXPECT_EQ(form.statusText(), u"4 sentences will be imported.");
    form.setHeaderRow(false);
    EXPECT_EQ(form.columnChoices()[1], u"Column 1: Sentence");
    EXPECT_EQ(form.previewRows()[0], (Texts{u"1", u"Sentence", u"Translation", u"Notes"}));
    EXPECT_EQ(form.statusText(), u"5 sentences will be imported.");

    ASSERT_TRUE(form.chooseSource(fixture("short-rows.tsv")));
    EXPECT_EQ(form.statusText(),
              u"3 sentences will be imported. 2 rows cannot be read and will be skipped "
              u"(short-rows.tsv, line 2: the row has 1 field, but the sentence is in column 2, "
              u"short-rows.tsv, line 3: the sentence is empty).");
    form.setChoice(Role::Sentence, 0);
    EXPECT_FALSE(form.canImport());
    EXPECT_EQ(form.statusText().find(u"No sentence can be read. 5 rows cannot be read"), 0u);
}

TEST(SentenceImportForm, SubtitlesTakeARecordingAndTranslationsInTurn) {
    test::TempDir dir;
    const std::string source = dir.file("talk.srt");
    fs::copy_file(fixture("interview.srt"), source);
    SentenceImportForm form;
    ASSERT_TRUE(form.chooseSource(source));
    EXPECT_TRUE(form.isSubtitles());
    EXPECT_EQ(form.columnChoices(), Texts{u"(none)"});
    EXPECT_EQ(form.previewTitles(), (Texts{u"Start", u"End", u"Sentence", u"Translation"}));
    EXPECT_EQ(form.previewRows()[0],
              (Texts{u"00:00:01.200", u"00:00:03.400", u"Previously, on Morning Talk...", u""}));
    EXPECT_EQ(form.statusText(),
              u"9 sentences will be imported. 1 cue without words will be left out. No "
              u"recording: the voices will speak the sentences.");

    test::writeTones(dir.file("talk.wav"), 8000, 1, {{40.0, 0}});
    ASSERT_TRUE(form.chooseRecording(dir.file("talk.wav")));
    EXPECT_NE(form.statusText().find(u"Recording: talk.wav (00:00:40.000)."), std::u16string::npos);
    ASSERT_TRUE(form.chooseTranslations(fixture("interview.fr.srt")));
    EXPECT_EQ(form.previewRows()[1][3], u"Alors, comment avez-vous commencé à cuisiner ?");

    // A file that cannot be used keeps what was chosen.
    EXPECT_FALSE(form.chooseTranslations(fixture("corpus-pairs.tsv")));
    EXPECT_EQ(form.error(), u"corpus-pairs.tsv is no subtitle file (SRT or WebVTT).");
    EXPECT_FALSE(form.chooseRecording(dir.file("none.wav")));
    EXPECT_FALSE(form.chooseSource(fixture("unterminated-quote.tsv")));
    EXPECT_TRUE(form.isSubtitles());
    EXPECT_EQ(form.previewRows()[1][3], u"Alors, comment avez-vous commencé à cuisiner ?");

    const ImportOutcome outcome = form.run(form.suggestedOutput());
    EXPECT_EQ(outcome.status, kImportComplete);
    EXPECT_EQ(outcome.outPath, dir.file("talk.xml"));
    EXPECT_FALSE(outcome.recordingCopied);
}

}  // namespace
}  // namespace pw
