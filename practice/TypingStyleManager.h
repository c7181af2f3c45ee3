// The colour themes of the practice view, kept in "Resources/ThemeList.xml":
//
//   <ThemeList>
//     <Theme name="default" textColor="#ffffff" backgroundColor="#202020" ... />
//     <Theme name="" />                                    (a menu separator)
//     <Theme name="Paper" author="..." frame="0" ... />
//   </ThemeList>
//
// The chosen theme's index is the "Theme" setting.
#pragma once

#include <string>
#include <vector>

#include "core/AppFiles.h"
#include "practice/MenuModel.h"
#include "practice/StyleLister.h"
#include "xml/XMLParser.h"

namespace pw {

class TypingStyleManager : public StyleLister {
public:
    static constexpr const char* kDefaultPath = "Resources/ThemeList.xml";
    static constexpr int kColorCount = 7;
    // Theme menu items have the ids kFirstMenuId, kFirstMenuId + 1, ... in list order.
    static constexpr int kFirstMenuId = 10;

    explicit TypingStyleManager(std::string path = learnerFile(kDefaultPath));

    // Reads the theme list and makes the theme of the "Theme" setting current
    // (the first theme when the setting is out of range). A missing file is
    // created holding the default theme; a file that exists but cannot be
    // read is left alone and the default theme is used in memory.
    void load();

    ColorValue getColor(int index) const override;
    int colorCount() const override { return kColorCount; }
    std::string colorKey(int index) const override;
    // Changes the current theme in memory only.
    void setColor(int index, ColorValue color) override;

    // Whether the view draws its rounded frames: the theme's "frame", default 1.
    bool useFrame() const;

    int themeIndex() const { return m_themeIndex; }
    int themeCount() const { return static_cast<int>(m_themes.size()); }
    const std::string& path() const { return m_path; }

    // The theme menu: the name, then TAB and "(author)" when there is an
    // author; a nameless theme is a separator; the current theme is checked.
    std::vector<MenuItem> menuItems() const;
    // Makes the theme of a menu item current; false (nothing changes) for an
    // id that names no selectable theme.
    bool chooseMenuItem(int id);

    // Writes the theme index to the settings.
    void saveSettings() const;

    // A colour attribute's value: "#" and hexadecimal digits as 0xRRGGBB, any
    // number of them; empty text gives defaultColor and other text without
    // "#" black.
    static ColorValue parseColor(std::u16string_view text, ColorValue defaultColor);
    // "#rrggbb" in lower case.
    static std::u16string formatColor(ColorValue color);
    static ColorValue defaultColor(int index);

private:
    std::string m_path;
    XMLParser m_document;
    std::vector<Element*> m_themes;
    Element* m_current = nullptr;
    int m_themeIndex = 0;
};

}  // namespace pw
