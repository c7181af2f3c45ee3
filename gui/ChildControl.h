// Making a pane's child controls in one step, the way every pane does.
#pragma once

#include <string>

class wxWindow;

namespace pw {

class BaseWindow;
class CommandReceiver;

// Creates control as a child of parent with its text (an empty one keeps a
// text set before) and tooltip, at a size the toolkit can lay out until the
// owner places it. A label takes the parent's background. With target, the
// control's commands and notifications go there instead of to parent (controls
// inside a group box reporting to the pane around it).
void createChildControl(BaseWindow& control, wxWindow* parent, const std::u16string& text,
                        const std::u16string& tip = {}, CommandReceiver* target = nullptr);

}  // namespace pw
