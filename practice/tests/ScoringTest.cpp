// Scores, what is stored after a sentence, trial numbers, the totals and
// "Log.xml", and Save with its question and its failures.
#include <filesystem>
#include <optional>

#include "practice/Scoring.h"
#include "practice/tests/PracticeTestSupport.h"

namespace pw {
namespace {

using test::SessionTest;
using test::writeLearningFile;

TEST(Scoring, ComputeScore) {
    struct Case {
        uint32_t elapsed, typing, misses;
        double score;
    };
    const Case cases[] = {
        {20000, 60, 0, 180.0}, {20000, 60, 6, 0.81 * 54 * 60 / 20},
        {0, 60, 0, 0},       // never timed (given up)
        {20000, 0, 0, 0},    // nothing typed
        {1, 10, 0, 600000},  // a millisecond is still a time
        {20000, 5, 9, 0},    // more misses than keys cannot go below nothing
    };
    for (const Case& c : cases) {
        SentenceStats stats;
        stats.elapsed = c.elapsed;
        stats.typingCount = c.typing;
        stats.missCount = c.misses;
        EXPECT_NEAR(computeScore(stats), c.score, 1e-9) << c.elapsed << " " << c.typing;
    }
    EXPECT_EQ(scoreLabel(131.22, 100), u"HighScore: 131.2");
    EXPECT_EQ(scoreLabel(180.0, 180.0), u"Score: 180.0");
    EXPECT_EQ(scoreLabel(0, 0), u"Score: 0.0");
}

// Sixty characters to type: twelve five-letter words with spaces between.
const std::u16string kSixty = u"abcde abcde abcde abcde abcde abcde abcde abcde abcde abcdef";

class Results : public SessionTest {
protected:
    // Starts the only question, types it with misses wrong letters first and
    // lets ms pass.
    void practise(uint32_t misses, uint32_t ms) {
        ASSERT_TRUE(session->startRun(RunKind::AllRows));
        for (uint32_t i = 0; i < misses; ++i) {
            type(u"z");
        }
        clock.time += ms;
        typeRest();
        ASSERT_EQ(session->state(), PracticeState::Answer);
    }
};

TEST_F(Results, ABetterScoreIsStoredForTheModesSide) {
    ASSERT_EQ(kSixty.size(), 60u);
    open({{kSixty, u"", u"dictationScore=\"100\" writingScore=\"5\""}});
    practise(0, 20000);
    EXPECT_EQ(session->view().scoreLabel, u"HighScore: 180.0");
    EXPECT_EQ(attribute(0, u"dictationScore"), u"180.0");
    EXPECT_EQ(attribute(0, u"writingScore"), u"5");

    open({{kSixty.substr(0, 54), u"", u"dictationScore=\"100\""}}, PracticeMode::Writing);
    practise(6, 20000);
    EXPECT_EQ(session->view().scoreLabel, u"HighScore: 131.2");
    EXPECT_EQ(attribute(0, u"writingScore"), u"131.2");
    EXPECT_EQ(attribute(0, u"dictationScore"), u"100");
}

TEST_F(Results, AnEqualOrLowerScoreIsNotStored) {
    open({{kSixty, u"", u"dictationScore=\"180\""}});
    practise(0, 20000);
    EXPECT_EQ(session->view().scoreLabel, u"Score: 180.0");
    EXPECT_EQ(attribute(0, u"dictationScore"), u"180");
}

TEST_F(Results, FreeModeShowsAScoreButNeverStoresIt) {
    open({{kSixty, u"", u""}}, PracticeMode::Free);
    practise(0, 20000);
    EXPECT_EQ(session->view().scoreLabel, u"HighScore: 180.0");
    EXPECT_FALSE(session->list().record(0)->hasAttribute(u"dictationScore"));
    EXPECT_EQ(attribute(0, u"trialNumber"), u"1");
}

TEST_F(Results, TrialNumbersGrowToOneHundredAndOne) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"", u"1"}, {u"7", u"8"}, {u"100", u"101"}, {u"101", u"101"}, {u"300", u"45"}};
    for (const auto& [stored, next] : cases) {
        open({{u"go", u"", stored.empty() ? u"" : u"trialNumber=\"" + stored + u"\""}});
        practise(0, 1000);
        EXPECT_EQ(attribute(0, u"trialNumber"), next) << toUtf8(stored);
    }
}

