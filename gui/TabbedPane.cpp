// Tabs.
#include "gui/TabbedPane.h"

#include <wx/notebook.h>

#include "gui/WxText.h"

namespace pw {

wxWindow* TabbedPane::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    return new wxNotebook(parent, wxID_ANY, pos, size);
}

void TabbedPane::bindControlEvents() {
    listen(wxEVT_NOTEBOOK_PAGE_CHANGED);
}

bool TabbedPane::translate(wxEvent& event) {
    if (event.GetEventType() != wxEVT_NOTEBOOK_PAGE_CHANGED || !isOwnEvent(event)) {
        return false;
    }
    Notify notify;
    notify.code = codes::kTabChanged;
    notify.row = static_cast<wxBookCtrlEvent&>(event).GetSelection();
    notifyParent(notify);
    return true;
}

wxNotebook* TabbedPane::notebook() const {
    return dynamic_cast<wxNotebook*>(handle());
}

int TabbedPane::addPage(BaseWindow& page, const std::u16string& title) {
    auto* book = notebook();
    if (!book || !page.handle() || page.handle()->GetParent() != book) {
        return -1;
    }
    book->AddPage(page.handle(), toWx(title));
    return static_cast<int>(book->GetPageCount()) - 1;
}

int TabbedPane::pageCount() const {
    auto* book = notebook();
    return book ? static_cast<int>(book->GetPageCount()) : 0;
}

int TabbedPane::selectedIndex() const {
    auto* book = notebook();
    return book ? book->GetSelection() : -1;
}

void TabbedPane::select(int index) {
    if (auto* book = notebook(); book && index >= 0 && index < pageCount()) {
        book->ChangeSelection(static_cast<size_t>(index));
    }
}

std::u16string TabbedPane::pageTitle(int index) const {
    auto* book = notebook();
    if (!book || index < 0 || index >= pageCount()) {
        return {};
    }
    return fromWx(book->GetPageText(static_cast<size_t>(index)));
}

}  // namespace pw
