// The base of the program's main window: a top-level window that restores
// and stores its placement.
#pragma once

#include "gui/BaseWindow.h"

namespace pw {

class App : public BaseWindow {
public:
    virtual void loadWindowSettings() = 0;
    virtual void saveWindowSettings() = 0;
};

}  // namespace pw
