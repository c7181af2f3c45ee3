// Pop-up menus the practice logic describes (MenuItem), shown at a point of
// a window; the chosen id comes back, 0 when the menu was dismissed.
#pragma once

#include <vector>

#include "gui/BaseWindow.h"
#include "practice/MenuModel.h"

namespace pw {

// shortcuts: a TAB in an item's text shows what follows as its key; without,
// it stays text (a theme's author, which the toolkit would take for a key).
int trackMenu(BaseWindow& owner, const std::vector<MenuItem>& items, int x, int y,
              bool shortcuts = false);

}  // namespace pw
