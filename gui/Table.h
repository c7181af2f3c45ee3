// A list-view table (wxListCtrl in report mode) with column titles, rows of
// text and single or multiple selection. The rows live in the control; for
// large lists drawn from the program's own data use TableComponent.
//
// Notifications to the parent (Notify::row is the row concerned, -1 for none):
//   codes::kItemActivated  double-click or Enter on a row
//   codes::kItemSelected   the selection changed (read selectedRows())
//   codes::kContextMenu    right-click or the menu key; Notify::x/y in the
//                          table's client coordinates, row under them
//   codes::kKeyDown        a key (Notify::key) with the focus in the table
//   codes::kColumnClick    a column title was clicked (Notify::column)
//   codes::kItemChecked    the user checked or unchecked the box of a row
//                          (tables made with setCheckBoxes)
#pragma once

#include <string>
#include <vector>

#include <wx/colour.h>

#include "gui/Component.h"

class wxListCtrl;

namespace pw {

class Table : public Component {
public:
    enum class Align { Left, Centre, Right };
    // The colours of one row; an unset colour keeps the table's.
    struct RowStyle {
        wxColour text;
        wxColour back;
        bool bold = false;
    };

    // Before create: one row at a time instead of many.
    void setSingleSelection(bool single) { m_singleSelection = single; }
    // Before create: a check box at the start of every row.
    void setCheckBoxes(bool checkBoxes) { m_checkBoxes = checkBoxes; }
    bool isRowChecked(int row) const;
    // Sends nothing.
    void setRowChecked(int row, bool checked);

    int addColumn(const std::u16string& title, int width, Align align = Align::Left);
    int columnCount() const;
    std::u16string columnTitle(int column) const;
    void setColumnTitle(int column, const std::u16string& title);
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);

    virtual int rowCount() const;
    // Rows held by the control (not for TableComponent).
    int insertRow(int row, const std::vector<std::u16string>& cells);
    int addRow(const std::vector<std::u16string>& cells) { return insertRow(rowCount(), cells); }
    void setCellText(int row, int column, const std::u16string& text);
    void deleteRow(int row);
    void deleteAllRows();
    virtual std::u16string cellText(int row, int column) const;

    int selectedRow() const;  // the first selected row, -1 when none
    std::vector<int> selectedRows() const;
    int selectedCount() const;
    void setSelected(int row, bool selected);
    // Selects row alone, gives it the focus mark and scrolls it into view.
    void selectOnly(int row);
    void clearSelection();
    int focusedRow() const;
    void setFocusedRow(int row);
    void ensureVisible(int row);
    int topRow() const;
    // The row at a point in client coordinates, -1 when none.
    int rowAt(int x, int y) const;
    // Redraws rows after their data changed.
    void refreshRows(int from, int to);

    // Colours a row; the default leaves every row plain. Asked while drawing.
    virtual bool rowStyle(int row, RowStyle& style) const;

protected:
    virtual long tableStyle() const;
    wxListCtrl* list() const;

    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;

private:
    bool m_singleSelection = false;
    bool m_checkBoxes = false;
    bool m_checking = false;  // setRowChecked at work
};

}  // namespace pw
