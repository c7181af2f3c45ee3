// The small icons of the library's items: one image per file extension, taken
// from the desktop's icon for the first path seen with that extension, or one
// of our own (folder, XML, MP3, other file) where the desktop has none.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <wx/bitmap.h>

namespace pw {

class FileIcons {
public:
    static constexpr int kSize = 16;
    static constexpr int kFolderImage = 0;

    // Image 0 is the icon of the program folder (the current directory),
    // registered for its extension, normally the empty one, so that paths
    // without an extension show the folder icon too. Our own icons are used
    // until useDesktopIcons is called.
    FileIcons();

    // The image of path, added on first use of its extension (compared
    // without ASCII case); an existing folder always shows image 0.
    int imageFor(std::u16string_view path);
    const std::vector<wxBitmap>& images() const { return m_images; }

    // Takes the desktop's icons from now on and replaces ours where the
    // desktop has one; false when no image changed. Reading the desktop's
    // file types takes a moment the first time, so this waits until the
    // window is up.
    bool useDesktopIcons();

private:
    struct Entry {
        std::u16string path;  // the first path seen with the extension
        bool isFolder = false;
    };
    int add(Entry entry, std::u16string key);
    wxBitmap desktopIcon(const Entry& entry) const;
    static wxBitmap ownIcon(const Entry& entry);

    std::map<std::u16string, int, std::less<>> m_byExtension;
    std::vector<Entry> m_entries;
    std::vector<wxBitmap> m_images;
    bool m_desktop = false;
};

}  // namespace pw
