// Trees.
#include "gui/Tree.h"

#include <array>

#include <wx/image.h>
#include <wx/imaglist.h>
#include <wx/treectrl.h>

#include "gui/WxText.h"

namespace pw {
namespace {

class ItemData : public wxTreeItemData {
public:
    explicit ItemData(void* data) : m_data(data) {}
    void* m_data;
};

wxTreeItemId itemId(Tree::Item item) {
    return wxTreeItemId(item);
}

void giveImages(wxTreeCtrl* tree, const std::vector<wxBitmap>& images) {
    if (images.empty()) {
        return;
    }
    auto* list = new wxImageList(images.front().GetWidth(), images.front().GetHeight());
    for (const auto& image : images) {
        list->Add(image);
    }
    tree->AssignImageList(list);
}

// The expand and collapse marks are drawn here: the toolkit's own come from
// the icon theme as SVG, and loading that format held up the first paint of
// every tree, the program's start among them, by several milliseconds.
constexpr int kMarkSize = 16;

struct Point {
    double x;
    double y;
};

bool inside(const std::array<Point, 3>& t, double x, double y) {
    // Same side of all three edges, whichever way round the corners go.
    auto side = [&](const Point& a, const Point& b) {
        return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
    };
    const double d1 = side(t[0], t[1]);
    const double d2 = side(t[1], t[2]);
    const double d3 = side(t[2], t[0]);
    return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
}

// A small triangle in the text's colour, pointing right when collapsed and
// down when expanded, its edges smoothed by sampling each pixel 4 × 4 times.
wxBitmap expanderMark(const wxColour& colour, bool expanded) {
    constexpr double u = kMarkSize / 16.0;
    const std::array<Point, 3> shape =
        expanded ? std::array<Point, 3>{{{4 * u, 6 * u}, {12 * u, 6 * u}, {8 * u, 11 * u}}}
                 : std::array<Point, 3>{{{6 * u, 4 * u}, {11 * u, 8 * u}, {6 * u, 12 * u}}};
    constexpr int kSamples = 4;
    wxImage image(kMarkSize, kMarkSize);
    image.SetRGB(wxRect(0, 0, kMarkSize, kMarkSize), colour.Red(), colour.Green(), colour.Blue());
    image.InitAlpha();
    for (int y = 0; y < kMarkSize; ++y) {
        for (int x = 0; x < kMarkSize; ++x) {
            int hits = 0;
            for (int j = 0; j < kSamples; ++j) {
                for (int i = 0; i < kSamples; ++i) {
                    hits += inside(shape, x + (i + 0.5) / kSamples, y + (j + 0.5) / kSamples);
                }
            }
            image.SetAlpha(x, y, static_cast<unsigned char>(hits * 255 / (kSamples * kSamples)));
        }
    }
    return wxBitmap(image);
}

void giveExpanderMarks(wxTreeCtrl* tree) {
    // Collapsed, collapsed and selected, expanded, expanded and selected: the
    // selection's highlight covers the text only, so the marks stay the same.
    const wxColour colour = tree->GetForegroundColour();
    auto* marks = new wxImageList(kMarkSize, kMarkSize, true);
    for (bool expanded : {false, false, true, true}) {
        marks->Add(expanderMark(colour, expanded));
    }
    tree->AssignButtonsImageList(marks);
}

}  // namespace

wxWindow* Tree::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    auto* control = new wxTreeCtrl(parent, wxID_ANY, pos, size,
                                   wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE);
    giveExpanderMarks(control);
    giveImages(control, m_images);
    return control;
}

void Tree::setImages(const std::vector<wxBitmap>& images) {
    m_images = images;
    if (auto* t = tree()) {
        giveImages(t, images);
    }
}

void Tree::bindControlEvents() {
    for (wxEventType type : std::initializer_list<wxEventType>{
             wxEVT_TREE_SEL_CHANGED, wxEVT_TREE_ITEM_ACTIVATED, wxEVT_CONTEXT_MENU,
             wxEVT_TREE_KEY_DOWN, wxEVT_TREE_ITEM_EXPANDED, wxEVT_TREE_ITEM_COLLAPSED,
             wxEVT_TREE_BEGIN_DRAG}) {
        listen(type);
    }
}

bool Tree::translate(wxEvent& event) {
    if (!isOwnEvent(event)) {
        return false;
    }
    const wxEventType type = event.GetEventType();
    Notify notify;
    if (type == wxEVT_CONTEXT_MENU) {
        // The tree's own item-menu event is not sent for its empty area, where
        // a menu is still wanted.
        notify.code = codes::kContextMenu;
        const bool keyboard = isKeyboardMenu(event);
        wxRect rect;
        if (keyboard && selection()) {
            tree()->GetBoundingRect(itemId(selection()), rect, true);
        }
        const wxPoint point = menuPoint(event, rect);
        notify.x = point.x;
        notify.y = point.y;
        notify.item = keyboard ? selection() : hitTest(point.x, point.y);
        notifyParent(notify);
        return true;
    }
    // Focus and other events of the control come here too.
    auto* treeEvent = dynamic_cast<wxTreeEvent*>(&event);
    if (!treeEvent) {
        return false;
    }
    notify.item = treeEvent->GetItem().GetID();
    if (type == wxEVT_TREE_SEL_CHANGED) {
        notify.code = codes::kItemSelected;
    } else if (type == wxEVT_TREE_ITEM_ACTIVATED) {
        notify.code = codes::kItemActivated;
    } else if (type == wxEVT_TREE_KEY_DOWN) {
        notify.code = codes::kKeyDown;
        notify.key = treeEvent->GetKeyCode();
        notify.item = selection();
        event.Skip();  // arrows still move the selection
    } else if (type == wxEVT_TREE_ITEM_EXPANDED) {
        notify.code = codes::kItemExpanded;
    } else if (type == wxEVT_TREE_ITEM_COLLAPSED) {
        notify.code = codes::kItemCollapsed;
    } else if (type == wxEVT_TREE_BEGIN_DRAG) {
        notify.code = codes::kBeginDrag;
    } else {
        return false;
    }
    notifyParent(notify);
    return true;
}

