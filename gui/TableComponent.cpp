// Tables drawn from the program's data.
#include "gui/TableComponent.h"

#include <wx/listctrl.h>

namespace pw {

long TableComponent::tableStyle() const {
    return Table::tableStyle() | wxLC_VIRTUAL;
}

void TableComponent::setRowCount(int rows) {
    m_rows = rows < 0 ? 0 : rows;
    if (auto* l = list()) {
        l->SetItemCount(m_rows);
        l->Refresh();
    }
}

int TableComponent::rowCount() const {
    return m_rows;
}

std::u16string TableComponent::cellText(int row, int column) const {
    if (!m_source || row < 0 || row >= m_rows) {
        return {};
    }
    return m_source(row, column);
}

}  // namespace pw
