// The texts of the sample learning file, for tests of what is made of them.
#pragma once

#include <regex>
#include <string>
#include <vector>

#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"

namespace pw::test {

// The texts of one element ("sentence", "translation") of
// Data/EverydayEnglish.xml, in order.
inline std::vector<std::u16string> sampleTexts(const std::string& element) {
    const std::string xml = readAll(sourceDir() + "/Data/EverydayEnglish.xml");
    const std::regex cdata("<" + element + R"(><!\[CDATA\[(.*?)\]\]>)");
    std::vector<std::u16string> texts;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), cdata);
         it != std::sregex_iterator(); ++it) {
        texts.push_back(fromUtf8((*it)[1].str()));
    }
    return texts;
}

// Whether text holds a kanji (a CJK unified ideograph or the repeat mark).
inline bool hasKanji(std::u16string_view text) {
    for (const char16_t c : text) {
        if ((c >= 0x4E00 && c <= 0x9FFF) || c == u'々') {
            return true;
        }
    }
    return false;
}

}  // namespace pw::test
