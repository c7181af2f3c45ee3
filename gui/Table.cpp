// Tables over the list control.
#include "gui/Table.h"

#include <algorithm>

#include <wx/listctrl.h>

#include "gui/WxText.h"

namespace pw {
namespace {

// The list control asks its owner for the text and colours of virtual rows.
class ListControl : public wxListCtrl {
public:
    ListControl(const Table& owner, wxWindow* parent, const wxPoint& pos, const wxSize& size,
                long style)
        : wxListCtrl(parent, wxID_ANY, pos, size, style), m_owner(owner) {}

    wxString OnGetItemText(long item, long column) const override {
        return toWx(m_owner.cellText(static_cast<int>(item), static_cast<int>(column)));
    }

    wxItemAttr* OnGetItemAttr(long item) const override {
        Table::RowStyle style;
        if (!m_owner.rowStyle(static_cast<int>(item), style)) {
            return nullptr;
        }
        m_attr = wxItemAttr();
        if (style.text.IsOk()) {
            m_attr.SetTextColour(style.text);
        }
        if (style.back.IsOk()) {
            m_attr.SetBackgroundColour(style.back);
        }
        if (style.bold) {
            m_attr.SetFont(GetFont().Bold());
        }
        return &m_attr;
    }

private:
    const Table& m_owner;
    mutable wxItemAttr m_attr;
};

wxListColumnFormat toFormat(Table::Align align) {
    switch (align) {
        case Table::Align::Centre:
            return wxLIST_FORMAT_CENTRE;
        case Table::Align::Right:
            return wxLIST_FORMAT_RIGHT;
        default:
            return wxLIST_FORMAT_LEFT;
    }
}

}  // namespace

long Table::tableStyle() const {
    return wxLC_REPORT | (m_singleSelection ? wxLC_SINGLE_SEL : 0);
}

wxWindow* Table::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    auto* control = new ListControl(*this, parent, pos, size, tableStyle());
    if (m_checkBoxes) {
        control->EnableCheckBoxes(true);
    }
    return control;
}

wxListCtrl* Table::list() const {
    return dynamic_cast<wxListCtrl*>(handle());
}

void Table::bindControlEvents() {
    for (wxEventType type : std::initializer_list<wxEventType>{
             wxEVT_LIST_ITEM_ACTIVATED, wxEVT_LIST_ITEM_SELECTED, wxEVT_LIST_ITEM_DESELECTED,
             wxEVT_LIST_KEY_DOWN, wxEVT_LIST_COL_CLICK, wxEVT_CONTEXT_MENU, wxEVT_LIST_ITEM_CHECKED,
             wxEVT_LIST_ITEM_UNCHECKED}) {
        listen(type);
    }
}

bool Table::translate(wxEvent& event) {
    if (!isOwnEvent(event)) {
        return false;
    }
    const wxEventType type = event.GetEventType();
    Notify notify;
    if (type == wxEVT_CONTEXT_MENU) {
        notify.code = codes::kContextMenu;
        // From the keyboard: at the focused row.
        const bool keyboard = isKeyboardMenu(event);
        const int focused = focusedRow();
        wxRect rect;
        if (keyboard && focused >= 0 && !list()->GetItemRect(focused, rect)) {
            rect = wxRect();  // not shown: at the top left corner
        }
        const wxPoint point = menuPoint(event, rect);
        notify.x = point.x;
        notify.y = point.y;
        notify.row = keyboard ? focused : rowAt(point.x, point.y);
        notifyParent(notify);
        return true;
    }
    auto& listEvent = static_cast<wxListEvent&>(event);
    if (type == wxEVT_LIST_ITEM_ACTIVATED) {
        notify.code = codes::kItemActivated;
        notify.row = static_cast<int>(listEvent.GetIndex());
    } else if (type == wxEVT_LIST_ITEM_SELECTED || type == wxEVT_LIST_ITEM_DESELECTED) {
        notify.code = codes::kItemSelected;
        notify.row = static_cast<int>(listEvent.GetIndex());
    } else if (type == wxEVT_LIST_KEY_DOWN) {
        notify.code = codes::kKeyDown;
        notify.key = listEvent.GetKeyCode();
        notify.row = focusedRow();
    } else if (type == wxEVT_LIST_COL_CLICK) {
        notify.code = codes::kColumnClick;
        notify.column = listEvent.GetColumn();
    } else if (type == wxEVT_LIST_ITEM_CHECKED || type == wxEVT_LIST_ITEM_UNCHECKED) {
        if (m_checking) {
            return true;
        }
        notify.code = codes::kItemChecked;
        notify.row = static_cast<int>(listEvent.GetIndex());
    } else {
        return false;
    }
    notifyParent(notify);
    // Keys also go on to the control's own handling (arrows move the selection).
    if (type == wxEVT_LIST_KEY_DOWN) {
        event.Skip();
    }
    return true;
}

int Table::addColumn(const std::u16string& title, int width, Align align) {
    auto* l = list();
    if (!l) {
        return -1;
    }
    return static_cast<int>(l->AppendColumn(toWx(title), toFormat(align), width));
}

int Table::columnCount() const {
    auto* l = list();
    return l ? l->GetColumnCount() : 0;
}

