// A pop-up menu described without a toolkit: the view builds the real menu
// from these items and hands the chosen id back.
#pragma once

#include <string>

namespace pw {

struct MenuItem {
    int id = 0;  // 0 for a separator
    std::u16string text;
    bool enabled = true;
    bool checked = false;
    bool separator = false;

    static MenuItem makeSeparator() {
        MenuItem item;
        item.separator = true;
        return item;
    }
};

}  // namespace pw
