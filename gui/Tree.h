// A tree of text items (wxTreeCtrl) with images, bold marks, a data pointer per
// item, hit testing and expand state. Items are opaque handles; null is none.
//
// Notifications to the parent (Notify::item is the item concerned):
//   codes::kItemSelected   the selection moved to item
//   codes::kItemActivated  double-click or Enter on item
//   codes::kContextMenu    right-click (also on the empty area, item null) or
//                          the menu key; Notify::x/y in the tree's client
//                          coordinates
//   codes::kKeyDown        a key (Notify::key) with the focus in the tree
//   codes::kItemExpanded, codes::kItemCollapsed
//   codes::kBeginDrag      the user started dragging item
#pragma once

#include <string>
#include <vector>

#include <wx/bitmap.h>

#include "gui/Component.h"

class wxTreeCtrl;

namespace pw {

class Tree : public Component {
public:
    using Item = void*;

    // Images the items refer to by index; before or after create.
    void setImages(const std::vector<wxBitmap>& images);

    Item addRoot(const std::u16string& text, int image = -1);
    Item root() const;
    // Inserts before the child at index; index -1 (or past the end) appends.
    Item insert(Item parent, int index, const std::u16string& text, int image = -1);
    Item append(Item parent, const std::u16string& text, int image = -1) {
        return insert(parent, -1, text, image);
    }
    void remove(Item item);
    void removeChildren(Item item);
    void removeAll();

    std::u16string itemText(Item item) const;
    void setItemText(Item item, const std::u16string& text);
    int itemImage(Item item) const;
    void setItemBold(Item item, bool bold);
    bool isItemBold(Item item) const;
    // Any pointer the owner wants to find again from the item; not owned.
    void setItemData(Item item, void* data);
    void* itemData(Item item) const;

    Item parent(Item item) const;
    Item firstChild(Item item) const;
    Item nextSibling(Item item) const;
    int childCount(Item item) const;  // direct children

    Item selection() const;
    void select(Item item);  // sends kItemSelected like a click
    void expand(Item item);
    void collapse(Item item);
    bool isExpanded(Item item) const;
    void ensureVisible(Item item);
    // The item at a point in client coordinates, null when none.
    Item hitTest(int x, int y) const;

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;

private:
    wxTreeCtrl* tree() const;
    std::vector<wxBitmap> m_images;
};

}  // namespace pw
