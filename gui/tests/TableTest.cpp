// Tables: rows held by the control, virtual rows drawn on demand, selection,
// and the notifications real mouse clicks produce.
#include <set>

#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/uiaction.h>

#include "gui/Table.h"
#include "gui/TableComponent.h"
#include "gui/testsupport/GuiTest.h"

namespace pw {
namespace {

using test::HostWindow;
using test::runEventsFor;
using test::runEventsUntil;

TEST(Table, RowsAndColumnsHeldByTheControl) {
    HostWindow host;
    Table table;
    table.create(host, 0, 0, 300, 200);
    EXPECT_EQ(table.addColumn(u"Word", 120), 0);
    EXPECT_EQ(table.addColumn(u"Reading", 100, Table::Align::Right), 1);
    table.addRow({u"猫", u"ねこ"});
    table.addRow({u"dog", u"dɔɡ", u"ignored third cell"});
    table.insertRow(0, {u"first"});
    EXPECT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.cellText(0, 0), u"first");
    EXPECT_EQ(table.cellText(1, 1), u"ねこ");
    EXPECT_EQ(table.cellText(5, 0), u"");
    table.setCellText(2, 1, u"dog");
    EXPECT_EQ(table.cellText(2, 1), u"dog");
    table.setColumnTitle(1, u"Kana");
    EXPECT_EQ(table.columnTitle(1), u"Kana");
    table.deleteRow(0);
    EXPECT_EQ(table.cellText(0, 0), u"猫");
}

class SentenceTable : public TableComponent {
public:
    bool rowStyle(int row, RowStyle& style) const override {
        if (row % 2 == 0) {
            return false;
        }
        style.back = *wxLIGHT_GREY;
        return true;
    }
};

TEST(Table, AVirtualTableAsksOnlyForTheRowsItShows) {
    HostWindow host(500, 300);
    SentenceTable table;
    table.create(host, 0, 0, 480, 280);
    for (int c = 0; c < 6; ++c) {
        table.addColumn(u"C" + std::u16string(1, static_cast<char16_t>(u'0' + c)), 70);
    }
    std::set<int> asked;
    table.setCellTextSource([&](int row, int column) {
        asked.insert(row);
        return u"row " + std::u16string(1, static_cast<char16_t>(u'0' + column));
    });
    table.setRowCount(30000);
    EXPECT_EQ(table.rowCount(), 30000);
    table.update();
    runEventsUntil([&] { return !asked.empty(); }, 2000);
    EXPECT_FALSE(asked.empty());
    EXPECT_LT(asked.size(), 200u);
    EXPECT_EQ(table.cellText(29999, 2), u"row 2");
    EXPECT_EQ(table.cellText(30000, 0), u"");
    // Rows kept by the control do not apply in virtual mode.
    EXPECT_EQ(table.insertRow(0, {u"x"}), -1);

    table.ensureVisible(20000);
    runEventsFor(20);
    EXPECT_GT(table.topRow(), 19000);
}

TEST(Table, SelectionOfManyRowsAndOfOne) {
    HostWindow host;
    TableComponent table;
    table.create(host, 0, 0, 300, 200);
    table.addColumn(u"Sentence", 200);
    table.setRowCount(100);
    table.setSelected(3, true);
    table.setSelected(50, true);
    table.setSelected(7, true);
    EXPECT_EQ(table.selectedRows(), (std::vector<int>{3, 7, 50}));
    EXPECT_EQ(table.selectedRow(), 3);
    EXPECT_EQ(table.selectedCount(), 3);
    table.selectOnly(60);
    EXPECT_EQ(table.selectedRows(), std::vector<int>{60});
    EXPECT_EQ(table.focusedRow(), 60);
    table.setSelected(500, true);  // beyond the rows: ignored
    EXPECT_EQ(table.selectedCount(), 1);
    table.setRowCount(10);
    table.clearSelection();
    EXPECT_EQ(table.selectedRow(), -1);

    TableComponent single;
    single.setSingleSelection(true);
    single.create(host, 0, 0, 300, 200);
    single.addColumn(u"Sentence", 200);
    single.setRowCount(5);
    single.setSelected(1, true);
    single.setSelected(2, true);
    EXPECT_EQ(single.selectedRows(), std::vector<int>{2});
}

// Real clicks through the X server: the same path a user's mouse takes.
TEST(Table, DoubleClickAndRightClickOnARowNotifyWithThatRow) {
    HostWindow host(400, 300);
    TableComponent table;
    table.create(host, 0, 0, 380, 280);
    table.addColumn(u"Sentence", 300);
    table.setCellTextSource([](int, int) { return u"Good morning."; });
    table.setRowCount(20);
    host.handle()->Raise();
    runEventsFor(100);

    auto* list = static_cast<wxListCtrl*>(table.handle());
    wxRect rect;
    ASSERT_TRUE(list->GetItemRect(2, rect));
    const wxPoint centre = list->ClientToScreen(rect.GetPosition() + wxSize(20, rect.height / 2));
    wxUIActionSimulator sim;
    sim.MouseMove(centre);
    runEventsFor(50);
    sim.MouseDblClick();
    runEventsUntil(
        [&] {
            for (const auto& n : host.notifications) {
                if (n.code == codes::kItemActivated) {
                    return true;
                }
            }
            return false;
        },
        2000);
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    runEventsUntil(
        [&] {
            return !host.notifications.empty() &&
                   host.notifications.back().code == codes::kContextMenu;
        },
        2000);

    const Notify* activated = nullptr;
    const Notify* menu = nullptr;
    for (const auto& n : host.notifications) {
        EXPECT_EQ(n.sender, table.handle());
        if (n.code == codes::kItemActivated) {
            activated = &n;
        } else if (n.code == codes::kContextMenu) {
            menu = &n;
        }
    }
    ASSERT_NE(activated, nullptr);
    EXPECT_EQ(activated->row, 2);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->row, 2);
    EXPECT_EQ(table.rowAt(menu->x, menu->y), 2);
    EXPECT_EQ(table.selectedRows(), std::vector<int>{2});
}

