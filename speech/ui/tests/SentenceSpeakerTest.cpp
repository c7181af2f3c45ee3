// The sentence speaker pane: its controls, their ranges and tooltips, and
// what the learner's changes do.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/tooltip.h>
#include <wx/window.h>

#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"
#include "speech/tests/SpeechFakes.h"
#include "speech/ui/SentenceSpeaker.h"

namespace pw {
namespace {

std::u16string tipOf(BaseWindow& control) {
    const wxToolTip* tip = control.handle()->GetToolTip();
    return tip ? fromWx(tip->GetTip()) : std::u16string();
}

// As if the learner had changed the control.
void userChanges(BaseWindow& control, wxEventType type) {
    wxCommandEvent event(type, control.handle()->GetId());
    event.SetEventObject(control.handle());
    control.handle()->ProcessWindowEvent(event);
}

class SentenceSpeakerPane : public ::testing::Test {
protected:
    void SetUp() override {
        auto player = std::make_unique<test::FakePlayer>();
        m_player = player.get();
        m_speaker = std::make_unique<Speaker>(std::move(player), m_voices.factory());
        m_speaker->initialize();
        m_pane = std::make_unique<SentenceSpeaker>(*m_speaker);
        ASSERT_TRUE(m_pane->create(m_host, 0, 0, 300, 400));
        ASSERT_EQ(m_voices.made.size(), 2u);
    }
    void TearDown() override {
        m_pane.reset();
        m_speaker->close();
    }

