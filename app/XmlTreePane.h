// The library of learning files as a tree ("Data" tab): the entries of
// "Tree.xml" with their labels and icons, the states they were left in,
// double-click to open, and the context menu that opens, adds and removes
// entries, imports the learner's own sentences and shows an entry's folder.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/FileIcons.h"
#include "app/LearningLibrary.h"
#include "core/AppFiles.h"
#include "gui/Tree.h"

namespace pw {

// What the library asks of the pane it serves.
class LibraryListener {
public:
    virtual ~LibraryListener() = default;
    // Opens path for practice; false when it could not be opened.
    virtual bool openLearningFile(const std::u16string& path) = 0;
    // The entries of these paths left the library.
    virtual void learningFilesRemoved(const std::vector<std::u16string>& paths) = 0;
};

class XmlTreePane : public BaseWindow {
public:
    using Item = Tree::Item;

    // Context-menu commands.
    enum MenuId { kOpen = 1, kOpenFolder, kOpenFile, kRemove, kImportSentences };

    explicit XmlTreePane(LibraryListener& listener);

    // Reads the library and fills the tree; a file that cannot be read leaves
    // an empty library (see LearningLibrary::load).
    LearningLibrary::LoadResult loadLibrary(
        const std::string& path = learnerFile(library::kDefaultPath));
    // Shows the document anew: the top item (labelled with the document's
    // path) and its entries, selected and expanded as their states say.
    void rebuildTree();
    // Stores each item's state in its element and writes the library.
    bool saveLibrary(std::string* error);

    // New entries for path: the last child of parent, or right after item.
    Item addChild(Item parent, const std::u16string& path);
    Item addSibling(Item item, const std::u16string& path);
    // Removes item with the items below it, and their elements; returns
    // their paths. The top item stays.
    std::vector<std::u16string> removeItem(Item item);
    Item findItemByPath(std::u16string_view path) const;
    Item selectedItem() const { return m_tree.selection(); }
    Item rootItem() const { return m_tree.root(); }
    // The item's "path"; empty when it has none.
    std::u16string itemPath(Item item) const;
    // An existing folder, or an item showing the folder image.
    bool isFolder(Item item) const;
    // The label a file opened from path is known by: its entry's label (the
    // selected entry's when that is the one), else its own file name.
    std::u16string labelForPath(std::u16string_view path) const;

    Element* element(Item item) const;
    Tree& tree() { return m_tree; }
    LearningLibrary& library() { return m_library; }

    // How "Open Folder" shows a folder; the desktop's file manager by default.
    void setFolderOpener(std::function<void(const std::string&)> opener) {
        m_openFolder = std::move(opener);
    }
    // How "Import Sentences..." makes a learning file: the import dialog by
    // default; the file written, or nothing when the learner gave up.
    void setSentenceImporter(std::function<std::optional<std::u16string>()> importer) {
        m_importSentences = std::move(importer);
    }

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onNotify(const Notify& notify) override;
    void onTimer(int id) override;

private:
    Item insertItem(Item parent, int index, Element& element);
    int imageOf(std::u16string_view path);
    void showContextMenu(int x, int y);
    // Opens the item's file; a folder or the top item opens or closes instead.
    void activate(Item item);
    void openFolderOf(Item item);
    void openChosenFile(Item hit);
    // Opens path and selects its entry, adding one where the pointer was
    // when the library has none.
    void openAndList(Item hit, const std::u16string& path);
    int indexInParent(Item item) const;
    std::vector<Item> children(Item item) const;

    LibraryListener& m_listener;
    LearningLibrary m_library;
    Tree m_tree;
    std::optional<FileIcons> m_icons;  // made with the window
    size_t m_imageCount = 0;
    std::unordered_map<Item, Element*> m_items;
    std::function<void(const std::string&)> m_openFolder;
    std::function<std::optional<std::u16string>()> m_importSentences;
};

}  // namespace pw
