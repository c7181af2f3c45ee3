// A table whose rows are drawn on demand from the program's own data (the
// list control's virtual mode): give the row count and a cell-text source (or
// override cellText), and call refreshRows when data change. Handles tens of
// thousands of rows; only the visible ones are asked for. Same columns,
// selection and notifications as Table; insertRow and friends do not apply.
#pragma once

#include <functional>

#include "gui/Table.h"

namespace pw {

class TableComponent : public Table {
public:
    using CellTextSource = std::function<std::u16string(int row, int column)>;

    void setCellTextSource(CellTextSource source) { m_source = std::move(source); }
    // Keeps the selection of rows that still exist and redraws.
    void setRowCount(int rows);
    int rowCount() const override;
    // The source's text; derived tables may override this instead.
    std::u16string cellText(int row, int column) const override;

protected:
    long tableStyle() const override;

private:
    CellTextSource m_source;
    int m_rows = 0;
};

}  // namespace pw
