// The library tree.
#include "app/XmlTreePane.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include <wx/utils.h>

#include "content/ui/ImportSentencesDialog.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "gui/Menu.h"
#include "gui/WxText.h"

namespace pw {
namespace {

constexpr int kDesktopIconsTimer = 1;
constexpr int kDesktopIconsDelayMs = 250;
constexpr int kMinimumSize = 48;

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

void launchFolder(const std::string& folder) {
    wxLaunchDefaultApplication(wxString::FromUTF8(folder));
}

std::optional<std::u16string> importWithDialog(wxWindow* owner) {
    ImportSentencesDialog dialog;
    if (dialog.showModal(owner) != wxID_OK || dialog.writtenPath().empty()) {
        return std::nullopt;
    }
    return fromUtf8(dialog.writtenPath());
}

}  // namespace

XmlTreePane::XmlTreePane(LibraryListener& listener)
    : m_listener(listener),
      m_openFolder(launchFolder),
      m_importSentences([this] { return importWithDialog(handle()); }) {}

bool XmlTreePane::onCreate() {
    m_icons.emplace();
    m_tree.create(*this);
    m_tree.setImages(m_icons->images());
    m_imageCount = m_icons->images().size();
    // The desktop's icons are read once the window is up and drawn, so that
    // reading its file types (a tenth of a second) does not hold up the start.
    setTimer(kDesktopIconsTimer, kDesktopIconsDelayMs);
    return false;
}

void XmlTreePane::onSize(int width, int height) {
    // GTK complains when a tree is smaller than its scroll bars, as it is
    // for a moment while the window is laid out; the pane clips the rest.
    m_tree.setBounds(0, 0, std::max(width, kMinimumSize), std::max(height, kMinimumSize));
}

void XmlTreePane::onTimer(int id) {
    if (id != kDesktopIconsTimer) {
        return;
    }
    killTimer(id);
    if (m_icons && m_icons->useDesktopIcons()) {
        m_tree.setImages(m_icons->images());
    }
}

LearningLibrary::LoadResult XmlTreePane::loadLibrary(const std::string& path) {
    const auto result = m_library.load(path);
    rebuildTree();
    return result;
}

void XmlTreePane::rebuildTree() {
    m_items.clear();
    m_tree.removeAll();
    Element* root = m_library.root();
    if (!root || !m_tree.handle()) {
        return;
    }
    const std::u16string top = fromUtf8(m_library.path());
    const int topImage = imageOf(top);
    const Item rootItem = m_tree.addRoot(top, topImage);
    m_items[rootItem] = root;

    // Parents come before their children here, so each child is appended
    // to an item that exists already; no recursion for deep libraries.
    std::vector<std::pair<Element*, Item>> order{{root, rootItem}};
    for (size_t i = 0; i < order.size(); ++i) {
        const auto [element, item] = order[i];
        for (Element* child = element->getFirstChild(); child; child = child->getNextSibling()) {
            if (child->isElement()) {
                order.emplace_back(child, insertItem(item, -1, *child));
            }
        }
    }
    // Children before parents: an item is expanded once its children exist.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const int state = it->first->getIntAttribute(u"state", 0);
        if (state & library::kStateSelected) {
            m_tree.select(it->second);
        }
        if (state & library::kStateExpanded) {
            m_tree.expand(it->second);
        }
    }
}

bool XmlTreePane::saveLibrary(std::string* error) {
    const Item selected = m_tree.selection();
    for (const auto& [item, element] : m_items) {
        int state = 0;
        if (item == selected) {
            state |= library::kStateSelected;
        }
        if (m_tree.isExpanded(item)) {
            state |= library::kStateExpanded;
        }
        element->setIntAttribute(u"state", state);
    }
    return m_library.save(error);
}

