// Fakes and a fixture shared by the practice tests: a speaker that records
// what it is asked, a clock the test moves, and a session over a learning
// file written for the test.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/ProfileSettings.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "practice/CharacterClasses.h"
#include "practice/PracticeSession.h"

namespace pw::test {

class RecordingSpeaker : public IPracticeSpeaker {
public:
    void speakSentence(const std::u16string& text) override {
        calls.push_back(u"sentence:" + text);
    }
    void speakTranslation(const std::u16string& text) override {
        calls.push_back(u"translation:" + text);
    }
    void speakWord(const std::u16string& word) override { calls.push_back(u"word:" + word); }
    bool playRecording(const std::string& path, int startMs, int endMs) override {
        calls.push_back(u"play:" + fromUtf8(path) + u":" + fromUtf8(std::to_string(startMs)) +
                        u":" + fromUtf8(std::to_string(endMs)));
        return playsRecordings;
    }
    void stop() override { ++stops; }
    void togglePause() override { calls.push_back(u"pause"); }
    bool isSpeaking() const override { return speaking; }
    bool isPlayingRecording() const override { return playing; }

    // What was said or played, stops left out.
    std::vector<std::u16string> calls;
    int stops = 0;
    bool playsRecordings = true;
    // What isSpeaking and isPlayingRecording say.
    bool speaking = false;
    bool playing = false;
};

class ManualClock : public Clock {
public:
    uint32_t now() override { return time; }
    uint32_t time = 1000;
};

class CountingKeySound : public KeySound {
public:
    void play() override { ++plays; }
    int plays = 0;
};

class RecordingListener : public PracticeSessionListener {
public:
    void practiceChanged(unsigned changes) override { notifications.push_back(changes); }
    std::vector<unsigned> notifications;
};

// One record of a learning file written for a test.
// The settings go to path while it lives, then back where they were.
class ScopedSettingsFile {
public:
    explicit ScopedSettingsFile(const std::string& path)
        : m_old(ProfileSettings::instance().path()) {
        ProfileSettings::instance().setPath(path);
    }
    ~ScopedSettingsFile() { ProfileSettings::instance().setPath(m_old); }
    ScopedSettingsFile(const ScopedSettingsFile&) = delete;
    ScopedSettingsFile& operator=(const ScopedSettingsFile&) = delete;

private:
    std::string m_old;
};

struct SentenceSpec {
    SentenceSpec(std::u16string sentence, std::u16string translation, std::u16string attributes,
                 std::u16string explanation = {})
        : sentence(std::move(sentence)),
          translation(std::move(translation)),
          attributes(std::move(attributes)),
          explanation(std::move(explanation)) {}

    std::u16string sentence;
    std::u16string translation;
    std::u16string attributes;  // written into the SentenceGroup tag as is
    std::u16string explanation;
};

// A learning file of those records.
inline void writeLearningFile(const std::string& path, const std::vector<SentenceSpec>& specs) {
    std::u16string xml = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<SentenceList>\r\n";
    for (const SentenceSpec& spec : specs) {
        xml += u"<SentenceGroup " + spec.attributes + u"><sentence><![CDATA[" + spec.sentence +
               u"]]></sentence><translation><![CDATA[" + spec.translation +
               u"]]></translation><explanation><![CDATA[" + spec.explanation +
               u"]]></explanation></SentenceGroup>\r\n";
    }
    xml += u"</SentenceList>\r\n";
    writeAll(path, toUtf8(xml));
}

// A session with its files, settings and fakes in a scratch folder.
class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(dir.file("phrasewright.ini"));
        PracticeSetup setup;
        setup.clock = &clock;
        setup.keySound = &keySound;
        setup.logPath = dir.file("Log.xml");
        setup.themePath = dir.file("ThemeList.xml");
        session = std::make_unique<PracticeSession>(speaker, setup);
        session->setListener(&listener);
        session->create();
    }
    ~SessionTest() override { ProfileSettings::instance().setPath(m_oldSettings); }

    // Writes and opens a learning file of specs in mode.
    void open(const std::vector<SentenceSpec>& specs, PracticeMode mode = PracticeMode::Dictation) {
        writeLearningFile(listPath(), specs);
        ASSERT_TRUE(session->openFile(fromUtf8(listPath())));
        setMode(mode);
    }
    // Opens one record per sentence.
    void openSentences(const std::vector<std::u16string>& sentences,
                       PracticeMode mode = PracticeMode::Dictation) {
        std::vector<SentenceSpec> specs;
        for (const std::u16string& sentence : sentences) {
            specs.push_back({sentence, u"訳", u""});
        }
        open(specs, mode);
    }
    void setMode(PracticeMode mode) {
        PracticeOptions options = session->options();
        options.mode = mode;
        session->setOptions(options);
    }
    std::string listPath() const { return dir.file("list.xml"); }

    void type(std::u16string_view keys) {
        for (char16_t c : keys) {
            session->onChar(c);
        }
    }
    // Types what the sentence asks for, from the cursor to the end.
    void typeRest() {
        const std::u16string target = session->sentence().targetText();
        for (size_t i = session->sentence().cursor(); i < target.size(); ++i) {
            if (typing::isWordChar(target[i])) {
                session->onChar(target[i]);
            }
        }
    }
    bool key(PracticeKey k, bool control = false) { return session->onKeyDown({k, control}); }
    bool keyUp(PracticeKey k, bool control = false) { return session->onKeyUp({k, control}); }

    std::u16string attribute(int row, std::u16string_view name) {
        return session->list().record(row)->getAttribute(name);
    }

    TempDir dir;
    ScopedRecordingUi ui;
    RecordingSpeaker speaker;
    ManualClock clock;
    CountingKeySound keySound;
    RecordingListener listener;
    std::unique_ptr<PracticeSession> session;

private:
    std::string m_oldSettings;
};

}  // namespace pw::test