    test::ScopedRecordingUi m_ui;
    test::HostWindow m_host{320, 420};
    test::FakeVoices m_voices;
    test::FakePlayer* m_player = nullptr;
    std::unique_ptr<Speaker> m_speaker;
    std::unique_ptr<SentenceSpeaker> m_pane;
};

TEST_F(SentenceSpeakerPane, ControlsWithTheirTextsRangesAndTooltips) {
    SentenceSpeaker& pane = *m_pane;
    EXPECT_EQ(pane.voiceGroup().getText(), u"Voice");
    struct Tip {
        BaseWindow& control;
        std::u16string tip;
    };
    const Tip tips[] = {
        {pane.voiceOn(0), u"Voice1 を使用する場合はチェックしてください"},
        {pane.voiceOn(1), u"Voice2 を使用する場合はチェックしてください"},
        {pane.voiceChooser(0), u"Voice1 に関して設定する場合はチェックしてください"},
        {pane.voiceChooser(1), u"Voice2 に関して設定する場合はチェックしてください"},
        {pane.sentenceAudio(),
         u"センテンスに関連付けられた音声ファイルを使用する場合はチェックしてください"},
        {pane.playbackSpeed(), u"音声ファイル再生速度 (50-200%)"},
        {pane.dictionaryButton(), u"この辞書は SAPI を使った音声読み上げ時に使用します"},
    };
    for (const Tip& t : tips) {
        EXPECT_EQ(tipOf(t.control), t.tip);
    }
    EXPECT_EQ(pane.voiceChooser(0).getText(), u"1");
    EXPECT_EQ(pane.voiceChooser(1).getText(), u"2");
    EXPECT_EQ(pane.speedLabel(0).getText(), u"Voice1 Speed");
    EXPECT_EQ(pane.speedLabel(1).getText(), u"Voice2 Speed");
    EXPECT_EQ(pane.dictionaryButton().getText(), u"辞書");
    EXPECT_FALSE(pane.dictionaryButton().isEnabled()) << "until the program says how to open it";
    int opened = 0;
    pane.setDictionaryOpener([&] { ++opened; });
    EXPECT_TRUE(pane.dictionaryButton().isEnabled());
    wxCommandEvent click(wxEVT_BUTTON, pane.dictionaryButton().handle()->GetId());
    click.SetEventObject(pane.dictionaryButton().handle());
    pane.dictionaryButton().handle()->ProcessWindowEvent(click);
    EXPECT_EQ(opened, 1);

    for (int i = 0; i < 2; ++i) {
        auto* spin = dynamic_cast<wxSpinCtrl*>(pane.speedField(i).handle());
        ASSERT_NE(spin, nullptr);
        EXPECT_EQ(spin->GetMin(), -10);
        EXPECT_EQ(spin->GetMax(), 10);
        EXPECT_EQ(pane.voiceCombo(i).itemCount(), 2);
        EXPECT_EQ(pane.voiceCombo(i).itemText(0), u"Voice A");
    }
    auto* playback = dynamic_cast<wxSpinCtrl*>(pane.playbackSpeed().handle());
    EXPECT_EQ(playback->GetMin(), 50);
    EXPECT_EQ(playback->GetMax(), 200);
    EXPECT_FALSE(pane.playbackSpeed().isEnabled()) << "only with sentence audio";
    auto* slider = dynamic_cast<wxSlider*>(pane.volume().handle());
    EXPECT_EQ(slider->GetMin(), 0);
    EXPECT_EQ(slider->GetMax(), 100);
    EXPECT_EQ(slider->GetValue(), 100);
    EXPECT_EQ(pane.formatCombo().itemCount(), 36);

    // Voice 1's controls show, voice 2's wait behind "2".
    EXPECT_TRUE(pane.voiceChooser(0).isChecked());
    EXPECT_TRUE(pane.voiceCombo(0).isVisible());
    EXPECT_FALSE(pane.voiceCombo(1).isVisible());
    EXPECT_FALSE(pane.speedField(1).isVisible());
}

TEST_F(SentenceSpeakerPane, SettingsComeIntoTheControlsAndGoBack) {
    test::TempDir dir;
    ProfileSettings settings;
    settings.setPath(dir.file("pane.ini"));
    m_pane->loadSettings(settings);
    EXPECT_EQ(m_pane->formatCombo().getText(), u"16kHz 16 Bit Mono");
    EXPECT_TRUE(m_pane->voiceOn(0).isChecked());
    EXPECT_EQ(m_pane->playbackSpeed().value(), 100);

    settings.writeInt(u"Speaker", u"Voice2", 1);
    settings.writeInt(u"Speaker", u"Rate2", -6);
    settings.writeInt(u"Speaker", u"Enable2", 0);
    settings.writeInt(u"Speaker", u"Rate", 175);
    m_pane->loadSettings(settings);
    EXPECT_EQ(m_pane->voiceCombo(1).selectedIndex(), 1);
    EXPECT_EQ(m_pane->speedField(1).value(), -6);
    EXPECT_FALSE(m_pane->voiceOn(1).isChecked());
    EXPECT_FALSE(m_pane->voiceCombo(1).isEnabled());
    EXPECT_FALSE(m_pane->speedField(1).isEnabled());
    EXPECT_EQ(m_pane->playbackSpeed().value(), 175);

    m_pane->saveSettings(settings);
    EXPECT_EQ(settings.readInt(u"Speaker", u"Format", -1), 14);
    EXPECT_EQ(settings.readInt(u"Speaker", u"Rate2", 0), -6);
}

TEST_F(SentenceSpeakerPane, TheLearnersChangesReachTheSpeaker) {
    SentenceSpeaker& pane = *m_pane;
    test::FakeVoice& voice1 = *m_voices.made[0];
    test::FakeVoice& voice2 = *m_voices.made[1];

    pane.volume().setValue(40);
    userChanges(pane.volume(), wxEVT_SLIDER);
    EXPECT_EQ(m_player->volume, 40);
    EXPECT_EQ(voice1.getVolume(), 40);
    EXPECT_EQ(voice2.getVolume(), 40);

    pane.voiceChooser(1).setChecked(true);
    userChanges(pane.voiceChooser(1), wxEVT_RADIOBUTTON);
    EXPECT_TRUE(pane.voiceCombo(1).isVisible());
    EXPECT_FALSE(pane.voiceCombo(0).isVisible());

    pane.voiceCombo(1).select(1);
    userChanges(pane.voiceCombo(1), wxEVT_COMBOBOX);
    EXPECT_EQ(voice2.voice, 1);

    pane.speedField(1).setValue(5);
    userChanges(pane.speedField(1), wxEVT_SPINCTRL);
    EXPECT_EQ(voice2.getRate(), 5);

    pane.voiceOn(1).setChecked(false);
    userChanges(pane.voiceOn(1), wxEVT_CHECKBOX);
    EXPECT_FALSE(pane.voiceCombo(1).isEnabled());
    m_speaker->speak(u"a translation", 1);
    EXPECT_TRUE(voice2.spoken.empty());

    pane.sentenceAudio().setChecked(true);
    userChanges(pane.sentenceAudio(), wxEVT_CHECKBOX);
    EXPECT_TRUE(pane.playbackSpeed().isEnabled());
    pane.playbackSpeed().setValue(80);
    userChanges(pane.playbackSpeed(), wxEVT_SPINCTRL);
    EXPECT_EQ(m_player->speed, 80);

    pane.formatCombo().select(0);
    userChanges(pane.formatCombo(), wxEVT_COMBOBOX);
    m_speaker->speak(u"a sentence", 0);
    EXPECT_EQ(voice1.format, 0);
    EXPECT_EQ(voice1.spoken.size(), 1u);
}

}  // namespace
}  // namespace pw