int XmlTreePane::imageOf(std::u16string_view path) {
    const int image = m_icons ? m_icons->imageFor(path) : -1;
    if (m_icons && m_icons->images().size() != m_imageCount) {
        m_tree.setImages(m_icons->images());
        m_imageCount = m_icons->images().size();
    }
    return image;
}

XmlTreePane::Item XmlTreePane::insertItem(Item parent, int index, Element& element) {
    const int image = imageOf(element.getAttribute(u"path"));
    const Item item = m_tree.insert(parent, index, itemLabel(element), image);
    if (item) {
        m_items[item] = &element;
    }
    return item;
}

XmlTreePane::Item XmlTreePane::addChild(Item parent, const std::u16string& path) {
    Element* parentElement = element(parent);
    if (!parentElement) {
        return nullptr;
    }
    return insertItem(parent, -1, *m_library.addItem(*parentElement, nullptr, path));
}

XmlTreePane::Item XmlTreePane::addSibling(Item item, const std::u16string& path) {
    const Item parent = m_tree.parent(item);
    Element* parentElement = element(parent);
    Element* itemElement = element(item);
    if (!parentElement || !itemElement) {
        return nullptr;
    }
    // The element goes right after its neighbour too, so the library keeps
    // the order the tree shows.
    Element* added = m_library.addItem(*parentElement, itemElement, path);
    return insertItem(parent, indexInParent(item) + 1, *added);
}

int XmlTreePane::indexInParent(Item item) const {
    int index = 0;
    for (Item sibling = m_tree.firstChild(m_tree.parent(item)); sibling && sibling != item;
         sibling = m_tree.nextSibling(sibling)) {
        ++index;
    }
    return index;
}

std::vector<std::u16string> XmlTreePane::removeItem(Item item) {
    std::vector<std::u16string> paths;
    Element* removed = element(item);
    if (!removed || item == m_tree.root()) {
        return paths;
    }
    std::vector<Item> pending{item};
    while (!pending.empty()) {
        const Item next = pending.back();
        pending.pop_back();
        if (std::u16string path = itemPath(next); !path.empty()) {
            paths.push_back(std::move(path));
        }
        m_items.erase(next);
        const std::vector<Item> below = children(next);
        pending.insert(pending.end(), below.begin(), below.end());
    }
    m_tree.remove(item);
    m_library.removeItem(*removed);
    return paths;
}

XmlTreePane::Item XmlTreePane::findItemByPath(std::u16string_view path) const {
    // In the order shown, so that the first entry seen is the one found.
    std::vector<Item> pending{m_tree.root()};
    while (!pending.empty()) {
        const Item item = pending.back();
        pending.pop_back();
        const Element* e = element(item);
        if (e && e->hasAttribute(u"path") && e->getAttribute(u"path") == path) {
            return item;
        }
        const std::vector<Item> below = children(item);
        pending.insert(pending.end(), below.rbegin(), below.rend());
    }
    return nullptr;
}

std::vector<XmlTreePane::Item> XmlTreePane::children(Item item) const {
    std::vector<Item> result;
    for (Item child = m_tree.firstChild(item); child; child = m_tree.nextSibling(child)) {
        result.push_back(child);
    }
    return result;
}

std::u16string XmlTreePane::itemPath(Item item) const {
    const Element* e = element(item);
    return e ? e->getAttribute(u"path") : std::u16string();
}

bool XmlTreePane::isFolder(Item item) const {
    return item && (isDirectory(toUtf8(itemPath(item))) ||
                    m_tree.itemImage(item) == FileIcons::kFolderImage);
}

std::u16string XmlTreePane::labelForPath(std::u16string_view path) const {
    Item item = m_tree.selection();
    if (!item || itemPath(item) != path) {
        item = findItemByPath(path);
    }
    return item ? m_tree.itemText(item) : labelFromPath(path);
}

Element* XmlTreePane::element(Item item) const {
    const auto found = item ? m_items.find(item) : m_items.end();
    return found == m_items.end() ? nullptr : found->second;
}

