// The Ready state's controls that start and save a run and choose how it
// asks: Start, Save, "Point Limit" with its number, "Only Checked Questions",
// "Shuffle" and the mode. Their commands go on to the parent, the TypingPane.
#pragma once

#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/UpDownTextField.h"
#include "practice/PracticeOptions.h"

namespace pw {

class ModeControlPane : public Component {
public:
    // Wide enough for the number field's arrows and the speaker pane below.
    static constexpr int kWidth = 248;
    static constexpr int kHeight = 176;

    // The options the controls show; useIE is not among them and stays false.
    PracticeOptions options() const;
    void setOptions(const PracticeOptions& options);

    Button& startButton() { return m_start; }
    Button& saveButton() { return m_save; }
    CheckBox& pointLimitBox() { return m_pointLimit; }
    CheckBox& onlyCheckedBox() { return m_onlyChecked; }
    CheckBox& shuffleBox() { return m_shuffle; }
    ComboBox& modeCombo() { return m_mode; }
    UpDownTextField& pointLimitField() { return m_limit; }

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;

private:
    Button m_start;
    Button m_save;
    CheckBox m_pointLimit;
    CheckBox m_onlyChecked;
    CheckBox m_shuffle;
    ComboBox m_mode;
    UpDownTextField m_limit;
};

}  // namespace pw
