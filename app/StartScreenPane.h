// What the practice area shows before a learning file is open: the program's
// name and where to begin.
#pragma once

#include "gui/Component.h"

namespace pw {

class StartScreenPane : public Component {
public:
    bool onCreate() override;

protected:
    void onPaint(Graphics& graphics) override;
};

}  // namespace pw
