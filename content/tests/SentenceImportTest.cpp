// The importer: real-world sentence pairs and subtitles written into learning
// files that open as any other, encodings, what is skipped with its line,
// what is refused, and the recording placed beside the learning file.
#include <filesystem>

#include <gtest/gtest.h>

#include "audio/tests/AudioTestSupport.h"
#include "content/SentenceImport.h"
#include "content/SentenceListModel.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "xml/TextFile.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

std::string fixture(const std::string& name) {
    return test::sourceDir() + "/content/tests/fixtures/import/" + name;
}

struct Record {
    std::u16string sentence;
    std::u16string translation;
    std::u16string explanation;
    bool operator==(const Record&) const = default;
};

void PrintTo(const Record& r, std::ostream* out) {
    *out << "{" << toUtf8(r.sentence) << " | " << toUtf8(r.translation) << " | "
         << toUtf8(r.explanation) << "}";
}

// The records of a learning file as the program opens it.
std::vector<Record> opened(const std::string& path) {
    SentenceListModel list;
    EXPECT_TRUE(list.open(path)) << toUtf8(list.openError());
    std::vector<Record> records;
    for (int i = 0; i < list.recordCount(); ++i) {
        records.push_back({list.text(i, TextKind::Sentence), list.text(i, TextKind::Translation),
                           list.text(i, TextKind::Explanation)});
    }
    return records;
}

std::vector<int> issueLines(const std::vector<ImportIssue>& issues, ImportIssue::Kind kind) {
    std::vector<int> lines;
    for (const ImportIssue& issue : issues) {
        if (issue.kind == kind) {
            lines.push_back(issue.line);
        }
    }
    return lines;
}

class SentenceImportTest : public ::testing::Test {
protected:
    ImportOutcome importTo(SentenceImport& import, const std::string& name) {
        return import.write(m_dir.file(name));
    }

    test::TempDir m_dir;
    test::ScopedRecordingUi m_ui;
};

