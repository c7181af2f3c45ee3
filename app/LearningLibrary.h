// The library of learning files as a document: "Tree.xml" read into elements,
// the label of an entry, where new entries go, and saving without losing a
// library file that could not be read. No toolkit code; XmlTreePane shows it.
//
// Format: the root element (any name) holds the entries, entries hold entries.
// An entry element (the program writes TreeItem) has "path" (a learning file
// or a folder), an optional "name" shown instead of the file name, and
// "state", the tree item's state bits at the last close.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "xml/XMLParser.h"

namespace pw {

namespace library {
inline constexpr int kStateSelected = 2;
inline constexpr int kStateExpanded = 32;
inline constexpr char kDefaultPath[] = "Tree.xml";
inline constexpr char16_t kItemName[] = u"TreeItem";
}  // namespace library

// The file-name part of path: after its last "/" or "\", trailing separators
// of a folder path left out.
std::u16string_view fileNamePart(std::u16string_view path);
// The file name's extension from its last ".", the dot included; empty when
// the file name has none.
std::u16string_view fileExtension(std::u16string_view path);
// The file name without its extension.
std::u16string labelFromPath(std::u16string_view path);
// The label an entry shows: its "name", or the label of its "path" when the
// name is absent or empty.
std::u16string itemLabel(const Element& item);
// Whether path is absolute here or on the system it may have been written on
// ("C:\..."), so that it is never looked for under another folder.
bool isAbsolutePath(std::u16string_view path);

// Where a new entry goes when the learner pointed at target (the root when at
// nothing): inside a folder or the root as its last entry, otherwise right
// after target under the same parent.
struct Placement {
    Element* parent = nullptr;
    Element* after = nullptr;  // null: last child of parent
};
Placement placeNewItem(Element& target, bool targetIsFolder);

class LearningLibrary {
public:
    enum class LoadResult {
        Loaded,
        Missing,     // no file (or an empty one): a new, empty library
        Unreadable,  // a file that could not be read or parsed: empty, kept at save
    };

    // Reads the library from path. Parse errors are shown by the reader; a
    // file that could not be read otherwise is reported in a box here. Except
    // when loaded, the library starts empty and the file is copied to
    // backupPath() before the first save replaces it.
    LoadResult load(const std::string& path);
    // Writes the document to its path safely; on failure nothing is replaced
    // and error says why.
    bool save(std::string* error);

    const std::string& path() const { return m_document.getPath(); }
    std::string backupPath() const { return path() + ".bak"; }
    // True while an unreadable file waits to be kept before the next save.
    bool keepsUnreadableFile() const { return m_keepUnreadable; }

    Element* root() const { return m_document.getRoot(); }
    XMLParser& document() { return m_document; }

    // A new TreeItem entry for path, appended to parent's entries or linked
    // right after `after` (one of parent's children).
    Element* addItem(Element& parent, Element* after, const std::u16string& path);
    // Unlinks item with the entries below it and hands them over; null for
    // the root or an element outside the document.
    std::unique_ptr<Element> removeItem(Element& item);
    // The first entry, in document order, whose "path" is path.
    Element* findByPath(std::u16string_view path) const;

private:
    void startEmpty(const std::string& path);

    XMLParser m_document;
    bool m_keepUnreadable = false;
};

}  // namespace pw
