// Tabs (wxNotebook). Each page is a window created with the tabbed pane as its
// parent (page.create(tabbedPane)) and then added with addPage. Sends
// codes::kTabChanged (Notify::row = the new tab) when the user picks a tab.
#pragma once

#include <string>

#include "gui/Component.h"

class wxNotebook;

namespace pw {

class TabbedPane : public Component {
public:
    // Returns the page's index, -1 when the page is not a child of this pane.
    int addPage(BaseWindow& page, const std::u16string& title);
    int pageCount() const;
    int selectedIndex() const;  // -1 when there are no pages
    void select(int index);     // sends nothing
    std::u16string pageTitle(int index) const;

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;

private:
    wxNotebook* notebook() const;
};

}  // namespace pw
