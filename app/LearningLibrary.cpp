// The library document.
#include "app/LearningLibrary.h"

#include <filesystem>
#include <system_error>

#include "core/SafeFile.h"
#include "core/UiServices.h"
#include "core/Utf.h"

namespace pw {
namespace {

bool isSeparator(char16_t c) {
    return c == u'/' || c == u'\\';
}

// A new library is written in UTF-8, which people and tools read best.
constexpr char16_t kEmptyLibrary[] =
    u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Tree.xml />\r\n";

}  // namespace

std::u16string_view fileNamePart(std::u16string_view path) {
    while (!path.empty() && isSeparator(path.back())) {
        path.remove_suffix(1);
    }
    size_t start = path.size();
    while (start > 0 && !isSeparator(path[start - 1])) {
        --start;
    }
    return path.substr(start);
}

std::u16string_view fileExtension(std::u16string_view path) {
    const std::u16string_view name = fileNamePart(path);
    const size_t dot = name.rfind(u'.');
    // A leading dot names a hidden file; it is no extension.
    return dot == std::u16string_view::npos || dot == 0 ? std::u16string_view() : name.substr(dot);
}

std::u16string labelFromPath(std::u16string_view path) {
    const std::u16string_view name = fileNamePart(path);
    return std::u16string(name.substr(0, name.size() - fileExtension(name).size()));
}

std::u16string itemLabel(const Element& item) {
    std::u16string name = item.getAttribute(u"name");
    return name.empty() ? labelFromPath(item.getAttribute(u"path")) : name;
}

bool isAbsolutePath(std::u16string_view path) {
    if (!path.empty() && isSeparator(path.front())) {
        return true;
    }
    return path.size() >= 3 && path[1] == u':' && isSeparator(path[2]);
}

Placement placeNewItem(Element& target, bool targetIsFolder) {
    if (targetIsFolder || !target.getParent()) {
        return Placement{&target, nullptr};
    }
    return Placement{target.getParent(), &target};
}

LearningLibrary::LoadResult LearningLibrary::load(const std::string& path) {
    m_keepUnreadable = false;
    if (m_document.load(path)) {
        return LoadResult::Loaded;
    }
    std::error_code ec;
    std::string bytes;
    const bool exists = std::filesystem::exists(path, ec);
    const bool empty = exists && readFileBytes(path, bytes) && bytes.empty();
    startEmpty(path);
    if (!exists || empty) {
        return LoadResult::Missing;
    }
    m_keepUnreadable = true;
    const std::u16string name = fromUtf8(path);
    messageBox(u"The library \"" + name +
                   u"\" could not be read, so it starts empty.\n"
                   u"The file is kept as \"" +
                   fromUtf8(backupPath()) + u"\" when the library is next saved.",
               MbOk | MbIconWarning);
    return LoadResult::Unreadable;
}

void LearningLibrary::startEmpty(const std::string& path) {
    m_document.clear();
    if (!m_document.parseString(kEmptyLibrary)) {
        m_document.setRoot(std::make_unique<Element>(u"Tree.xml"));
    }
    m_document.setPath(path);
}

bool LearningLibrary::save(std::string* error) {
    if (!root()) {
        if (error) {
            *error = "There is no library to save.";
        }
        return false;
    }
    if (m_keepUnreadable) {
        std::error_code ec;
        if (std::filesystem::exists(path(), ec)) {
            std::string bytes;
            std::string why = "it cannot be read";
            if (!readFileBytes(path(), bytes) || !replaceFileContents(backupPath(), bytes, &why)) {
                if (error) {
                    *error = "The unreadable library could not be kept as " + backupPath() + " (" +
                             why + "), so " + path() + " was left as it was.";
                }
                return false;
            }
        }
        m_keepUnreadable = false;
    }
    return m_document.saveAs(path(), error);
}

Element* LearningLibrary::addItem(Element& parent, Element* after, const std::u16string& path) {
    auto item = std::make_unique<Element>(library::kItemName);
    item->setAttribute(u"path", path);
    item->setEmptyTag(true);
    if (after && after->getParent() == &parent) {
        return parent.insertBefore(std::move(item), after->getNextSibling());
    }
    return parent.appendChild(std::move(item));
}

std::unique_ptr<Element> LearningLibrary::removeItem(Element& item) {
    const Element* top = &item;
    while (top->getParent()) {
        top = top->getParent();
    }
    if (&item == root() || top != root()) {
        return nullptr;
    }
    return item.getParent()->removeChild(&item);
}

Element* LearningLibrary::findByPath(std::u16string_view path) const {
    Element* top = root();
    for (Element* e = top ? top->nextInPreOrder(top) : nullptr; e; e = e->nextInPreOrder(top)) {
        if (e->isElement() && e->hasAttribute(u"path") && e->getAttribute(u"path") == path) {
            return e;
        }
    }
    return nullptr;
}

}  // namespace pw
