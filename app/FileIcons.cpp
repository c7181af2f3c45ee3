// Item icons.
#include "app/FileIcons.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include <wx/artprov.h>
#include <wx/icon.h>
#include <wx/iconloc.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mimetype.h>

#include "app/LearningLibrary.h"
#include "core/Utf.h"
#include "gui/WxText.h"

namespace pw {
namespace {

// Our own icons, drawn for the library at 16 x 16.
// clang-format off
const char* const kFolderXpm[] = {
    "16 16 4 1",
    "  c None",
    "+ c #F4CD57",
    ". c #8C6D1F",
    "@ c #D9A830",
    "                ",
    "                ",
    " .....          ",
    ".+++++.         ",
    ".+++++........  ",
    ".@@@@@@@@@@@@@. ",
    ".+++++++++++++. ",
    ".+++++++++++++. ",
    ".+++++++++++++. ",
    ".+++++++++++++. ",
    ".+++++++++++++. ",
    ".+++++++++++++. ",
    ".+++++++++++++. ",
    " .............  ",
    "                ",
    "                "
};
const char* const kFileXpm[] = {
    "16 16 3 1",
    "  c None",
    "+ c #FFFFFF",
    ". c #6E6E6E",
    "  ........      ",
    "  .++++++..     ",
    "  .++++++.+.    ",
    "  .++++++.++.   ",
    "  .++++++....   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  ...........   "
};
const char* const kXmlXpm[] = {
    "16 16 4 1",
    "  c None",
    "+ c #FFFFFF",
    ". c #6E6E6E",
    "x c #2E7D32",
    "  ........      ",
    "  .++++++..     ",
    "  .++++++.+.    ",
    "  .++++++.++.   ",
    "  .++++++....   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .++x+++x++.   ",
    "  .+x+++++x+.   ",
    "  .++x+++x++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  .+++++++++.   ",
    "  ...........   "
};
const char* const kMp3Xpm[] = {
    "16 16 4 1",
    "  c None",
    "+ c #FFFFFF",
    ". c #6E6E6E",
    "x c #1F5FBF",
    "  ........      ",
    "  .++++++..     ",
    "  .++++++.+.    ",
    "  .++++++.++.   ",
    "  .++++++....   ",
    "  .+++++xx++.   ",
    "  .+++++x+x+.   ",
    "  .+++++x+++.   ",
    "  .+++++x+++.   ",
    "  .+++++x+++.   ",
    "  .+++++x+++.   ",
    "  .+++xxx+++.   ",
    "  .++xxx++++.   ",
    "  .+++x+++++.   ",
    "  .+++++++++.   ",
    "  ...........   "
};
// clang-format on

bool isDirectory(std::u16string_view path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(toUtf8(path), ec);
}

std::u16string extensionKey(std::u16string_view path) {
    std::u16string key(fileExtension(path));
    for (char16_t& c : key) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return key;
}

wxBitmap toIconSize(const wxBitmap& bitmap) {
    if (!bitmap.IsOk()) {
        return wxBitmap();
    }
    if (bitmap.GetWidth() == FileIcons::kSize && bitmap.GetHeight() == FileIcons::kSize) {
        return bitmap;
    }
    wxImage image = bitmap.ConvertToImage();
    image.Rescale(FileIcons::kSize, FileIcons::kSize, wxIMAGE_QUALITY_HIGH);
    return wxBitmap(image);
}

// Icon themes keep each icon in folders named by size ("512x512"); the small
// one looks better than the large one scaled down.
wxString smallVariant(const wxString& file) {
    wxString small;
    const wxArrayString parts = wxSplit(file, '/', '\0');
    for (size_t i = 0; i < parts.size(); ++i) {
        const wxString& part = parts[i];
        const int x = part.Find('x');
        const bool isSize = x > 0 && part.Mid(0, x).IsNumber() && part.Mid(x + 1).IsNumber();
        small += (i ? "/" : "") + (isSize ? wxString("16x16") : part);
    }
    return small != file && wxFileExists(small) ? small : file;
}

}  // namespace

FileIcons::FileIcons() {
    std::error_code ec;
    const std::u16string folder = fromUtf8(std::filesystem::current_path(ec).string());
    add(Entry{folder, true}, extensionKey(folder));
}

int FileIcons::imageFor(std::u16string_view path) {
    if (isDirectory(path)) {
        return kFolderImage;
    }
    std::u16string key = extensionKey(path);
    if (auto found = m_byExtension.find(key); found != m_byExtension.end()) {
        return found->second;
    }
    return add(Entry{std::u16string(path), false}, std::move(key));
}

int FileIcons::add(Entry entry, std::u16string key) {
    wxBitmap icon = m_desktop ? desktopIcon(entry) : wxBitmap();
    m_images.push_back(icon.IsOk() ? icon : ownIcon(entry));
    m_entries.push_back(std::move(entry));
    const int index = static_cast<int>(m_images.size()) - 1;
    m_byExtension.emplace(std::move(key), index);
    return index;
}

bool FileIcons::useDesktopIcons() {
    m_desktop = true;
    bool changed = false;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const wxBitmap icon = desktopIcon(m_entries[i]);
        if (icon.IsOk()) {
            m_images[i] = icon;
            changed = true;
        }
    }
    return changed;
}

wxBitmap FileIcons::desktopIcon(const Entry& entry) const {
    wxLogNull quiet;  // a missing or unreadable icon file leaves ours
    if (entry.isFolder) {
        return toIconSize(
            wxArtProvider::GetBitmap(wxART_FOLDER, wxART_OTHER, wxSize(kSize, kSize)));
    }
    const std::u16string_view extension = fileExtension(entry.path);
    if (extension.size() < 2) {
        return wxBitmap();
    }
    std::unique_ptr<wxFileType> type(
        wxTheMimeTypesManager->GetFileTypeFromExtension(toWx(extension.substr(1))));
    wxIconLocation location;
    if (!type || !type->GetIcon(&location) || !location.IsOk()) {
        return wxBitmap();
    }
    location.SetFileName(smallVariant(location.GetFileName()));
    const wxIcon icon(location);
    return icon.IsOk() ? toIconSize(wxBitmap(icon)) : wxBitmap();
}

wxBitmap FileIcons::ownIcon(const Entry& entry) {
    if (entry.isFolder) {
        return wxBitmap(kFolderXpm);
    }
    const std::u16string key = extensionKey(entry.path);
    return wxBitmap(key == u".xml" ? kXmlXpm : key == u".mp3" ? kMp3Xpm : kFileXpm);
}

}  // namespace pw
