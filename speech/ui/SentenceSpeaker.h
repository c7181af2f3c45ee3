// The speech and audio settings pane beside the practice: the two voices with
// their lists, "on" boxes and speeds (one voice shown at a time, chosen with
// "1" and "2"), the file format, recorded sentence audio with its playback
// speed, the volume, and the dictionary button. The work is the Speaker's,
// which the practice pane owns and speaks through; this pane shows its state
// and hands it the learner's changes. Below them it shows the notices of
// sentences that cannot be heard (no sound output, a recording that cannot
// be played). Given the height of a single row (the practice pane puts it
// in a strip at the bottom during questions) it shows "Sentence audio" and
// the notices only.
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

    // Below this height the pane lays itself out as one row.
    static constexpr int kRowLayoutHeight = 60;
    // Enough for every control and two lines of notices; fullHeight() says
    // exactly.
    static constexpr int kPreferredHeight = 340;

    // speaker must be initialised before the pane is created and outlive it.
    explicit SentenceSpeaker(Speaker& speaker);
    ~SentenceSpeaker() override;

    // The height that shows every control and the notices at width.
    int fullHeight(int width) const;

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
    // The notices shown so far, one a line.
    std::u16string noticeText() const { return m_notice.getText(); }
    BaseWindow& noticeLine() { return m_notice; }

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;
    void onDestroy() override;

private:
    // Text wrapped at spaces to the width, one line after another.
    class Notice : public Component {
    public:
        int wrappedHeight(int width) const;

    protected:
        void onPaint(Graphics& graphics) override;
    };

    void layOutFull(int width);
    void layOutRow(int width, int height);
    void addNotice(const std::u16string& text);
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
    Notice m_notice;
    int m_shownVoice = 0;
    bool m_rowLayout = false;
};

}  // namespace pw
