// Menus.
#include "gui/Menu.h"

#include <wx/menu.h>
#include <wx/window.h>

#include "gui/BaseWindow.h"
#include "gui/WxText.h"

namespace pw {
namespace {

std::function<int(const PopupMenu&)>& testChooser() {
    static std::function<int(const PopupMenu&)> chooser;
    return chooser;
}

}  // namespace

Menu::Menu() : m_menu(new wxMenu), m_owned(true) {}

Menu::Menu(wxMenu* notOwned) : m_menu(notOwned), m_owned(false) {}

Menu::~Menu() {
    m_subMenus.clear();
    if (m_owned) {
        delete m_menu;  // also deletes the submenus' wx menus
    }
}

void Menu::append(int id, const std::u16string& text) {
    m_menu->Append(id, toWx(text));
}

void Menu::appendCheck(int id, const std::u16string& text, bool checked) {
    m_menu->AppendCheckItem(id, toWx(text));
    m_menu->Check(id, checked);
}

void Menu::appendRadio(int id, const std::u16string& text, bool checked) {
    m_menu->AppendRadioItem(id, toWx(text));
    if (checked) {
        m_menu->Check(id, true);
    }
}

void Menu::appendSeparator() {
    m_menu->AppendSeparator();
}

Menu& Menu::appendSubMenu(const std::u16string& text) {
    auto* sub = new wxMenu;
    m_menu->AppendSubMenu(sub, toWx(text));
    m_subMenus.push_back(std::unique_ptr<Menu>(new Menu(sub)));
    return *m_subMenus.back();
}

bool Menu::contains(int id) const {
    return m_menu->FindItem(id) != nullptr;
}

bool Menu::isChecked(int id) const {
    const wxMenuItem* item = m_menu->FindItem(id);
    return item && item->IsCheckable() && item->IsChecked();
}

void Menu::setChecked(int id, bool checked) {
    wxMenuItem* item = m_menu->FindItem(id);
    if (item && item->IsCheckable()) {
        item->Check(checked);
    }
}

bool Menu::isEnabled(int id) const {
    const wxMenuItem* item = m_menu->FindItem(id);
    return item && item->IsEnabled();
}

void Menu::setEnabled(int id, bool enabled) {
    if (wxMenuItem* item = m_menu->FindItem(id)) {
        item->Enable(enabled);
    }
}

std::u16string Menu::text(int id) const {
    const wxMenuItem* item = m_menu->FindItem(id);
    return item ? fromWx(item->GetItemLabelText()) : std::u16string();
}

void Menu::setText(int id, const std::u16string& text) {
    if (wxMenuItem* item = m_menu->FindItem(id)) {
        item->SetItemLabel(toWx(text));
    }
}

std::vector<int> Menu::itemIds() const {
    std::vector<int> ids;
    for (const wxMenuItem* item : m_menu->GetMenuItems()) {
        if (!item->IsSeparator() && !item->IsSubMenu()) {
            ids.push_back(item->GetId());
        }
    }
    return ids;
}

int PopupMenu::track(BaseWindow& owner, int x, int y) {
    if (testChooser()) {
        return testChooser()(*this);
    }
    wxWindow* window = owner.handle();
    if (!window) {
        return 0;
    }
    const int chosen = window->GetPopupMenuSelectionFromUser(*handle(), x, y);
    return chosen == wxID_NONE ? 0 : chosen;
}

void PopupMenu::setChooserForTesting(std::function<int(const PopupMenu&)> chooser) {
    testChooser() = std::move(chooser);
}

}  // namespace pw
