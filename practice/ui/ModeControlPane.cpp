// The mode and option controls of the Ready state.
#include "practice/ui/ModeControlPane.h"

#include <algorithm>

#include <wx/settings.h>
#include <wx/window.h>

namespace pw {
namespace {

constexpr int kMargin = 8;
// Tall enough for the number field, whose arrows need the room.
constexpr int kRow = 34;
constexpr int kCheckRow = 28;

void createWithText(BaseWindow& control, BaseWindow& parent, const char16_t* text,
                    const char16_t* tip = nullptr) {
    control.setText(text);
    control.create(parent);
    if (tip) {
        control.setToolTip(tip);
    }
}

}  // namespace

bool ModeControlPane::onCreate() {
    setBackColor(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    createWithText(m_start, *this, practice_texts::kStart);
    createWithText(m_save, *this, practice_texts::kSave);
    createWithText(m_pointLimit, *this, practice_texts::kPointLimit,
                   practice_texts::kPointLimitTip);
    createWithText(m_onlyChecked, *this, practice_texts::kOnlyChecked,
                   practice_texts::kOnlyCheckedTip);
    createWithText(m_shuffle, *this, practice_texts::kShuffle, practice_texts::kShuffleTip);
    // In insertion order: the index is the mode.
    m_mode.create(*this);
    for (const char16_t* name : kPracticeModeNames) {
        m_mode.addItem(name);
    }
    m_limit.setRange(PracticeOptions::kMinPointLimit, PracticeOptions::kMaxPointLimit);
    m_limit.setValue(PracticeOptions{}.pointLimit);
    m_limit.create(*this);
    setOptions(PracticeOptions{});
    return false;
}

void ModeControlPane::onSize(int width, int) {
    const int inner = std::max(width - 2 * kMargin, 40);
    const int half = (inner - kMargin) / 2;
    int y = kMargin;
    m_start.setBounds(kMargin, y, half, kRow);
    m_save.setBounds(2 * kMargin + half, y, half, kRow);
    y += kRow + kMargin;
    m_mode.setBounds(kMargin, y, inner, kRow);
    y += kRow + kMargin;
    const int fieldWidth = std::min(inner / 2 + 8, 128);
    m_pointLimit.setBounds(kMargin, y, inner - fieldWidth, kRow);
    m_limit.setBounds(kMargin + inner - fieldWidth, y, fieldWidth, kRow);
    y += kRow;
    m_onlyChecked.setBounds(kMargin, y, inner, kCheckRow);
    y += kCheckRow;
    m_shuffle.setBounds(kMargin, y, inner, kCheckRow);
}

PracticeOptions ModeControlPane::options() const {
    PracticeOptions options;
    const int mode = m_mode.selectedIndex();
    options.mode = mode >= 0 ? static_cast<PracticeMode>(mode) : PracticeMode::Dictation;
    options.pointLimit = m_limit.value();
    options.usePointLimit = m_pointLimit.isChecked();
    options.onlyCheckedQuestions = m_onlyChecked.isChecked();
    options.shuffle = m_shuffle.isChecked();
    return options;
}

void ModeControlPane::setOptions(const PracticeOptions& options) {
    m_mode.select(static_cast<int>(options.mode));
    m_limit.setValue(options.pointLimit);
    m_pointLimit.setChecked(options.usePointLimit);
    m_onlyChecked.setChecked(options.onlyCheckedQuestions);
    m_shuffle.setChecked(options.shuffle);
}

bool ModeControlPane::onCommand(const Command& command) {
    routeCommand(command);
    return true;
}

}  // namespace pw
