// Subtitles imported with their MP3: each record's stretch of the recording,
// played into the test sink, is its cue's tone for as long as the cue.
#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "audio/AudioEngine.h"
#include "audio/BassPlayer.h"
#include "audio/tests/AudioTestSupport.h"
#include "content/SentenceImport.h"
#include "content/SentenceListModel.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

constexpr double kTolerance = 0.030;

bool waitUntilStopped(BassPlayer& player, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (player.isPlaying()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return true;
}

TEST(ImportPlayback, EachCuePlaysItsToneForAsLongAsTheCue) {
    ASSERT_TRUE(test::sinkReady());
    ASSERT_TRUE(AudioEngine::instance().initialize());
    test::TempDir dir;
    test::ScopedRecordingUi ui;

    // A tone around each cue of the subtitles, a little longer than the cue.
    fs::copy_file(test::sourceDir() + "/content/tests/fixtures/import/three-tones.srt",
                  dir.file("talk.srt"));
    test::writeTones(dir.file("talk.mp3"), 44100, 1,
                     {{0.5, 0}, {1.0, 440}, {0.3, 0}, {0.8, 660}, {0.3, 0}, {1.4, 880}, {0.5, 0}});
    struct Cue {
        double seconds;
        double frequency;
    };
    const Cue cues[] = {{0.8, 440}, {0.6, 660}, {1.2, 880}};

    SentenceImport import;
    ASSERT_TRUE(import.loadSource(dir.file("talk.srt")));
    fs::create_directory(dir.file("lessons"));
    const ImportOutcome outcome = import.write(dir.file("lessons/tones.xml"));
    ASSERT_EQ(outcome.status, kImportComplete)
        << std::string(outcome.summary.begin(), outcome.summary.end());
    EXPECT_TRUE(outcome.recordingCopied);

    SentenceListModel list;
    ASSERT_TRUE(list.open(dir.file("lessons/tones.xml")));
    ASSERT_EQ(list.recordCount(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        std::string path;
        int start = 0;
        int end = 0;
        ASSERT_TRUE(list.audioSource(i, path, start, end));
        EXPECT_EQ(path, dir.file("lessons/tones.mp3"));
        BassPlayer player;
        ASSERT_TRUE(player.open(path));
        const test::Sound sound = test::recordSink(dir.file("capture.wav"), [&] {
            ASSERT_TRUE(player.playSegment(start, end));
            EXPECT_TRUE(waitUntilStopped(player, 5000));
        });
        const test::Span span = test::findSound(sound);
        EXPECT_NEAR(span.length(), cues[i].seconds, kTolerance);
        EXPECT_NEAR(test::frequency(sound, span.start + 0.05, span.end - 0.05), cues[i].frequency,
                    cues[i].frequency * 0.02);
    }
    EXPECT_TRUE(ui->boxes.empty());
}

}  // namespace
}  // namespace pw