TEST_F(SentenceImportTest, RealWorldPairsImportCleanlyAndOpenAsLearningFiles) {
    struct Case {
        std::string file;
        SentenceImport::Columns columns;
        bool headerRow;
        size_t records;
        std::vector<std::pair<size_t, Record>> samples;
    };
    const Case cases[] = {
        {"corpus-pairs.tsv",
         {1, 3, -1},
         false,
         24,
         {{0,
           {u"I'm going to the market before it closes.", u"Ich gehe zum Markt, bevor er schließt.",
            u""}},
          {4,
           {u"\"Wait,\" she said, \"I forgot my keys.\"",
            u"„Warte“, sagte sie, „ich habe meine Schlüssel vergessen.“", u""}},
          {5, {u"He said \"no\" twice.", u"Er hat zweimal „nein“ gesagt.", u""}}}},
        {"flashcards.txt",
         {3, 4, -1},
         false,
         5,
         {{1, {u"Un billete de ida y vuelta, por favor.", u"A <b>return</b> ticket, please.", u""}},
          {2, {u"¿A qué hora sale<br>el tren?", u"What time does the train leave?", u""}},
          {3, {u"La cuenta,&nbsp;por favor.", u"The bill, please.\n(in a restaurant)", u""}},
          {4, {u"Sin \"picante\", por favor.", u"Not \"spicy\", please.", u""}}}},
        {"lesson.csv",
         {0, 1, 2},
         true,
         4,
         {{0, {u"Bonjour tout le monde.", u"Hello everyone.", u""}},
          {1,
           {u"Il fait beau, n'est-ce pas ?", u"It's nice out, isn't it?",
            u"<i>n'est-ce pas</i> asks for agreement"}},
          {2, {u"On se voit demain.", u"See you tomorrow.", u"informal; \"on\" for \"nous\""}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        SentenceImport import;
        ASSERT_TRUE(import.loadSource(fixture(c.file))) << toUtf8(import.failure());
        EXPECT_EQ(import.kind(), SentenceImport::Kind::SentencePairs);
        EXPECT_EQ(import.columns(), c.columns);
        EXPECT_EQ(import.hasHeaderRow(), c.headerRow);
        const ImportOutcome outcome = importTo(import, "out.xml");
        EXPECT_EQ(outcome.status, kImportComplete) << toUtf8(outcome.summary);
        EXPECT_TRUE(outcome.issues.empty());
        EXPECT_EQ(outcome.summary,
                  u"Imported " + fromUtf8(std::to_string(c.records)) + u" sentences into out.xml.");
        const std::vector<Record> records = opened(m_dir.file("out.xml"));
        ASSERT_EQ(records.size(), c.records);
        for (const auto& [index, record] : c.samples) {
            EXPECT_EQ(records[index], record) << index;
        }
    }
    EXPECT_TRUE(m_ui->boxes.empty());
}

TEST_F(SentenceImportTest, QuotesTabsLineBreaksAndTheMarkSurviveTheRoundTrip) {
    SentenceImport import;
    ASSERT_TRUE(import.loadSource(fixture("round-trip.tsv")));
    ASSERT_EQ(importTo(import, "round-trip.xml").status, kImportComplete);
    const std::vector<Record> expected = {
        {u"She said \"hello\".", u"Elle a dit « bonjour ».",
         u"Quotes doubled inside a quoted field"},
        {u"A tab\there", u"Une tabulation\tici", u"Both fields quoted"},
        {u"It's \"fine\" as it is", u"C'est « bien » ainsi", u"Quotes inside an unquoted field"},
        {u"Two\r\nlines", u"Deux lignes", u"A line break inside quotes"},
        {u"Plain row", u"Ligne simple", u""},
    };
    EXPECT_EQ(opened(m_dir.file("round-trip.xml")), expected);
}

TEST_F(SentenceImportTest, EveryEncodingTheTextReaderKnowsGivesTheSameSentences) {
    std::u16string text;
    for (int i = 0; i < 8; ++i) {
        const std::u16string n = fromUtf8(std::to_string(i));
        text +=
            n + u"\t駅はどこですか。番号" + n + u"\t" + n + u"0\tWhere is station " + n + u"?\n";
    }
    auto bigEndian = [](std::string bytes) {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            std::swap(bytes[i], bytes[i + 1]);
        }
        return bytes;
    };
    std::vector<std::pair<std::string, std::string>> files;
    for (int code : {kUtf16, kUtf8WithBom, kUtf8, kEucJp}) {
        std::string bytes;
        ASSERT_TRUE(encodeTextBytes(text, code, bytes)) << code;
        files.emplace_back("code" + std::to_string(code) + ".tsv", bytes);
        if (code == kUtf16) {
            files.emplace_back("utf16be.tsv", bigEndian(bytes));
        }
    }
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        test::writeAll(m_dir.file(name), bytes);
        SentenceImport import;
        ASSERT_TRUE(import.loadSource(m_dir.file(name))) << toUtf8(import.failure());
        const std::vector<ImportedSentence> sentences = import.plan();
        ASSERT_EQ(sentences.size(), 8u);
        EXPECT_EQ(sentences[3].sentence, u"駅はどこですか。番号3");
        EXPECT_EQ(sentences[3].translation, u"Where is station 3?");
    }
}

TEST_F(SentenceImportTest, PlainTextFieldsAreWrittenSoThatTheyShowAsTyped) {
    test::writeAll(m_dir.file("plain.txt"),
                   "#separator:Semicolon\n#html:false\nA < B & C;a <b>tag</b> shown as text\n");
    SentenceImport import;
    ASSERT_TRUE(import.loadSource(m_dir.file("plain.txt")));
    const std::vector<ImportedSentence> sentences = import.plan();
    ASSERT_EQ(sentences.size(), 1u);
    EXPECT_EQ(sentences[0].sentence, u"A &lt; B &amp; C");
    EXPECT_EQ(sentences[0].translation, u"a &lt;b&gt;tag&lt;/b&gt; shown as text");
}

TEST_F(SentenceImportTest, RowsThatCannotBeReadAreSkippedWithTheirLines) {
    SentenceImport import;
    ASSERT_TRUE(import.loadSource(fixture("short-rows.tsv")));
    EXPECT_EQ(import.columns(), (SentenceImport::Columns{1, 3, -1}));
    const ImportOutcome outcome = importTo(import, "short.xml");
    EXPECT_EQ(outcome.status, kImportPartial);
    EXPECT_EQ(outcome.sentences, 3);
    EXPECT_EQ(outcome.skipped, 2);
    EXPECT_EQ(issueLines(outcome.issues, ImportIssue::Skipped), (std::vector<int>{2, 3}));
    EXPECT_EQ(issueLines(outcome.issues, ImportIssue::Note), (std::vector<int>{6}));
    EXPECT_EQ(issueText(outcome.issues[0]),
              u"short-rows.tsv, line 2: the row has 1 field, but the sentence is in column 2");
    EXPECT_EQ(issueText(outcome.issues[1]), u"short-rows.tsv, line 3: the sentence is empty");
    EXPECT_EQ(outcome.summary, u"Imported 3 sentences into short.xml. 2 rows were skipped.");
    const std::vector<Record> expected = {{u"Good morning.", u"Guten Morgen.", u""},
                                          {u"Good night.", u"Gute Nacht.", u""},
                                          {u"See you.", u"", u""}};
    EXPECT_EQ(opened(m_dir.file("short.xml")), expected);
}

TEST_F(SentenceImportTest, WhatCannotBeImportedIsRefusedAndLeavesTheOldFileAlone) {
    const std::string out = m_dir.file("kept.xml");
    const std::string old = "<SentenceList><SentenceGroup /></SentenceList>";
    test::writeAll(out, old);
    test::writeAll(m_dir.file("empty.tsv"), "");
    test::writeAll(m_dir.file("binary.tsv"), std::string("a\0b\tc", 5));
    test::writeAll(m_dir.file("blank.tsv"), "\n\t\n  \n");
    test::writeAll(m_dir.file("no-sentences.tsv"), "1\t\tx\n2\t \ty\n");
    struct Case {
        std::string file;
        bool loads;
        std::u16string why;
    };
    const Case cases[] = {
        {"unterminated-quote.tsv", false,
         u"unterminated-quote.tsv, line 3: a quoted field is never closed"},
        {"missing.tsv", false, u"missing.tsv does not exist."},
        {"empty.tsv", false, u"empty.tsv is empty."},
        {"binary.tsv", false, u"binary.tsv is not a text file"},
        {"blank.tsv", true, u"No sentence could be read from blank.tsv. Nothing was written."},
        {"no-sentences.tsv", true,
         u"No sentence could be read from no-sentences.tsv. Nothing was written."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        SentenceImport import;
        const std::string source =
            fs::exists(fixture(c.file)) ? fixture(c.file) : m_dir.file(c.file);
        ASSERT_EQ(import.loadSource(source), c.loads);
        if (!c.loads) {
            EXPECT_EQ(import.failure().find(c.why), 0u) << toUtf8(import.failure());
            continue;
        }
        const ImportOutcome outcome = import.write(out);
        EXPECT_EQ(outcome.status, kImportFailed);
        EXPECT_EQ(outcome.summary, c.why);
        EXPECT_EQ(test::readAll(out), old);
    }
    // Nor is a learning file written over its source, or under another name.
    SentenceImport import;
    ASSERT_TRUE(import.loadSource(fixture("corpus-pairs.tsv")));
    EXPECT_EQ(import.write(fixture("corpus-pairs.tsv")).status, kImportFailed);
    EXPECT_EQ(import.write(m_dir.file("pairs.txt")).status, kImportFailed);
    EXPECT_FALSE(fs::exists(m_dir.file("pairs.txt")));
    EXPECT_EQ(import.write(out).status, kImportComplete);
    EXPECT_EQ(opened(out).size(), 24u);
}

TEST_F(SentenceImportTest, ColumnsAreChosenByNumberOrName) {
    test::writeAll(m_dir.file("named.tsv"),
                   "English\tGerman\tComment\nGood morning.\tGuten Morgen.\tgreeting\n");
    struct Case {
        std::string file;
        std::u16string text;
        bool accepted;
        SentenceImport::Columns columns;
        bool headerRow;
    };
    const Case cases[] = {
        {"corpus-pairs.tsv", u"2,4", true, {1, 3, -1}, false},
        {"corpus-pairs.tsv", u"4, 2, 1", true, {3, 1, 0}, false},
        {"corpus-pairs.tsv", u"2,,3", true, {1, -1, 2}, false},
        {"corpus-pairs.tsv", u"2", true, {1, -1, -1}, false},
        {"lesson.csv", u"translation,SENTENCE", true, {1, 0, -1}, true},
        {"named.tsv", u"English,German,Comment", true, {0, 1, 2}, true},
        {"flashcards.txt", u"5,4", true, {4, 3, -1}, false},
        {"corpus-pairs.tsv", u"5", false, {1, 3, -1}, false},
        {"corpus-pairs.tsv", u"0,1", false, {1, 3, -1}, false},
        {"corpus-pairs.tsv", u",2", false, {1, 3, -1}, false},
        {"corpus-pairs.tsv", u"1,2,3,4", false, {1, 3, -1}, false},
        {"lesson.csv", u"Sentence,Nope", false, {0, 1, 2}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.text));
        SentenceImport import;
        const std::string source =
            fs::exists(fixture(c.file)) ? fixture(c.file) : m_dir.file(c.file);
        ASSERT_TRUE(import.loadSource(source));
        EXPECT_EQ(import.setColumns(c.text), c.accepted);
        EXPECT_EQ(import.failure().empty(), c.accepted);
        EXPECT_EQ(import.columns(), c.columns);
        EXPECT_EQ(import.hasHeaderRow(), c.headerRow);
    }
    // The names made the first row a header: it is no sentence.
    SentenceImport import;
    ASSERT_TRUE(import.loadSource(m_dir.file("named.tsv")));
    EXPECT_FALSE(import.hasHeaderRow());
    ASSERT_TRUE(import.setColumns(u"English,German"));
    ASSERT_EQ(import.plan().size(), 1u);
    EXPECT_EQ(import.plan()[0].sentence, u"Good morning.");
}

// The English cues of the interview fixtures and their French partners.
const std::vector<Record> kInterview = {
    {u"Previously, on Morning Talk...", u"", u""},
    {u"So, how did you start cooking?", u"Alors, comment avez-vous commencé à cuisiner ?", u""},
    {u"My grandmother taught me. Really?", u"C'est ma grand-mère qui m'a appris. Vraiment ?", u""},
    {u"She always said: taste everything before you serve it.",
     u"Elle disait toujours : goûte tout avant de servir.", u""},
    {u"That's good advice.", u"C'est un bon conseil.", u""},
    {u"What's your favourite dish?", u"Quel est votre plat préféré ?", u""},
    {u"♪ Soup, soup, wonderful soup ♪", u"", u""},
    {u"Tom &amp; Jerry's café had the best one.", u"Le café de Tom et Jerry avait la meilleure.",
     u""},
    {u"Thank you for coming.", u"Merci d'être venue.", u""},
};
const std::pair<int, int> kInterviewTimes[] = {
    {1200, 3400},   {4000, 6500},   {7100, 9800},   {11500, 14250}, {15000, 17600},
    {18000, 21300}, {22000, 24900}, {25400, 28000}, {29000, 31500},
};

TEST_F(SentenceImportTest, SubtitlesBecomeRecordsOnTheRecordingWithTheirTranslations) {
    const std::string recording = m_dir.file("studio.wav");
    test::writeTones(recording, 8000, 1, {{32.0, 0}});
    for (const std::string file : {"interview.srt", "interview.vtt"}) {
        SCOPED_TRACE(file);
        const std::string out = m_dir.file(file + ".xml");
        SentenceImport import;
        ASSERT_TRUE(import.loadSource(fixture(file)));
        EXPECT_EQ(import.kind(), SentenceImport::Kind::Subtitles);
        EXPECT_TRUE(import.recordingPath().empty());
        ASSERT_TRUE(import.setRecording(recording)) << toUtf8(import.failure());
        EXPECT_EQ(import.recordingLengthMs(), 32000);
        ASSERT_TRUE(import.loadTranslations(fixture("interview.fr.srt")));
        const ImportOutcome outcome = import.write(out);
        EXPECT_EQ(outcome.status, kImportComplete) << toUtf8(outcome.summary);
        EXPECT_TRUE(outcome.issues.empty());
        EXPECT_EQ(outcome.withoutWords, 1);
        EXPECT_TRUE(outcome.recordingCopied);
        EXPECT_EQ(outcome.summary, u"Imported 9 sentences into " + fromUtf8(file) +
                                       u".xml. 1 cue without words was left out. The "
                                       u"recording was copied beside it as " +
                                       fromUtf8(file) + u".wav.");
        EXPECT_EQ(test::readAll(m_dir.file(file + ".wav")), test::readAll(recording));
        EXPECT_EQ(opened(out), kInterview);

        // Each sentence plays its cue's stretch of the recording beside it.
        SentenceListModel list;
        ASSERT_TRUE(list.open(out));
        for (int i = 0; i < list.recordCount(); ++i) {
            std::string path;
            int start = 0;
            int end = 0;
            ASSERT_TRUE(list.audioSource(i, path, start, end)) << i;
            EXPECT_EQ(path, m_dir.file(file + ".wav"));
            // Learning files keep hundredths of a second.
            EXPECT_EQ(start, kInterviewTimes[i].first / 10 * 10) << i;
            EXPECT_EQ(end, kInterviewTimes[i].second / 10 * 10) << i;
        }
    }
}

TEST_F(SentenceImportTest, MalformedSubtitlesImportWhatIsSoundAndSayWhatIsNot) {
    struct Case {
        std::string file;
        int status;
        int sentences;
        std::vector<int> skipped;
        std::vector<int> noted;
        std::u16string firstIssue;
    };
    const Case cases[] = {
        {"bad-timestamp.srt",
         kImportPartial,
         2,
         {6},
         {},
         u"bad-timestamp.srt, line 6: the cue time \"00:01:02.5 --> 00:01:04,000\" cannot be "
         u"read; the cue and 1 line skipped"},
        {"missing-blank-line.srt",
         kImportComplete,
         3,
         {},
         {4},
         u"missing-blank-line.srt, line 4: a blank line is missing before this cue (read all "
         u"the same)"},
        {"number-out-of-order.srt",
         kImportPartial,
         3,
         {14},
         {9},
         u"number-out-of-order.srt, line 9: cue number 2 comes after cue 3 (read all the same)"},
        {"stray-bom.srt",
         kImportComplete,
         3,
         {},
         {9, 9},
         u"stray-bom.srt, line 9: a byte-order mark in the middle of the file was removed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        SentenceImport import;
        ASSERT_TRUE(import.loadSource(fixture(c.file)));
        const ImportOutcome outcome = importTo(import, "malformed.xml");
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.sentences, c.sentences);
        EXPECT_EQ(issueLines(outcome.issues, ImportIssue::Skipped), c.skipped);
        EXPECT_EQ(issueLines(outcome.issues, ImportIssue::Note), c.noted);
        ASSERT_FALSE(outcome.issues.empty());
        EXPECT_EQ(issueText(outcome.issues[0]), c.firstIssue);
        EXPECT_EQ(opened(m_dir.file("malformed.xml")).size(), static_cast<size_t>(c.sentences));
    }
}

TEST_F(SentenceImportTest, TheRecordingGoesBesideTheLearningFileWithoutReplacingAnother) {
    const std::string source = m_dir.file("talk.srt");
    fs::copy_file(fixture("three-tones.srt"), source);
    test::writeTones(m_dir.file("talk.wav"), 8000, 1, {{5.0, 440}});
    test::writeTones(m_dir.file("other.wav"), 8000, 1, {{5.0, 880}});

    // The recording of the same name beside the subtitles is taken, and a
    // learning file beside both plays it where it is.
    SentenceImport import;
    ASSERT_TRUE(import.loadSource(source));
    EXPECT_EQ(import.recordingPath(), m_dir.file("talk.wav"));
    ImportOutcome outcome = import.write(m_dir.file("talk.xml"));
    EXPECT_EQ(outcome.status, kImportComplete);
    EXPECT_FALSE(outcome.recordingCopied);
    EXPECT_EQ(outcome.recordingPath, m_dir.file("talk.wav"));

    // Another learning file gets a copy; writing it again finds the copy.
    for (int run = 0; run < 2; ++run) {
        outcome = import.write(m_dir.file("copy.xml"));
        EXPECT_EQ(outcome.status, kImportComplete);
        EXPECT_EQ(outcome.recordingCopied, run == 0);
    }

    // A different recording in its place, or one that would be played
    // first, stops the import before anything is written.
    fs::copy_file(m_dir.file("other.wav"), m_dir.file("taken.wav"));
    outcome = import.write(m_dir.file("taken.xml"));
    EXPECT_EQ(outcome.status, kImportFailed);
    EXPECT_NE(outcome.summary.find(u"taken.wav already lies beside taken.xml"),
              std::u16string::npos);
    test::writeAll(m_dir.file("shadow.mp3"), "not this one");
    outcome = import.write(m_dir.file("shadow.xml"));
    EXPECT_EQ(outcome.status, kImportFailed);
    EXPECT_NE(outcome.summary.find(u"shadow.mp3 lies beside shadow.xml and would be played"),
              std::u16string::npos);
    for (const char* name : {"taken.xml", "shadow.xml", "shadow.wav"}) {
        EXPECT_FALSE(fs::exists(m_dir.file(name))) << name;
    }
    EXPECT_EQ(test::readAll(m_dir.file("taken.wav")), test::readAll(m_dir.file("other.wav")));

    // A learning file that cannot be written takes its copy of the
    // recording away again.
    fs::create_directory(m_dir.file("folder.xml"));
    outcome = import.write(m_dir.file("folder.xml"));
    EXPECT_EQ(outcome.status, kImportFailed);
    EXPECT_NE(outcome.summary.find(u"cannot be written"), std::u16string::npos);
    EXPECT_FALSE(fs::exists(m_dir.file("folder.wav")));

    // Cues after the end of the recording are skipped; without a recording
    // the sentences are spoken.
    test::writeTones(m_dir.file("short.wav"), 8000, 1, {{2.2, 440}});
    ASSERT_TRUE(import.setRecording(m_dir.file("short.wav")));
    outcome = import.write(m_dir.file("short.xml"));
    EXPECT_EQ(outcome.status, kImportPartial);
    EXPECT_EQ(outcome.sentences, 2);
    ASSERT_EQ(outcome.issues.size(), 1u);
    EXPECT_EQ(issueText(outcome.issues[0]),
              u"talk.srt, line 10: the cue starts at 00:00:03.000, after the end of the "
              u"recording (00:00:02.200)");
    import.clearRecording();
    outcome = import.write(m_dir.file("spoken.xml"));
    EXPECT_EQ(outcome.status, kImportComplete);
    EXPECT_NE(outcome.summary.find(u"There is no recording, so the voices will speak"),
              std::u16string::npos);

    // Recordings the program cannot play beside a learning file are refused.
    test::writeAll(m_dir.file("noise.mp3"), "no sound in here");
    test::writeAll(m_dir.file("talk.aiff"), "FORM");
    for (const char* name : {"noise.mp3", "talk.aiff", "gone.wav"}) {
        EXPECT_FALSE(import.setRecording(m_dir.file(name))) << name;
        EXPECT_FALSE(import.failure().empty());
    }
    EXPECT_TRUE(import.recordingPath().empty());
}

}  // namespace
}  // namespace pw
