// Subtitles: cue times, the words of a cue without its markup, SubRip and
// WebVTT blocks with what is skipped or noted, and matching by overlap.
#include <gtest/gtest.h>

#include "content/Subtitles.h"
#include "core/Utf.h"

namespace pw {
namespace {

std::string utf8(std::u16string_view text) {
    return toUtf8(text);
}

struct Issue {
    ImportIssue::Kind kind;
    int line;
    std::u16string contains;
};

void expectIssues(const std::vector<ImportIssue>& issues, const std::vector<Issue>& expected) {
    ASSERT_EQ(issues.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(issues[i].kind, expected[i].kind) << i;
        EXPECT_EQ(issues[i].line, expected[i].line) << i;
        EXPECT_NE(issues[i].message.find(expected[i].contains), std::u16string::npos)
            << utf8(issues[i].message);
    }
}

TEST(Subtitles, CueTimes) {
    struct Case {
        std::u16string text;
        int ms;
    };
    const Case cases[] = {
        {u"00:00:01,000", 1000},
        {u"01:02:03.456", 3723456},
        {u"02:03.456", 123456},
        {u" 0:00:09,009 ", 9009},
        {u"99:59:59,999", 359999999},
        {u"00:01:02.5", -1},
        {u"00:01:02,50", -1},
        {u"00:01:02,5000", -1},
        {u"00:61:00,000", -1},
        {u"00:00:60,000", -1},
        {u"100:00:00,000", -1},
        {u"00:00:01;000", -1},
        {u"1,000", -1},
        {u"", -1},
        {u"-0:00:01,000", -1},
        {u"00:00:0a,000", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseCueTime(c.text), c.ms) << utf8(c.text);
    }
    EXPECT_EQ(formatCueTime(3723456), u"01:02:03.456");
}

TEST(Subtitles, TheWordsOfACueWithoutItsMarkup) {
    using Lines = std::vector<std::u16string_view>;
    struct Case {
        Lines lines;
        std::u16string words;
    };
    const Case cases[] = {
        {{u"<i>Hello</i> there,", u"my <b>friend</b>."}, u"Hello there, my friend."},
        {{u"{\\an8}Up here."}, u"Up here."},
        {{u"<v Roger Bingham>We are in</v> New York."}, u"We are in New York."},
        {{u"- Who's there?", u"-It's me."}, u"Who's there? It's me."},
        {{u"JOHN: Come in.", u"MRS. O'HARA: Thank you."}, u"Come in. Thank you."},
        {{u"- DR. WHO: Run!"}, u"Run!"},
        {{u"She said: wait.", u"Note: this stays."}, u"She said: wait. Note: this stays."},
        {{u"[DOOR SLAMS] Who's that?", u"(LAUGHING) (quietly) Ha."}, u"Who's that? (quietly) Ha."},
        {{u"[music]"}, u""},
        {{u"<font color=\"#ffffff\">White</font>"}, u"White"},
        {{u"What's your <00:00:19.500>favourite dish?"}, u"What's your favourite dish?"},
        {{u"<ruby>漢<rt>かん</rt>字<rt>じ</rt></ruby>です。"}, u"漢字です。"},
        {{u"今日は", u"いい天気ですね。"}, u"今日はいい天気ですね。"},
        {{u"Tom &amp; Jerry", u"&lrm;and&nbsp;co.\u200F"}, u"Tom &amp; Jerry and co."},
        {{u"I <3 you", u"  many   spaces\t"}, u"I &lt;3 you many spaces"},
        {{u"-5 degrees", u"-- and falling"}, u"-5 degrees -- and falling"},
        {{u"", u"   "}, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cleanCueText(c.lines), c.words) << utf8(c.words);
    }
}

TEST(Subtitles, SubRipCuesInTimeOrderWithWhatCouldNotBeRead) {
    const std::u16string text =
        u"1\r\n00:00:01,000 --> 00:00:02,000\r\nFirst.\r\n\r\n"                         // 1-4
        u"2\r\n00:00:05,000 --> 00:00:06,000 X1:10 Y1:20\r\nThird\r\nby time.\r\n\r\n"  // 5-9
        u"3\r\n00:00:03,000 --> 00:00:04,000\r\nSecond.\r\n"                            // 10-12
        u"4\r\n00:00:07,000 --> 00:00:08,000\r\nNo blank line before.\r\n\r\n"          // 13-16
        u"5\r\n00:00:09.5 --> 00:00:10,000\r\nBad time.\r\n\r\n"                        // 17-20
        u"6\r\n00:00:12,000 --> 00:00:11,000\r\nBackwards.\r\n\r\n"                     // 21-24
        u"2\r\n00:00:13,000 --> 00:00:14,000\r\n\r\n"                                   // 25-27
        u"Lost words\r\nwithout a time\r\n\r\n"                                         // 28-30
        u"8\r\n00:00:15,000 --> 00:00:16,000\r\n[APPLAUSE]\r\n";                        // 31-33
    const SubtitleTrack track = readSubtitles(text, SubtitleFormat::Srt);
    ASSERT_EQ(track.cues.size(), 4u);
    const std::pair<int, std::u16string> cues[] = {{1000, u"First."},
                                                   {3000, u"Second."},
                                                   {5000, u"Third by time."},
                                                   {7000, u"No blank line before."}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(track.cues[i].startMs, cues[i].first);
        EXPECT_EQ(track.cues[i].endMs, cues[i].first + 1000);
        EXPECT_EQ(track.cues[i].text, cues[i].second);
    }
    EXPECT_EQ(track.cues[1].line, 11);
    // The empty cue and the applause hold no words.
    EXPECT_EQ(track.cuesWithoutWords, 2);
    expectIssues(track.issues,
                 {{ImportIssue::Note, 13, u"blank line is missing"},
                  {ImportIssue::Skipped, 18, u"\"00:00:09.5 --> 00:00:10,000\" cannot be read"},
                  {ImportIssue::Skipped, 22, u"ends before it starts"},
                  {ImportIssue::Note, 25, u"cue number 2 comes after cue 6"},
                  {ImportIssue::Skipped, 28, u"no cue time here; 2 lines skipped"}});
}

TEST(Subtitles, WebVttHeaderBlocksIdentifiersAndSettings) {
    const std::u16string text =
        u"WEBVTT - a title\n\nNOTE a comment\nover lines\n\nSTYLE\n::cue { color: red }\n\n"
        u"REGION\nid:fred width:40%\n\n"
        u"first cue\n00:01.000 --> 00:02.500 line:0 align:start\n<v.loud Ann>Hi.</v>\n\n"
        u"00:00:03.000 --> 00:00:04.000\n42 is the answer.\n";
    const SubtitleTrack track = readSubtitles(text, SubtitleFormat::WebVtt);
    ASSERT_EQ(track.cues.size(), 2u);
    EXPECT_EQ(track.cues[0].startMs, 1000);
    EXPECT_EQ(track.cues[0].endMs, 2500);
    EXPECT_EQ(track.cues[0].text, u"Hi.");
    EXPECT_EQ(track.cues[1].text, u"42 is the answer.");
    EXPECT_TRUE(track.issues.empty());

    const SubtitleTrack headless =
        readSubtitles(u"00:01.000 --> 00:02.000\nHi.\n", SubtitleFormat::WebVtt);
    EXPECT_EQ(headless.cues.size(), 1u);
    expectIssues(headless.issues, {{ImportIssue::Note, 1, u"does not begin with \"WEBVTT\""}});

    EXPECT_EQ(subtitleFormatFor("a.srt", u"WEBVTT\n"), SubtitleFormat::WebVtt);
    EXPECT_EQ(subtitleFormatFor("a.VTT", u"1\n"), SubtitleFormat::WebVtt);
    EXPECT_EQ(subtitleFormatFor("a.txt", u"1\n"), SubtitleFormat::Srt);
    EXPECT_TRUE(looksLikeSubtitles("x/film.SRT", u""));
    EXPECT_TRUE(looksLikeSubtitles("x/captions.txt", u"WEBVTT\n"));
    EXPECT_FALSE(looksLikeSubtitles("x/pairs.tsv", u"1\tHello"));
}

SubtitleCue cue(int start, int end, std::u16string text) {
    return {0, start, end, std::move(text)};
}

TEST(Subtitles, TranslationsAreMatchedByOverlap) {
    const std::vector<SubtitleCue> cues = {
        cue(1000, 3000, u"A"),    // two halves of one translation
        cue(3000, 5000, u"B"),    //
        cue(6000, 9000, u"C"),    // two translations within it
        cue(10000, 12000, u"D"),  // a translation shifted a little
        cue(13000, 14000, u"E"),  // nothing near
        cue(20000, 22000, u"F"),  // only grazed by a translation of G
        cue(21800, 26000, u"G"),
    };
    const std::vector<SubtitleCue> others = {
        cue(1000, 5000, u"ab"),      cue(6100, 7400, u"c1"),     cue(7500, 8900, u"c2"),
        cue(10300, 12400, u"d"),     cue(15000, 16000, u"none"), cue(21900, 26100, u"g"),
        cue(26500, 27000, u"after"),
    };
    const std::vector<std::u16string> expected = {u"ab", u"ab", u"c1 c2", u"d", u"", u"", u"g"};
    EXPECT_EQ(matchByOverlap(cues, others), expected);

    // A translation that overlaps nothing by half still goes where it overlaps most.
    EXPECT_EQ(
        matchByOverlap({cue(0, 4000, u"x"), cue(5000, 9000, u"y")}, {cue(2900, 7000, u"late")}),
        (std::vector<std::u16string>{u"", u"late"}));
    EXPECT_EQ(matchByOverlap({}, others), std::vector<std::u16string>{});
}

}  // namespace
}  // namespace pw