bool XmlTreePane::onNotify(const Notify& notify) {
    if (notify.sender != m_tree.handle() || !m_tree.handle()) {
        return false;
    }
    try {
        switch (notify.code) {
            case codes::kItemActivated:
                activate(notify.item ? notify.item : m_tree.selection());
                return true;
            case codes::kContextMenu:
                showContextMenu(notify.x, notify.y);
                return true;
            default:
                return false;
        }
    } catch (const std::exception& e) {
        messageBox(fromUtf8(e.what()), MbOk | MbIconError);
        return true;
    }
}

void XmlTreePane::activate(Item item) {
    if (!item) {
        return;
    }
    // A folder is no learning file: trying to open it would only drop the
    // file being practised.
    if (item == m_tree.root() || isFolder(item)) {
        if (m_tree.isExpanded(item)) {
            m_tree.collapse(item);
        } else {
            m_tree.expand(item);
        }
        return;
    }
    m_listener.openLearningFile(itemPath(item));
}

void XmlTreePane::showContextMenu(int x, int y) {
    const Item hit = m_tree.hitTest(x, y);
    PopupMenu menu;
    menu.append(kOpen, u"Open");
    menu.append(kOpenFolder, u"Open Folder");
    menu.append(kOpenFile, u"Open File...");
    menu.append(kImportSentences, u"Import Sentences...");
    menu.appendSeparator();
    menu.append(kRemove, u"Remove");
    menu.setEnabled(kOpen, hit != nullptr);
    menu.setEnabled(kOpenFolder, hit != nullptr);
    // Without the top item there would be nothing to hold the library.
    menu.setEnabled(kRemove, hit != nullptr && hit != m_tree.root());

    const int chosen = menu.track(m_tree, x, y);
    if (chosen == 0 || !menu.isEnabled(chosen)) {
        return;
    }
    switch (chosen) {
        case kOpen:
            m_tree.select(hit);
            activate(m_tree.selection());
            break;
        case kOpenFolder:
            openFolderOf(hit);
            break;
        case kOpenFile:
            openChosenFile(hit);
            break;
        case kImportSentences:
            if (const auto path = m_importSentences ? m_importSentences() : std::nullopt) {
                openAndList(hit, *path);
            }
            break;
        case kRemove:
            m_listener.learningFilesRemoved(removeItem(hit));
            break;
        default:
            break;
    }
}

void XmlTreePane::openFolderOf(Item item) {
    std::string folder = toUtf8(itemPath(item));
    if (folder.empty()) {
        return;
    }
    if (!isDirectory(folder)) {
        const size_t cut = folder.find_last_of("/\\");
        folder = cut == std::string::npos ? std::string() : folder.substr(0, cut);
    }
    if (isDirectory(folder) && m_openFolder) {
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(folder, ec);
        m_openFolder(ec ? folder : absolute.lexically_normal().string());
    }
}

void XmlTreePane::openChosenFile(Item hit) {
    FileChooserRequest request;
    request.title = u"Open File";
    request.filterLabel = u"Learning file (*.xml,*.mp3)";
    request.patterns = u"*.xml;*.mp3";
    request.mustExist = true;
    const std::optional<std::u16string> chosen = ui().chooseFile(request);
    if (chosen && !chosen->empty()) {
        openAndList(hit, *chosen);
    }
}

void XmlTreePane::openAndList(Item hit, const std::u16string& path) {
    if (!m_listener.openLearningFile(path)) {
        return;
    }
    Item item = findItemByPath(path);
    if (!item) {
        const Item target = hit ? hit : m_tree.root();
        Element* targetElement = element(target);
        if (!targetElement) {
            return;
        }
        const Placement place = placeNewItem(*targetElement, isFolder(target));
        item = place.parent == targetElement ? addChild(target, path) : addSibling(target, path);
    }
    m_tree.select(item);
    m_tree.ensureVisible(item);
}

}  // namespace pw
