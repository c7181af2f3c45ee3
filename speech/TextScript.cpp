// Scripts of texts and the voices that read them.
#include "speech/TextScript.h"

#include <array>

namespace pw {
namespace {

bool isKana(char16_t c) {
    return (c >= 0x3041 && c <= 0x30FF && c != 0x30FB) || (c >= 0x31F0 && c <= 0x31FF) ||
           (c >= 0xFF66 && c <= 0xFF9D);
}

bool isHangul(char16_t c) {
    return (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x1100 && c <= 0x11FF) ||
           (c >= 0x3130 && c <= 0x318F);
}

bool isHan(char16_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0xF900 && c <= 0xFAFF);
}

bool isLatin(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
           (c >= 0x00C0 && c <= 0x024F && c != 0x00D7 && c != 0x00F7);
}

}  // namespace

TextScript textScript(const std::u16string& text) {
    bool hangul = false;
    bool han = false;
    bool latin = false;
    for (char16_t c : text) {
        if (isKana(c)) {
            return TextScript::Japanese;
        }
        hangul = hangul || isHangul(c);
        han = han || isHan(c);
        latin = latin || isLatin(c);
    }
    if (hangul) {
        return TextScript::Korean;
    }
    if (han) {
        return TextScript::Chinese;
    }
    return latin ? TextScript::Latin : TextScript::None;
}

TextScript mainScript(const std::vector<std::u16string>& texts) {
    constexpr std::array<TextScript, 4> kOrder = {TextScript::Japanese, TextScript::Korean,
                                                  TextScript::Chinese, TextScript::Latin};
    std::array<int, 4> counts{};
    for (const std::u16string& text : texts) {
        const TextScript script = textScript(text);
        for (size_t i = 0; i < kOrder.size(); ++i) {
            counts[i] += script == kOrder[i] ? 1 : 0;
        }
    }
    size_t best = 0;
    for (size_t i = 1; i < kOrder.size(); ++i) {
        if (counts[i] > counts[best]) {
            best = i;
        }
    }
    return counts[best] > 0 ? kOrder[best] : TextScript::None;
}

std::vector<std::string> voiceLanguagesFor(TextScript script) {
    switch (script) {
        case TextScript::Japanese:
            return {"ja"};
        case TextScript::Korean:
            return {"ko"};
        case TextScript::Chinese:
            return {"cmn", "zh", "yue"};
        case TextScript::Latin:
            return {"en-us", "en"};
        default:
            return {};
    }
}

}  // namespace pw
