// Pop-up menus from the practice logic's items.
#include "practice/ui/MenuTracking.h"

#include "gui/Menu.h"

namespace pw {

int trackMenu(BaseWindow& owner, const std::vector<MenuItem>& items, int x, int y, bool shortcuts) {
    PopupMenu menu;
    for (const MenuItem& item : items) {
        if (item.separator) {
            menu.appendSeparator();
            continue;
        }
        std::u16string text = item.text;
        for (size_t tab = text.find(u'\t'); !shortcuts && tab != std::u16string::npos;
             tab = text.find(u'\t')) {
            text.replace(tab, 1, u"  ");
        }
        if (item.checked) {
            menu.appendCheck(item.id, text, true);
        } else {
            menu.append(item.id, text);
        }
        menu.setEnabled(item.id, item.enabled);
    }
    return menu.track(owner, x, y);
}

}  // namespace pw
