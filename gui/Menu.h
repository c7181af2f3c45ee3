// Menus (wxMenu) and popup menus. A popup menu is built, tracked at a point of
// a window and answers the chosen command id, so the caller acts on it at once:
//
//   PopupMenu menu;
//   menu.append(kOpen, u"Open");
//   menu.appendSeparator();
//   menu.appendCheck(kShowAll, u"Show all", showAll);
//   switch (menu.track(*this, notify.x, notify.y)) { case kOpen: ... }
//
// Tests answer popup menus with PopupMenu::setChooserForTesting, so none blocks.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class wxMenu;

namespace pw {

class BaseWindow;

class Menu {
public:
    Menu();
    virtual ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    void append(int id, const std::u16string& text);
    void appendCheck(int id, const std::u16string& text, bool checked = false);
    // Radio items appended one after another form a group.
    void appendRadio(int id, const std::u16string& text, bool checked = false);
    void appendSeparator();
    // A submenu owned by this menu; fill it through the reference.
    Menu& appendSubMenu(const std::u16string& text);

    bool contains(int id) const;
    bool isChecked(int id) const;
    void setChecked(int id, bool checked);
    bool isEnabled(int id) const;
    void setEnabled(int id, bool enabled);
    std::u16string text(int id) const;  // without mnemonic marks
    void setText(int id, const std::u16string& text);
    // The ids of this menu's own items (not of submenus), separators left out.
    std::vector<int> itemIds() const;

    wxMenu* handle() const { return m_menu; }

private:
    explicit Menu(wxMenu* notOwned);

    wxMenu* m_menu;
    bool m_owned;
    std::vector<std::unique_ptr<Menu>> m_subMenus;
};

class PopupMenu : public Menu {
public:
    // Shows the menu at (x, y) in owner's client coordinates and waits for the
    // user; returns the chosen id, 0 when the menu was dismissed.
    int track(BaseWindow& owner, int x, int y);

    // Tests install a chooser that answers instead of the user; empty removes it.
    static void setChooserForTesting(std::function<int(const PopupMenu&)> chooser);
};

}  // namespace pw
