// phrasewright --say: its arguments, the speeds a learner hears, and the
// speaker's stored settings in the files it writes.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/SayCommand.h"
#include "app/cli/tests/RunCommand.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/ProfileSettings.h"
#include "core/testsupport/TestFiles.h"
#include "speech/tests/SpeechTestSupport.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string err;
};

class Say : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(dir.file("phrasewright.ini"));
        // The program's folder, where the speaker's dictionaries are.
        m_before = fs::current_path();
        fs::current_path(test::runtimeDir());
    }
    void TearDown() override {
        fs::current_path(m_before);
        ProfileSettings::instance().setPath(m_oldSettings);
    }

    Outcome say(std::vector<std::string> args, const std::string& text) {
        args.insert(args.begin(), "--say");
        std::ostringstream out, err;
        const int status = test::runCommand(args, out, err, text);
        return {status, err.str()};
    }

    test::TempDir dir;

private:
    std::string m_oldSettings;
    fs::path m_before;
};

TEST(SayArguments, WhatTheyMeanAndWhatIsRefused) {
    std::string error;
    auto parsed = parseSayArguments({"--voice", "2", "--rate", "-7", "--out", "a.wav"}, error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(parsed->voice, 2);
    EXPECT_EQ(parsed->rate, -7);
    EXPECT_EQ(parsed->out, "a.wav");
    parsed = parseSayArguments({"--out", "a.wav"}, error);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->voice, 1);
    EXPECT_FALSE(parsed->rate);

    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{}, "--out FILE.wav is needed"},
        {{"--out"}, "--out needs a value"},
        {{"--voice", "3", "--out", "a.wav"}, "--voice takes 1 or 2: 3"},
        {{"--rate", "-11", "--out", "a.wav"}, "--rate takes a speed from -10 to 10: -11"},
        {{"--rate", "2x", "--out", "a.wav"}, "--rate takes a speed from -10 to 10: 2x"},
        {{"--out", "a.wav", "extra"}, "unknown argument extra"},
    };
    for (const auto& [args, message] : refused) {
        EXPECT_FALSE(parseSayArguments(args, error));
        EXPECT_EQ(error, message);
    }
    std::ostringstream out, err;
    EXPECT_EQ(test::runCommand({"--say", "--voice", "0", "--out", "a.wav"}, out, err), 2);
    EXPECT_NE(err.str().find("Usage: phrasewright --say"), std::string::npos);
}

TEST_F(Say, EachSlowerSpeedIsSlowerAtTheSamePitch) {
    const std::string text = "Please take the second turning on the left after the bridge.";
    std::vector<test::SpokenSpeed> speeds;
    for (int rate : test::slowRates()) {
        const std::string path = dir.file("rate" + std::to_string(rate) + ".wav");
        const Outcome outcome = say({"--rate", std::to_string(rate), "--out", path}, text);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        const test::Sound sound = test::readSound(path);
        const test::Span span = test::findSound(sound);
        speeds.push_back({rate, span.length(), test::voicePitch(sound, span.start, span.end)});
    }
    test::expectSlowerAtEachStep(speeds);
}

TEST_F(Say, TheStoredSettingsApplyUnlessAnOptionSaysOtherwise) {
    ProfileSettings& settings = ProfileSettings::instance();
    settings.writeInt(u"Speaker", u"Rate2", -10);
    settings.writeInt(u"Speaker", u"Format", 4);  // 11kHz 8 Bit Mono
    const std::string text = "The meeting has been put off until next week.";
    const std::string stored = dir.file("stored.wav");
    const std::string faster = dir.file("faster.wav");
    ASSERT_EQ(say({"--voice", "2", "--out", stored}, text).status, 0);
    ASSERT_EQ(say({"--voice", "2", "--rate", "0", "--out", faster}, text).status, 0);
    const test::SoxInfo info = test::soxInfo(stored);
    EXPECT_EQ(info.rate, 11025);
    EXPECT_EQ(info.bits, 8);
    EXPECT_GT(info.seconds, 3.0 * test::soxInfo(faster).seconds);

    // Nothing to say writes nothing.
    const Outcome empty = say({"--out", dir.file("empty.wav")}, " \n");
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("nothing to say"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.file("empty.wav")));
}

}  // namespace
}  // namespace pw
