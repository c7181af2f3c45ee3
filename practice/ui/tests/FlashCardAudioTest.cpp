// Flash cards heard for real: a FlashWriting run of three cards in the
// practice pane, spoken by espeak-ng into the PulseAudio null sink, with the
// program's own clock. The sink must hold, in order, each card's sentence and
// translation, and between them the silences the pause rule gives for the
// speech the player measured.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "audio/AudioEngine.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/Random.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/tests/PracticeTestSupport.h"
#include "practice/ui/TypingPane.h"
#include "practice/ui/testsupport/KeyPresses.h"
#include "speech/tests/SpeechTestSupport.h"

namespace pw {
namespace {

// One side of a card as the player went through it, in tick milliseconds.
struct SpokenSide {
    int card = 0;
    int side = 0;
    uint32_t start = 0;
    uint32_t end = 0;
};

class FlashCardsHeard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::sinkReady());
        ASSERT_TRUE(AudioEngine::instance().initialize())
            << "The sink runs but the output did not open.";
    }

    // Two different English voices, so that the sides sound apart.
    void chooseVoices() {
        Speaker& speaker = pane->speaker();
        ChoiceList& list = speaker.voiceList(0);
        const int first = test::findEntry(list, u"English");
        ASSERT_GE(first, 0) << "no English voice";
        int second = first;
        for (int i = first + 1; i < list.count(); ++i) {
            if (list.text(i).rfind(u"English", 0) == 0) {
                second = i;
                break;
            }
        }
        speaker.selectVoice(0, first);
        speaker.selectVoice(1, second);
    }

    test::TempDir dir;
    test::ScopedSettingsFile settings{dir.file("phrasewright.ini")};
    test::ScopedRecordingUi ui;
    test::CountingKeySound keys;
    test::HostWindow host{900, 640};
    std::unique_ptr<TypingPane> pane;
};

TEST_F(FlashCardsHeard, ThreeCardsSpeakSentencePauseTranslationInOrder) {
    PracticeSetup setup;  // the program's own clock
    setup.keySound = &keys;
    setup.logPath = dir.file("Log.xml");
    setup.themePath = dir.file("ThemeList.xml");
    pane = std::make_unique<TypingPane>(setup);
    ASSERT_TRUE(pane->create(host, 0, 0, 900, 640));
    test::runEventsFor(50);
    chooseVoices();
    // Sentences of growing length, short translations.
    test::writeLearningFile(
        dir.file("cards.xml"),
        {{u"Good morning.", u"Hello.", u""},
         {u"Would you like a cup of tea?", u"Tea.", u""},
         {u"The last train leaves the station at seven every evening.", u"Train.", u""}});
    ASSERT_TRUE(pane->openFile(fromUtf8(dir.file("cards.xml"))));
    PracticeOptions options = pane->session().options();
    options.mode = PracticeMode::FlashWriting;
    pane->session().setOptions(options);
    constexpr int kPercent = 50;
    FlashCardPlayer& cards = pane->session().flashCards();
    cards.setFirstToSecond(true);
    cards.setPausePercent(kPercent);

    std::vector<SpokenSide> sides;
    uint32_t origin = 0;  // the tick at which the recording's body began
    const test::Sound sound = test::recordSink(dir.file("cards.wav"), [&] {
        origin = tickCount();
        test::sendNative(pane->modePane().startButton().handle(), wxEVT_BUTTON);
        const bool heard = test::runEventsUntil(
            [&] {
                const FlashCardPlayer::State state = cards.state();
                const bool waiting = state == FlashCardPlayer::kWaitFirstSide ||
                                     state == FlashCardPlayer::kWaitSecondSide;
                const bool pausing = state == FlashCardPlayer::kPauseFirstSide ||
                                     state == FlashCardPlayer::kPauseSecondSide;
                if (waiting && (sides.empty() || sides.back().start != cards.speakStart())) {
                    sides.push_back({cards.index(), cards.side(), cards.speakStart(), 0});
                }
                if (pausing && !sides.empty() && sides.back().end == 0) {
                    sides.back().end = cards.speakEnd();
                }
                return sides.size() == 6 && sides.back().end != 0;
            },
            60000);
        EXPECT_TRUE(heard) << "the cards did not get through";
        cards.stop();
    });
    ASSERT_EQ(sides.size(), 6u);
    for (size_t k = 0; k < sides.size(); ++k) {
        EXPECT_EQ(sides[k].card, static_cast<int>(k / 2)) << k;
        EXPECT_EQ(sides[k].side, static_cast<int>(k % 2)) << k;
    }

    // The pieces of sound, apart by more than the pauses between words.
    const test::Span all = test::findSound(sound);
    ASSERT_GT(all.length(), 2.0) << "nothing was heard";
    std::vector<test::Span> pieces;
    double from = all.start;
    for (const test::Span& gap : test::findGaps(sound, all.start, all.end, 0.3)) {
        pieces.push_back({from, gap.start});
        from = gap.end;
    }
    pieces.push_back({from, all.end});
    ASSERT_EQ(pieces.size(), 6u) << "sentence and translation of three cards";

    // Sentences grow from card to card; each translation is shorter than its sentence.
    for (size_t card = 0; card < 3; ++card) {
        EXPECT_GT(pieces[2 * card].length(), pieces[2 * card + 1].length()) << card;
        if (card > 0) {
            EXPECT_GT(pieces[2 * card].length(), pieces[2 * card - 2].length()) << card;
        }
    }

    // Where the player's ticks put each side on the recording: the output's
    // latency is the median distance between the two.
    const auto onRecording = [&](uint32_t tick) {
        return static_cast<int32_t>(tick - origin) / 1000.0;
    };
    std::vector<double> latencies;
    for (size_t k = 0; k < 6; ++k) {
        latencies.push_back(pieces[k].start - onRecording(sides[k].start));
    }
    std::vector<double> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    const double latency = (sorted[2] + sorted[3]) / 2;
    EXPECT_GT(latency, -0.05);
    EXPECT_LT(latency, 0.5);

    for (size_t k = 0; k < 6; ++k) {
        SCOPED_TRACE(testing::Message() << "side " << k);
        const uint32_t spoken = sides[k].end - sides[k].start;
        // Each piece starts when the player spoke it, and was over when it saw the end.
        EXPECT_NEAR(latencies[k], latency, 0.1);
        EXPECT_LT(pieces[k].end, onRecording(sides[k].end) + latency + 0.1);
        EXPECT_GT(static_cast<double>(spoken) / 1000, pieces[k].length());
        if (k + 1 < 6) {
            const uint32_t pause = FlashCardPlayer::pauseFor(spoken, kPercent);
            EXPECT_NEAR(static_cast<double>(sides[k + 1].start - sides[k].end), pause, 100.0)
                << "the pause after " << spoken << " ms of speech";
            EXPECT_GT(pieces[k + 1].start - pieces[k].end, pause / 1000.0 - 0.1)
                << "the silence at the sink is shorter than the pause";
        }
    }
}

}  // namespace
}  // namespace pw