TEST_F(Results, GivingUpStoresAndCountsNothing) {
    open({{u"Give up now", u"", u"dictationScore=\"50\" trialNumber=\"3\""}});
    session->startRun(RunKind::AllRows);
    type(u"Givx");
    clock.time += 5000;
    EXPECT_TRUE(key(PracticeKey::Escape));
    EXPECT_EQ(session->state(), PracticeState::Answer);
    EXPECT_EQ(session->view().scoreLabel, u"Score: 0.0");
    EXPECT_EQ(session->view().sentenceLines, std::vector<std::u16string>{u"Give up now"});
    EXPECT_EQ(attribute(0, u"dictationScore"), u"50");
    EXPECT_EQ(attribute(0, u"trialNumber"), u"3");
    const PracticeTotals& totals = session->results().history().totals();
    EXPECT_EQ(totals.totalTime, 0u);
    EXPECT_EQ(totals.typingCount, 0u);
    EXPECT_EQ(totals.typingSentenceCount, 0u);
    EXPECT_FALSE(session->hasUnsavedResults());
}

TEST_F(Results, TotalsGrowWithEachCompletedSentence) {
    open({{u"Don't stop.", u"", u""}, {u"Go on", u"", u""}});
    session->startRun(RunKind::AllRows);
    type(u"Dxon't stop");
    clock.time += 0;  // the first sentence took no time
    key(PracticeKey::Space);
    clock.time += 2500;
    type(u"Go on");
    const PracticeTotals& totals = session->results().history().totals();
    EXPECT_EQ(totals.totalTime, 2500u);
    EXPECT_EQ(totals.typingCount, 16u);
    EXPECT_EQ(totals.missTypingCount, 1u);
    EXPECT_EQ(totals.typingWordCount, 4u);
    EXPECT_EQ(totals.typingSentenceCount, 2u);
}

TEST(HistoryManager, ReadsWritesAndSummarisesTheTotals) {
    test::TempDir dir;
    test::ScopedRecordingUi ui;
    const std::string path = dir.file("Log.xml");

    HistoryManager missing(path);
    missing.load();
    EXPECT_EQ(missing.totals().totalTime, 0u);
    missing.totals().totalTime = 3723000;
    missing.totals().typingCount = 12;
    missing.totals().typingSentenceCount = 4000000000u;  // above a signed int
    ASSERT_TRUE(missing.save());

    HistoryManager again(path);
    again.load();
    EXPECT_EQ(again.totals().totalTime, 3723000u);
    EXPECT_EQ(again.totals().typingSentenceCount, 4000000000u);
    using Lines = std::vector<std::pair<std::u16string, std::u16string>>;
    EXPECT_EQ(again.summaryLines(), (Lines{{u"Time:", u"01:02:03"},
                                           {u"Typing:", u"12      "},
                                           {u"Miss:", u"0       "},
                                           {u"Word:", u"0       "},
                                           {u"Sentence:", u"4000000000"}}));
    again.totals().totalTime = 100 * 3600 * 1000;  // hours do not wrap at 24
    EXPECT_EQ(again.summaryLines()[0].second, u"100:00:00");

    PracticeTotals::add(again.totals().totalTime, UINT32_MAX);  // stops at the top
    EXPECT_EQ(again.totals().totalTime, UINT32_MAX);

    // Unreadable values read as 0.
    test::writeAll(path,
                   "<Log><Record totalTime=\"-5\" typingCount=\"x\" missTypingCount=\"7\"/></Log>");
    HistoryManager odd(path);
    odd.load();
    EXPECT_EQ(odd.totals().totalTime, 0u);
    EXPECT_EQ(odd.totals().typingCount, 0u);
    EXPECT_EQ(odd.totals().missTypingCount, 7u);
}

