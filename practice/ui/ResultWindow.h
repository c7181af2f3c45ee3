// The explanation of the answered sentence, read-only, below the sentence box.
// Practice keys typed while it has the focus (after the learner clicked into
// it to select text) still reach the practice pane, its parent.
#pragma once

#include "editor/TextEditor.h"

namespace pw {

class ResultWindow : public TextEditor {
public:
    ResultWindow() { setReadOnly(true); }

    bool onKeyDown(const KeyInput& key) override;
    bool onKeyUp(const KeyInput& key) override;
    bool onChar(const KeyInput& key) override;

protected:
    // Without a border: the view draws its own frame around it.
    long textStyle() const override;

private:
    BaseWindow* keyTarget() const;
};

}  // namespace pw
