// The speech and audio settings pane beside the practice: the two voices with
// their lists, "on" boxes and speeds (one voice shown at a time, chosen with
// "1" and "2"), the file format, recorded sentence audio with its playback
// speed, the volume, and the dictionary button. The work is the Speaker's,
// which the practice pane owns and speaks through; this pane shows its state
// and hands it the learner's changes.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "gui/BaseWindow.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/Component.h"
#include "gui/GroupComponent.h"
#include "gui/Label.h"
#include "gui/RadioButton.h"
#include "gui/Slider.h"
#include "gui/UpDownTextField.h"
#include "speech/Speaker.h"

namespace pw {

class SentenceSpeaker : public BaseWindow {
public:
    using Label = ::pw::Label;

    // speaker must be initialised before the pane is created and outlive it.
    explicit SentenceSpeaker(Speaker& speaker);

    // The "Speaker" section of the settings file, into and out of the controls.
    void loadSettings(const ProfileSettings& settings = ProfileSettings::instance());
    void saveSettings(ProfileSettings& settings = ProfileSettings::instance()) const;

    Speaker& speaker() { return m_speaker; }
    // What "辞書" does; the button is greyed out until one is set.
    void setDictionaryOpener(std::function<void()> opener);

    // The controls, for the pane's tests.
    ComboBox& voiceCombo(int index) { return m_voiceCombo[slot(index)]; }
    CheckBox& voiceOn(int index) { return m_voiceOn[slot(index)]; }
    UpDownTextField& speedField(int index) { return m_speed[slot(index)]; }
    Label& speedLabel(int index) { return m_speedLabel[slot(index)]; }
    RadioButton& voiceChooser(int index) { return m_chooser[slot(index)]; }
    ComboBox& formatCombo() { return m_formatCombo; }
    CheckBox& sentenceAudio() { return m_sentenceAudio; }
    UpDownTextField& playbackSpeed() { return m_playbackSpeed; }
    Slider& volume() { return m_volume; }
    Button& dictionaryButton() { return m_dictionary; }
    GroupComponent& voiceGroup() { return m_group; }

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;

private:
    static size_t slot(int index) { return index == 1 ? 1 : 0; }
    // Shows the controls of voice index and hides the other voice's.
    void showVoice(int index);
    // Puts the Speaker's state into the controls.
    void refreshControls();
    void createControl(BaseWindow& control, BaseWindow& parent, const std::u16string& text,
                       const std::u16string& tip = {});

    Speaker& m_speaker;
    GroupComponent m_group;
    std::array<RadioButton, 2> m_chooser;
    std::array<ComboBox, 2> m_voiceCombo;
    std::array<CheckBox, 2> m_voiceOn;
    std::array<Label, 2> m_speedLabel;
    std::array<UpDownTextField, 2> m_speed;
    Label m_formatLabel;
    ComboBox m_formatCombo;
    CheckBox m_sentenceAudio;
    Label m_playbackLabel;
    UpDownTextField m_playbackSpeed;
    Label m_volumeLabel;
    Slider m_volume;
    Button m_dictionary;
    std::function<void()> m_dictionaryOpener;
    int m_shownVoice = 0;
};

}  // namespace pw