std::u16string Table::columnTitle(int column) const {
    auto* l = list();
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT);
    if (!l || column < 0 || column >= columnCount() || !l->GetColumn(column, item)) {
        return {};
    }
    return fromWx(item.GetText());
}

void Table::setColumnTitle(int column, const std::u16string& title) {
    auto* l = list();
    if (!l || column < 0 || column >= columnCount()) {
        return;
    }
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT);
    item.SetText(toWx(title));
    l->SetColumn(column, item);
}

int Table::columnWidth(int column) const {
    auto* l = list();
    return l && column >= 0 && column < columnCount() ? l->GetColumnWidth(column) : 0;
}

void Table::setColumnWidth(int column, int width) {
    if (auto* l = list(); l && column >= 0 && column < columnCount()) {
        l->SetColumnWidth(column, width);
    }
}

int Table::rowCount() const {
    auto* l = list();
    return l ? l->GetItemCount() : 0;
}

int Table::insertRow(int row, const std::vector<std::u16string>& cells) {
    auto* l = list();
    if (!l || (l->GetWindowStyleFlag() & wxLC_VIRTUAL)) {
        return -1;
    }
    if (row < 0 || row > rowCount()) {
        row = rowCount();
    }
    const long index = l->InsertItem(row, cells.empty() ? wxString() : toWx(cells[0]));
    for (size_t column = 1; column < cells.size() && static_cast<int>(column) < columnCount();
         ++column) {
        l->SetItem(index, static_cast<int>(column), toWx(cells[column]));
    }
    return static_cast<int>(index);
}

void Table::setCellText(int row, int column, const std::u16string& text) {
    auto* l = list();
    if (l && !(l->GetWindowStyleFlag() & wxLC_VIRTUAL) && row >= 0 && row < rowCount() &&
        column >= 0 && column < columnCount()) {
        l->SetItem(row, column, toWx(text));
    }
}

void Table::deleteRow(int row) {
    if (auto* l = list(); l && row >= 0 && row < rowCount()) {
        l->DeleteItem(row);
    }
}

void Table::deleteAllRows() {
    if (auto* l = list()) {
        l->DeleteAllItems();
    }
}

std::u16string Table::cellText(int row, int column) const {
    auto* l = list();
    if (!l || row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return {};
    }
    return fromWx(l->GetItemText(row, column));
}

bool Table::isRowChecked(int row) const {
    auto* l = list();
    return l && row >= 0 && row < rowCount() && l->IsItemChecked(row);
}

void Table::setRowChecked(int row, bool checked) {
    auto* l = list();
    if (!l || row < 0 || row >= rowCount() || l->IsItemChecked(row) == checked) {
        return;
    }
    m_checking = true;
    l->CheckItem(row, checked);
    m_checking = false;
}

int Table::selectedRow() const {
    auto* l = list();
    return l ? static_cast<int>(l->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) : -1;
}

std::vector<int> Table::selectedRows() const {
    std::vector<int> rows;
    auto* l = list();
    if (!l) {
        return rows;
    }
    for (long item = l->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item != -1;
         item = l->GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        rows.push_back(static_cast<int>(item));
    }
    return rows;
}

int Table::selectedCount() const {
    auto* l = list();
    return l ? l->GetSelectedItemCount() : 0;
}

void Table::setSelected(int row, bool selected) {
    if (auto* l = list(); l && row >= 0 && row < rowCount()) {
        l->SetItemState(row, selected ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }
}

void Table::clearSelection() {
    for (int row : selectedRows()) {
        setSelected(row, false);
    }
}

void Table::selectOnly(int row) {
    clearSelection();
    if (row >= 0 && row < rowCount()) {
        setSelected(row, true);
        setFocusedRow(row);
        ensureVisible(row);
    }
}

int Table::focusedRow() const {
    auto* l = list();
    return l ? static_cast<int>(l->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED)) : -1;
}

void Table::setFocusedRow(int row) {
    if (auto* l = list(); l && row >= 0 && row < rowCount()) {
        l->SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    }
}

void Table::ensureVisible(int row) {
    if (auto* l = list(); l && row >= 0 && row < rowCount()) {
        l->EnsureVisible(row);
    }
}

int Table::topRow() const {
    auto* l = list();
    return l ? static_cast<int>(l->GetTopItem()) : 0;
}

int Table::rowAt(int x, int y) const {
    auto* l = list();
    if (!l) {
        return -1;
    }
    // The list's own hit test counts from its item area, below the column titles.
    wxWindow* area = l;
    for (wxWindow* child : l->GetChildren()) {
        if (area == l || child->GetPosition().y > area->GetPosition().y) {
            area = child;
        }
    }
    const wxPoint point =
        area == l ? wxPoint(x, y) : area->ScreenToClient(l->ClientToScreen(wxPoint(x, y)));
    int flags = 0;
    const long row = l->HitTest(point, flags);
    return (flags & wxLIST_HITTEST_ONITEM) ? static_cast<int>(row) : -1;
}

void Table::refreshRows(int from, int to) {
    auto* l = list();
    const int rows = rowCount();
    if (!l || rows == 0) {
        return;
    }
    from = std::max(from, 0);
    to = std::min(to, rows - 1);
    if (from <= to) {
        l->RefreshItems(from, to);
    }
}

bool Table::rowStyle(int, RowStyle&) const {
    return false;
}

}  // namespace pw
