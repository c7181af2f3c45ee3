// The tree control wrapper: building, order, item data and state, hit testing
// and the notifications of expanding and selecting.
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <wx/imaglist.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include "gui/Tree.h"
#include "gui/testsupport/GuiTest.h"

namespace pw {
namespace {

using test::HostWindow;
using test::runEventsFor;
using test::runEventsUntil;

std::vector<std::u16string> childTexts(const Tree& tree, Tree::Item parent) {
    std::vector<std::u16string> texts;
    for (auto item = tree.firstChild(parent); item; item = tree.nextSibling(item)) {
        texts.push_back(tree.itemText(item));
    }
    return texts;
}

bool libraryLoaded(const std::string& name) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(name) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// Each case runs in a process of its own, so nothing before this one can
// have loaded the icon theme's SVG reader.
TEST(Tree, PaintsItsExpandMarksWithoutLoadingTheIconThemesSvgReader) {
    HostWindow host;
    Tree tree;
    tree.create(host, 0, 0, 300, 250);
    auto root = tree.addRoot(u"Library");
    auto folder = tree.append(root, u"Samples");
    tree.append(folder, u"A.xml");
    tree.append(root, u"Closed");
    tree.append(tree.nextSibling(folder), u"B.xml");
    tree.expand(root);
    tree.expand(folder);
    auto* control = dynamic_cast<wxTreeCtrl*>(tree.handle());
    ASSERT_NE(control, nullptr);
    control->Refresh();
    control->Update();
    runEventsFor(200);
    EXPECT_FALSE(libraryLoaded("pixbufloader-svg"));

    wxImageList* marks = control->GetButtonsImageList();
    ASSERT_NE(marks, nullptr);
    ASSERT_EQ(marks->GetImageCount(), 4);  // collapsed, selected, expanded, both
    auto opaquePixels = [&](int index) {
        const wxImage image = marks->GetBitmap(index).ConvertToImage();
        int count = 0;
        for (int y = 0; y < image.GetHeight(); ++y) {
            for (int x = 0; x < image.GetWidth(); ++x) {
                count += image.HasAlpha() && image.GetAlpha(x, y) > 128;
            }
        }
        return count;
    };
    EXPECT_GT(opaquePixels(0), 10);
    EXPECT_GT(opaquePixels(2), 10);
}

TEST(Tree, ItemsGoWhereTheyAreInsertedAndKeepTheirData) {
    HostWindow host;
    Tree tree;
    tree.create(host, 0, 0, 300, 250);
    auto root = tree.addRoot(u"Library");
    EXPECT_EQ(tree.addRoot(u"second root"), nullptr);
    auto b = tree.append(root, u"B.xml");
    tree.append(root, u"D.xml");
    tree.insert(root, 0, u"A.xml");
    tree.insert(root, 2, u"C.xml");
    tree.insert(root, 99, u"E.xml");
    EXPECT_EQ(childTexts(tree, root),
              (std::vector<std::u16string>{u"A.xml", u"B.xml", u"C.xml", u"D.xml", u"E.xml"}));
    EXPECT_EQ(tree.childCount(root), 5);
    EXPECT_EQ(tree.parent(b), root);

    int payload = 42;
    tree.setItemData(b, &payload);
    tree.setItemData(b, &payload);  // replacing does not leak or crash
    EXPECT_EQ(tree.itemData(b), &payload);
    EXPECT_EQ(tree.itemData(root), nullptr);
    tree.setItemBold(b, true);
    EXPECT_TRUE(tree.isItemBold(b));
    tree.setItemText(b, u"英語.xml");
    EXPECT_EQ(tree.itemText(b), u"英語.xml");

    tree.remove(b);
    EXPECT_EQ(tree.childCount(root), 4);
    tree.removeChildren(root);
    EXPECT_EQ(tree.firstChild(root), nullptr);
}

TEST(Tree, ExpandingSelectingAndHitTestingNotifyWithTheItem) {
    HostWindow host;
    Tree tree;
    tree.create(host, 0, 0, 300, 250);
    auto root = tree.addRoot(u"Library");
    auto folder = tree.append(root, u"Everyday");
    auto file = tree.append(folder, u"EverydayEnglish.xml");
    tree.expand(root);
    tree.expand(folder);
    EXPECT_TRUE(tree.isExpanded(folder));
    tree.collapse(folder);
    EXPECT_FALSE(tree.isExpanded(folder));
    tree.expand(folder);
    tree.select(file);
    EXPECT_EQ(tree.selection(), file);

    std::vector<int> codesSeen;
    for (const auto& n : host.notifications) {
        codesSeen.push_back(n.code);
        EXPECT_EQ(n.sender, tree.handle());
    }
    EXPECT_NE(std::find(codesSeen.begin(), codesSeen.end(), codes::kItemCollapsed),
              codesSeen.end());
    ASSERT_FALSE(host.notifications.empty());
    EXPECT_EQ(host.notifications.back().code, codes::kItemSelected);
    EXPECT_EQ(host.notifications.back().item, file);

    wxRect rect;
    ASSERT_TRUE(
        static_cast<wxTreeCtrl*>(tree.handle())->GetBoundingRect(wxTreeItemId(file), rect, true));
    EXPECT_EQ(tree.hitTest(rect.x + 2, rect.y + rect.height / 2), file);
    EXPECT_EQ(tree.hitTest(rect.GetRight() + 150, rect.y + 200), nullptr);
}

TEST(Tree, RightClickAsksForAMenuOnAnItemAndOnTheEmptyArea) {
    HostWindow host;
    Tree tree;
    tree.create(host, 0, 0, 300, 250);
    auto root = tree.addRoot(u"Library");
    auto file = tree.append(root, u"EverydayEnglish.xml");
    tree.expand(root);
    runEventsFor(100);

    wxRect rect;
    ASSERT_TRUE(
        static_cast<wxTreeCtrl*>(tree.handle())->GetBoundingRect(wxTreeItemId(file), rect, true));
    wxUIActionSimulator sim;
    std::vector<Notify> menus;
    for (const wxPoint point :
         {rect.GetPosition() + wxSize(4, rect.height / 2), wxPoint(150, 220)}) {
        host.notifications.clear();
        sim.MouseMove(tree.handle()->ClientToScreen(point));
        runEventsFor(50);
        sim.MouseClick(wxMOUSE_BTN_RIGHT);
        runEventsUntil([&] {
            return !host.notifications.empty() &&
                   host.notifications.back().code == codes::kContextMenu;
        });
        ASSERT_FALSE(host.notifications.empty());
        menus.push_back(host.notifications.back());
        EXPECT_EQ(menus.back().code, codes::kContextMenu);
        EXPECT_NEAR(menus.back().x, point.x, 1);
        EXPECT_NEAR(menus.back().y, point.y, 1);
    }
    EXPECT_EQ(menus[0].item, file);
    EXPECT_EQ(menus[1].item, nullptr);
}

}  // namespace
}  // namespace pw