wxTreeCtrl* Tree::tree() const {
    return dynamic_cast<wxTreeCtrl*>(handle());
}

Tree::Item Tree::addRoot(const std::u16string& text, int image) {
    auto* t = tree();
    if (!t || t->GetRootItem().IsOk()) {
        return nullptr;
    }
    return t->AddRoot(toWx(text), image, image).GetID();
}

Tree::Item Tree::root() const {
    auto* t = tree();
    return t ? t->GetRootItem().GetID() : nullptr;
}

Tree::Item Tree::insert(Item parent, int index, const std::u16string& text, int image) {
    auto* t = tree();
    if (!t || !parent) {
        return nullptr;
    }
    const int count = childCount(parent);
    if (index < 0 || index >= count) {
        return t->AppendItem(itemId(parent), toWx(text), image, image).GetID();
    }
    return t->InsertItem(itemId(parent), static_cast<size_t>(index), toWx(text), image, image)
        .GetID();
}

void Tree::remove(Item item) {
    if (auto* t = tree(); t && item) {
        t->Delete(itemId(item));
    }
}

void Tree::removeChildren(Item item) {
    if (auto* t = tree(); t && item) {
        t->DeleteChildren(itemId(item));
    }
}

void Tree::removeAll() {
    if (auto* t = tree()) {
        t->DeleteAllItems();
    }
}

std::u16string Tree::itemText(Item item) const {
    auto* t = tree();
    return t && item ? fromWx(t->GetItemText(itemId(item))) : std::u16string();
}

void Tree::setItemText(Item item, const std::u16string& text) {
    if (auto* t = tree(); t && item) {
        t->SetItemText(itemId(item), toWx(text));
    }
}

int Tree::itemImage(Item item) const {
    auto* t = tree();
    return t && item ? t->GetItemImage(itemId(item)) : -1;
}

void Tree::setItemBold(Item item, bool bold) {
    if (auto* t = tree(); t && item) {
        t->SetItemBold(itemId(item), bold);
    }
}

bool Tree::isItemBold(Item item) const {
    auto* t = tree();
    return t && item && t->IsBold(itemId(item));
}

void Tree::setItemData(Item item, void* data) {
    if (auto* t = tree(); t && item) {
        // The control does not free data it is handed again, so reuse it.
        if (auto* existing = static_cast<ItemData*>(t->GetItemData(itemId(item)))) {
            existing->m_data = data;
        } else {
            t->SetItemData(itemId(item), new ItemData(data));
        }
    }
}

void* Tree::itemData(Item item) const {
    auto* t = tree();
    if (!t || !item) {
        return nullptr;
    }
    auto* data = static_cast<ItemData*>(t->GetItemData(itemId(item)));
    return data ? data->m_data : nullptr;
}

Tree::Item Tree::parent(Item item) const {
    auto* t = tree();
    return t && item ? t->GetItemParent(itemId(item)).GetID() : nullptr;
}

Tree::Item Tree::firstChild(Item item) const {
    auto* t = tree();
    if (!t || !item) {
        return nullptr;
    }
    wxTreeItemIdValue cookie;
    return t->GetFirstChild(itemId(item), cookie).GetID();
}

Tree::Item Tree::nextSibling(Item item) const {
    auto* t = tree();
    return t && item ? t->GetNextSibling(itemId(item)).GetID() : nullptr;
}

int Tree::childCount(Item item) const {
    auto* t = tree();
    return t && item ? static_cast<int>(t->GetChildrenCount(itemId(item), false)) : 0;
}

Tree::Item Tree::selection() const {
    auto* t = tree();
    return t ? t->GetSelection().GetID() : nullptr;
}

void Tree::select(Item item) {
    if (auto* t = tree(); t && item) {
        t->SelectItem(itemId(item));
    }
}

void Tree::expand(Item item) {
    if (auto* t = tree(); t && item) {
        t->Expand(itemId(item));
    }
}

void Tree::collapse(Item item) {
    if (auto* t = tree(); t && item) {
        t->Collapse(itemId(item));
    }
}

bool Tree::isExpanded(Item item) const {
    auto* t = tree();
    return t && item && t->IsExpanded(itemId(item));
}

void Tree::ensureVisible(Item item) {
    if (auto* t = tree(); t && item) {
        t->EnsureVisible(itemId(item));
    }
}

Tree::Item Tree::hitTest(int x, int y) const {
    auto* t = tree();
    if (!t) {
        return nullptr;
    }
    int flags = 0;
    const wxTreeItemId item = t->HitTest(wxPoint(x, y), flags);
    return (flags & wxTREE_HITTEST_ONITEM) ? item.GetID() : nullptr;
}

}  // namespace pw
