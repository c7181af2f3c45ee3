// The theme list, its colours and its menu.
#include "practice/TypingStyleManager.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/ProfileSettings.h"
#include "core/UiServices.h"
#include "core/Utf.h"

namespace pw {
namespace {

constexpr char16_t kThemeList[] = u"ThemeList";
constexpr char16_t kTheme[] = u"Theme";
constexpr char16_t kName[] = u"name";
constexpr char16_t kAuthor[] = u"author";
constexpr char16_t kFrame[] = u"frame";

struct ColorSpec {
    const char* key;
    ColorValue defaultColor;
};
constexpr ColorSpec kColors[TypingStyleManager::kColorCount] = {
    {"textColor", makeColor(0xff, 0xff, 0xff)},
    {"backgroundColor", makeColor(0x20, 0x20, 0x20)},
    {"translationTextColor", makeColor(0xff, 0x64, 0xb4)},
    {"selectionColor", makeColor(0x80, 0xbe, 0xff)},
    {"hintTextColor", makeColor(0xc8, 0x20, 0x20)},
    {"patternColor1", makeColor(0x6e, 0xaa, 0xdc)},
    {"patternColor2", makeColor(0x82, 0xdc, 0x96)},
};

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return 0;  // not a digit: adds nothing, as a 0 would
}

bool validIndex(int index) {
    return index >= 0 && index < TypingStyleManager::kColorCount;
}

// A new list holding the default theme, written as UTF-8 so that it is easy
// to edit by hand.
void makeDefaultList(XMLParser& document) {
    document.parseString(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><ThemeList />");
    if (!document.getRoot() || document.getRoot()->getName() != kThemeList) {
        document.setRoot(std::make_unique<Element>(kThemeList));
    }
    Element* theme = document.getRoot()->appendElement(kTheme);
    theme->setAttribute(kName, u"default");
    for (const ColorSpec& color : kColors) {
        theme->setAttribute(fromUtf8(color.key),
                            TypingStyleManager::formatColor(color.defaultColor));
    }
}

}  // namespace

TypingStyleManager::TypingStyleManager(std::string path) : m_path(std::move(path)) {}

void TypingStyleManager::load() {
    std::error_code ec;
    const bool exists = std::filesystem::exists(m_path, ec);
    m_themes.clear();
    if (!m_document.load(m_path)) {
        makeDefaultList(m_document);
        m_document.setPath(m_path);
        m_current = m_document.getRoot()->getFirstChild();
        std::string error;
        if (!exists) {
            // A program folder without Resources/ still gets its theme list.
            const auto folder = std::filesystem::path(m_path).parent_path();
            if (!folder.empty()) {
                std::filesystem::create_directories(folder, ec);
            }
        }
        if (!exists && !m_document.saveAs(m_path, &error)) {
            // The default theme still serves; the learner should know why
            // the list is not there to edit.
            messageBox(u"The theme list \"" + fromUtf8(m_path) +
                           u"\" could not be created, so the default theme is used.\n" +
                           fromUtf8(error),
                       MbOk | MbIconWarning);
        }
    }
    if (Element* root = m_document.getRoot()) {
        for (Element* child = root->getFirstChild(); child; child = child->getNextSibling()) {
            if (child->getName() == kTheme) {
                m_themes.push_back(child);
            }
        }
    }
    m_themeIndex = ProfileSettings::instance().read(settings::kTheme);
    if (m_themeIndex < 0 || m_themeIndex >= themeCount()) {
        m_themeIndex = 0;
    }
    if (!m_themes.empty()) {
        m_current = m_themes[m_themeIndex];
    }
}

ColorValue TypingStyleManager::getColor(int index) const {
    if (!validIndex(index)) {
        return 1;
    }
    const ColorValue fallback = kColors[index].defaultColor;
    if (!m_current) {
        return fallback;
    }
    return parseColor(m_current->getAttribute(fromUtf8(kColors[index].key)), fallback);
}

std::string TypingStyleManager::colorKey(int index) const {
    return validIndex(index) ? kColors[index].key : std::string();
}

void TypingStyleManager::setColor(int index, ColorValue color) {
    if (m_current && validIndex(index)) {
        m_current->setAttribute(fromUtf8(kColors[index].key), formatColor(color));
    }
}

bool TypingStyleManager::useFrame() const {
    return !m_current || m_current->getIntAttribute(kFrame, 1) != 0;
}

std::vector<MenuItem> TypingStyleManager::menuItems() const {
    std::vector<MenuItem> items;
    for (int i = 0; i < themeCount(); ++i) {
        const Element& theme = *m_themes[i];
        const std::u16string name = theme.getAttribute(kName);
        if (name.empty()) {
            items.push_back(MenuItem::makeSeparator());
            continue;
        }
        MenuItem item;
        item.id = kFirstMenuId + i;
        item.text = name;
        const std::u16string author = theme.getAttribute(kAuthor);
        if (!author.empty()) {
            item.text += u"\t(" + author + u")";
        }
        item.checked = m_themes[i] == m_current;
        items.push_back(std::move(item));
    }
    return items;
}

bool TypingStyleManager::chooseMenuItem(int id) {
    const int index = id - kFirstMenuId;
    if (index < 0 || index >= themeCount() || m_themes[index]->getAttribute(kName).empty()) {
        return false;
    }
    m_themeIndex = index;
    m_current = m_themes[index];
    return true;
}

void TypingStyleManager::saveSettings() const {
    ProfileSettings::instance().write(settings::kTheme, m_themeIndex);
}

ColorValue TypingStyleManager::parseColor(std::u16string_view text, ColorValue defaultColor) {
    if (text.empty()) {
        return defaultColor;
    }
    if (text.size() < 2 || text[0] != u'#') {
        return 0;
    }
    uint32_t rgb = 0;
    for (char16_t c : text.substr(1)) {
        rgb = rgb * 16 + static_cast<uint32_t>(hexDigit(c));
    }
    return makeColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

std::u16string TypingStyleManager::formatColor(ColorValue color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colorRed(color), colorGreen(color),
                  colorBlue(color));
    return fromUtf8(text);
}

ColorValue TypingStyleManager::defaultColor(int index) {
    return validIndex(index) ? kColors[index].defaultColor : 1;
}

}  // namespace pw