TEST(Table, CheckBoxesChangedByCodeSayNothingAndByTheUserNotify) {
    HostWindow host(400, 300);
    Table table;
    table.setCheckBoxes(true);
    table.setSingleSelection(true);
    table.create(host, 0, 0, 380, 280);
    table.addColumn(u"Dictionary", 170);
    table.addRow({u"dict.txt"});
    table.addRow({u"names.txt"});
    EXPECT_FALSE(table.isRowChecked(0));
    table.setRowChecked(0, true);
    table.setRowChecked(1, true);
    table.setRowChecked(1, false);
    EXPECT_TRUE(table.isRowChecked(0));
    EXPECT_FALSE(table.isRowChecked(1));
    EXPECT_FALSE(table.isRowChecked(7));
    runEventsFor(50);
    EXPECT_TRUE(host.notifications.empty());

    host.handle()->Raise();
    runEventsFor(100);
    auto* list = static_cast<wxListCtrl*>(table.handle());
    wxRect rect;
    ASSERT_TRUE(list->GetItemRect(1, rect));
    wxUIActionSimulator sim;
    sim.MouseMove(list->ClientToScreen(rect.GetPosition() + wxSize(8, rect.height / 2)));
    runEventsFor(50);
    sim.MouseClick();
    const auto checked = [&] {
        for (const auto& n : host.notifications) {
            if (n.code == codes::kItemChecked) {
                return &n;
            }
        }
        return static_cast<const Notify*>(nullptr);
    };
    runEventsUntil([&] { return checked() != nullptr; }, 2000);
    ASSERT_NE(checked(), nullptr);
    EXPECT_EQ(checked()->row, 1);
    EXPECT_TRUE(table.isRowChecked(1));
}

}  // namespace
}  // namespace pw
