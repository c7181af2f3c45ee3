// Reading the player formats.
#include "export/PlayerFormat.h"

#include "xml/XMLParser.h"

namespace pw {

std::string PlayerFormat::syltLanguage() const {
    if (language.size() != 3) {
        return "eng";
    }
    std::string code;
    for (char16_t c : language) {
        code.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return code;
}

std::vector<PlayerFormat> loadPlayerFormats(const std::string& path) {
    XMLParser document;
    std::vector<PlayerFormat> formats;
    if (!document.load(path) || !document.getRoot()) {
        return formats;
    }
    std::vector<Element*> elements;
    Element* root = document.getRoot();
    for (const char16_t* name : {u"PlayerFormat", u"Format"}) {
        if (root->getName() == name) {
            elements.push_back(root);
        }
        root->findAll(name, elements);
        if (!elements.empty()) {
            break;
        }
    }
    for (const Element* element : elements) {
        PlayerFormat format;
        format.name = element->getAttribute(u"name");
        format.appName = element->getAttribute(u"appName");
        format.headerName = element->getAttribute(u"headerName");
        format.version = element->getAttribute(u"version");
        format.language = element->getAttribute(u"language");
        format.encoding = element->getAttribute(u"encoding");
        format.x = element->getIntAttribute(u"x");
        format.y = element->getIntAttribute(u"y");
        format.width = element->getIntAttribute(u"width");
        format.rowCount = element->getIntAttribute(u"rowCount");
        format.fontSize = element->getIntAttribute(u"fontSize");
        format.extendedTag = element->getAttribute(u"extendedTag", u".");
        formats.push_back(std::move(format));
    }
    return formats;
}

int findPlayerFormat(const std::vector<PlayerFormat>& formats, const std::u16string& name) {
    for (size_t i = 0; i < formats.size(); ++i) {
        if (formats[i].name == name) {
            return static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < formats.size(); ++i) {
        if (formats[i].headerName == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace pw
