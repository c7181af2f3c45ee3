// The sentence list's table: its columns, a 30 000-record file shown through
// virtual rows, and the rows following the model.
#include <set>

#include <gtest/gtest.h>
#include <wx/listctrl.h>

#include "content/tests/GeneratedList.h"
#include "content/ui/TypingSentenceList.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"

namespace pw {
namespace {

using test::HostWindow;

// Records which rows the control asks for.
class WatchedList : public TypingSentenceList {
public:
    using TypingSentenceList::TypingSentenceList;
    std::u16string cellText(int row, int column) const override {
        asked.insert(row);
        return TypingSentenceList::cellText(row, column);
    }
    mutable std::set<int> asked;
};

TEST(TypingSentenceList, ColumnsAndAThirtyThousandRecordFile) {
    test::TempDir dir;
    const std::string path = dir.file("large.xml");
    test::writeAll(path, test::generatedLearningFile(30000));

    HostWindow host(760, 400);
    WatchedList list;
    ASSERT_TRUE(list.create(host, 0, 0, 740, 380));
    ASSERT_EQ(list.columnCount(), 6);
    const std::u16string titles[] = {u"Check",       u"Trial",     u"Sentence",
                                     u"Translation", u"Dictation", u"Writing"};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(list.columnTitle(c), titles[c]);
        // Each title fits its column in the toolkit's font.
        EXPECT_GE(list.columnWidth(c), list.handle()->GetTextExtent(toWx(titles[c])).x) << c;
    }
    EXPECT_EQ(list.rowCount(), 0);

    ASSERT_TRUE(list.open(fromUtf8(path)));
    auto* control = dynamic_cast<wxListCtrl*>(list.handle());
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(control->HasFlag(wxLC_VIRTUAL));
    EXPECT_EQ(control->GetItemCount(), 30000);
    list.update();
    test::runEventsUntil([&] { return !list.asked.empty(); }, 2000);
    EXPECT_FALSE(list.asked.empty());
    EXPECT_LT(list.asked.size(), 200u) << "only the visible rows are drawn";

    // What the control shows comes from the records.
    EXPECT_EQ(fromWx(control->GetItemText(29999, 2)), u"Sentence 29999 is here.");
    EXPECT_EQ(fromWx(control->GetItemText(3, 0)), u"XX");
    list.setCheck(3, 0, false);
    list.incrementTrial(3);
    EXPECT_EQ(fromWx(control->GetItemText(3, 0)), u"  X");
    EXPECT_EQ(fromWx(control->GetItemText(3, 1)), u"4");

    // Word mode finds no Word records here: the table empties.
    list.selectOnly(10);
    list.setWordMode(true);
    ASSERT_TRUE(list.refresh());
    EXPECT_EQ(control->GetItemCount(), 0);
    EXPECT_EQ(list.selectedCount(), 0);
}

TEST(TypingSentenceList, ShowsAModelItDoesNotOwn) {
    test::TempDir dir;
    test::writeAll(dir.file("small.xml"), test::generatedLearningFile(5));
    SentenceListModel model;
    ASSERT_TRUE(model.open(dir.file("small.xml")));
    HostWindow host;
    {
        TypingSentenceList list(model);
        list.create(host, 0, 0, 300, 200);
        EXPECT_EQ(list.rowCount(), 5);
        EXPECT_EQ(list.cellText(4, 3), u"文 4 はここにあります。");
        EXPECT_EQ(&list.model(), &model);
    }
    // The list has let go of the model: changing it reaches no dead listener.
    model.setScore(0, u"99", true);
    EXPECT_TRUE(model.refresh());
}

}  // namespace
}  // namespace pw