TEST(HistoryManager, AMalformedLogIsKeptAsABackupAndReportedOnce) {
    test::TempDir dir;
    test::ScopedRecordingUi ui;
    const std::string path = dir.file("Log.xml");
    const std::string malformed = "<Log><Record totalTime=\"3723000\"></Log>";
    test::writeAll(path, malformed);

    HistoryManager log(path);
    log.load();
    EXPECT_EQ(log.totals().totalTime, 0u);
    ASSERT_EQ(ui->boxes.size(), 1u);  // the parse error is part of it, not a box of its own
    EXPECT_NE(ui->boxes[0].text.find(u"Log.xml.bak"), std::u16string::npos);
    EXPECT_NE(ui->boxes[0].text.find(u"XMLParser line:516"), std::u16string::npos);
    EXPECT_EQ(test::readAll(path), malformed);  // nothing is written before a save

    log.totals().typingCount = 5;
    ASSERT_TRUE(log.save());
    EXPECT_EQ(test::readAll(log.backupPath()), malformed);
    log.totals().typingCount = 6;
    ASSERT_TRUE(log.save());
    EXPECT_EQ(test::readAll(log.backupPath()), malformed);  // the first copy stays

    HistoryManager again(path);
    again.load();
    EXPECT_EQ(again.totals().typingCount, 6u);
    EXPECT_EQ(ui->boxes.size(), 1u);

    // An empty log is a new one: nothing to keep, nothing to tell.
    std::filesystem::remove(log.backupPath());
    test::writeAll(path, "");
    HistoryManager empty(path);
    empty.load();
    ASSERT_TRUE(empty.save());
    EXPECT_EQ(ui->boxes.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(log.backupPath()));

    // A backup that cannot be written stops the save rather than lose the file.
    test::writeAll(path, malformed);
    std::filesystem::create_directory(log.backupPath());
    HistoryManager blocked(path);
    blocked.load();
    std::string error;
    EXPECT_FALSE(blocked.save(&error));
    EXPECT_NE(error.find("could not be kept"), std::string::npos) << error;
    EXPECT_EQ(test::readAll(path), malformed);
}

class Saving : public SessionTest {};

TEST_F(Saving, NoWritesNothing) {
    open({{u"Go", u"", u""}});
    session->startRun(RunKind::AllRows);
    type(u"go");
    const std::string before = test::readAll(listPath());
    ui->answers.push_back(IdNo);
    EXPECT_FALSE(session->save(u"notes"));
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0].text, u"データを保存しますか。");
    EXPECT_EQ(ui->boxes[0].caption, u"Do you want to save the results?");
    EXPECT_EQ(ui->boxes[0].flags & MbButtonMask, unsigned(MbYesNo));
    EXPECT_EQ(test::readAll(listPath()), before);
    EXPECT_FALSE(std::filesystem::exists(dir.file("Log.xml")));
    EXPECT_TRUE(session->hasUnsavedResults());
}

TEST_F(Saving, FailedWritesAreReportedAndTheResultsKept) {
    // The learning file's folder disappears and a folder stands where the
    // log goes: neither can be written.
    const std::string folder = dir.file("gone");
    const std::string file = folder + "/list.xml";
    std::filesystem::create_directory(folder);
    writeLearningFile(file, {{u"Go", u"", u""}});
    ASSERT_TRUE(session->openFile(fromUtf8(file)));
    session->startRun(RunKind::AllRows);
    clock.time += 1000;
    type(u"go");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(dir.file("Log.xml"));

    ui->answers.push_back(IdYes);
    EXPECT_FALSE(session->save(u"My notes"));
    ASSERT_EQ(ui->boxes.size(), 2u);
    for (const std::string& path : {file, dir.file("Log.xml")}) {
        EXPECT_NE(ui->boxes[1].text.find(fromUtf8(path)), std::u16string::npos) << path;
    }
    EXPECT_EQ(ui->boxes[1].flags & MbIconMask, unsigned(MbIconError));
    EXPECT_TRUE(session->hasUnsavedResults());

    // Once both can be written, Save writes what was kept.
    std::filesystem::create_directory(folder);
    std::filesystem::remove(dir.file("Log.xml"));
    ui->answers.push_back(IdYes);
    EXPECT_TRUE(session->save(u"My notes"));
    EXPECT_FALSE(session->hasUnsavedResults());
    SentenceListModel saved;
    ASSERT_TRUE(saved.open(file));
    EXPECT_EQ(saved.getDescription(), u"My notes");
    EXPECT_EQ(saved.record(0)->getAttribute(u"trialNumber"), u"1");
    HistoryManager log(dir.file("Log.xml"));
    log.load();
    EXPECT_EQ(log.totals().totalTime, 1000u);
}

TEST_F(Saving, ClosingAsksOnlyWhenSomethingChanged) {
    open({{u"Go", u"", u""}});
    session->finish(session->list().getDescription());
    EXPECT_TRUE(ui->boxes.empty());
    session->startRun(RunKind::AllRows);
    type(u"go");
    ui->answers.push_back(IdNo);
    session->finish(session->list().getDescription());
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0].text, PracticeSession::kSaveQuestion);
}

