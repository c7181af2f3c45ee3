// The practice pane as the content pane's practice area.
#pragma once

#include "app/PracticeArea.h"
#include "practice/ui/TypingPane.h"

namespace pw {

class TypingPaneArea : public PracticeArea {
public:
    explicit TypingPaneArea(TypingPane& pane) : m_pane(pane) {}

    bool openFile(const std::u16string& path) override { return m_pane.openFile(path); }
    void resetToNoFile() override { m_pane.closeFile(); }
    bool releaseOpenFile() override { return m_pane.releaseFile(); }
    bool finish() override { return m_pane.finish(); }
    bool keyDown(const KeyInput& key) override { return m_pane.onKeyDown(key); }
    bool keyUp(const KeyInput& key) override { return m_pane.onKeyUp(key); }
    bool charTyped(const KeyInput& key) override { return m_pane.onChar(key); }
    void showThemeMenu() override { m_pane.showThemeMenu(); }

private:
    TypingPane& m_pane;
};

}  // namespace pw
