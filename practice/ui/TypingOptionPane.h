// The small "Options:" panel of the Ready state: "Use Internet Explore", which
// chooses the exercise page over the drawn view. Its command goes on to the
// parent, the TypingPane.
#pragma once

#include <string>

#include "gui/CheckBox.h"
#include "gui/GroupComponent.h"

namespace pw {

class TypingOptionPane : public GroupComponent {
public:
    static constexpr int kLeft = 8;
    static constexpr int kTop = 188;
    static constexpr int kWidth = 232;
    static constexpr int kHeight = 64;

    CheckBox& useIEBox() { return m_useIE; }
    // The page cannot be shown: the box is cleared and its tooltip says why
    // (empty: the usual tooltip again).
    void setPageUnavailable(const std::u16string& why);

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;

private:
    CheckBox m_useIE;
};

}  // namespace pw