// Before another file is opened: No lets the results go, Yes saves them, and
// a Yes whose writes fail keeps them (and the file) for another try.
TEST_F(Saving, ReleasingTheFileAsksLikeClosing) {
    struct Case {
        int answer;
        bool writable;
        bool released;
        bool saved;
    };
    for (const Case& c : {Case{IdNo, true, true, false}, Case{IdYes, true, true, true},
                          Case{IdYes, false, false, false}}) {
        SCOPED_TRACE(testing::Message() << c.answer << " " << c.writable);
        open({{u"Go", u"", u""}});
        EXPECT_TRUE(session->releaseFile(session->list().getDescription()));
        EXPECT_TRUE(ui->boxes.empty());  // nothing to save yet

        session->startRun(RunKind::AllRows);
        type(u"go");
        if (!c.writable) {
            std::filesystem::create_directory(dir.file("Log.xml"));
        }
        ui->answers.push_back(c.answer);
        EXPECT_EQ(session->releaseFile(session->list().getDescription()), c.released);
        EXPECT_EQ(ui->boxes.at(0).text, PracticeSession::kSaveQuestion);
        EXPECT_EQ(session->hasUnsavedResults(), !c.saved);
        EXPECT_EQ(std::filesystem::is_regular_file(dir.file("Log.xml")), c.saved);
        std::filesystem::remove_all(dir.file("Log.xml"));
        ui->boxes.clear();
    }
}

// Closing with results that cannot be written: the learner tries again,
// saves the learning file elsewhere, or stays with the results in memory.
TEST_F(Saving, AFailedSaveAtCloseOffersToTryAgainToSaveElsewhereOrToStay) {
    namespace fs = std::filesystem;
    const std::string elsewhere = dir.file("elsewhere.xml");
    struct Case {
        const char* what;
        std::vector<int> answers;  // after Yes to the save question
        std::optional<std::u16string> chosen;
        bool closes;
        bool savedInPlace;
        bool savedElsewhere;
    };
    const Case cases[] = {
        {"stays", {IdCancel}, std::nullopt, false, false, false},
        {"tries again once writable", {IdYes}, std::nullopt, true, true, false},
        {"saves elsewhere", {IdNo}, fromUtf8(elsewhere), true, false, true},
        {"gives up choosing a file, then stays",
         {IdNo, IdCancel},
         std::nullopt,
         false,
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(elsewhere);
        open({{u"Go", u"", u""}});
        session->startRun(RunKind::AllRows);
        type(u"go");
        fs::permissions(listPath(), fs::perms::owner_read | fs::perms::group_read);
        ui->boxes.clear();
        ui->answers = {IdYes};
        ui->answers.insert(ui->answers.end(), c.answers.begin(), c.answers.end());
        ui->chosenFiles = {c.chosen};
        // The learner makes the file writable while the question is up.
        ui->onBox = [&](const test::RecordedBox& box) {
            if (c.savedInPlace && (box.flags & MbButtonMask) == MbYesNoCancel) {
                fs::permissions(listPath(), fs::perms::owner_all);
            }
        };
        EXPECT_EQ(session->finish(session->list().getDescription()), c.closes);
        ui->onBox = nullptr;
        ASSERT_GE(ui->boxes.size(), 2u);
        EXPECT_NE(ui->boxes[1].text.find(fromUtf8(listPath())), std::u16string::npos);
        EXPECT_EQ(ui->boxes[1].flags & MbButtonMask, unsigned(MbYesNoCancel));
        EXPECT_EQ(session->hasUnsavedResults(), !c.closes);
        fs::permissions(listPath(), fs::perms::owner_all);
        SentenceListModel inPlace;
        ASSERT_TRUE(inPlace.open(listPath()));
        EXPECT_EQ(inPlace.record(0)->getAttribute(u"trialNumber") == u"1", c.savedInPlace);
        EXPECT_EQ(fs::exists(elsewhere), c.savedElsewhere);
        if (c.savedElsewhere) {
            SentenceListModel saved;
            ASSERT_TRUE(saved.open(elsewhere));
            EXPECT_EQ(saved.record(0)->getAttribute(u"trialNumber"), u"1");
        }
    }
}

}  // namespace
}  // namespace pw
