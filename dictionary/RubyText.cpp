// The ruby preview page and the pairs read back from ruby HTML.
#include "dictionary/RubyText.h"

#include "core/Utf.h"
#include "xml/HtmlText.h"

namespace pw {
namespace {

char16_t lowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// Whether html has the tag name (without "<" or "</") at pos, followed by
// the end of the name.
bool tagNameAt(std::u16string_view html, size_t pos, std::u16string_view name) {
    if (pos + name.size() > html.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (lowerAscii(html[pos + i]) != name[i]) {
            return false;
        }
    }
    const size_t after = pos + name.size();
    return after == html.size() || html[after] == u'>' || html[after] == u'/' ||
           html[after] == u' ' || html[after] == u'\t' || html[after] == u'\r' ||
           html[after] == u'\n';
}

// The name of the tag starting at html[pos] == '<', lower case, and whether
// it closes; empty for comments and the like.
std::u16string tagName(std::u16string_view html, size_t pos, bool& closing) {
    size_t i = pos + 1;
    closing = i < html.size() && html[i] == u'/';
    if (closing) {
        ++i;
    }
    std::u16string name;
    for (; i < html.size(); ++i) {
        const char16_t c = lowerAscii(html[i]);
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))) {
            break;
        }
        name += c;
    }
    return name;
}

// "&amp;", "&#12354;", "&#x3042;" and the named references.
void appendDecoded(std::u16string& out, std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t semicolon = text[i] == u'&' ? text.find(u';', i) : std::u16string_view::npos;
        if (semicolon == std::u16string_view::npos || semicolon - i > 10) {
            out += text[i];
            continue;
        }
        const std::u16string_view name = text.substr(i + 1, semicolon - i - 1);
        std::u16string decoded;
        if (name.size() > 1 && name[0] == u'#') {
            const bool hex = name[1] == u'x' || name[1] == u'X';
            char32_t value = 0;
            bool ok = name.size() > (hex ? 2u : 1u);
            for (size_t k = hex ? 2 : 1; k < name.size() && ok; ++k) {
                const char16_t c = lowerAscii(name[k]);
                const int digit = c >= u'0' && c <= u'9'          ? c - u'0'
                                  : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
                                                                  : -1;
                ok = digit >= 0 && value < 0x110000;
                value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
            }
            if (ok && value > 0 && value < 0x110000) {
                appendCodePoint(decoded, value);
            }
        } else {
            decoded = lookupEntity(name);
        }
        if (decoded.empty()) {
            out += text[i];
            continue;
        }
        out += decoded;
        i = semicolon;
    }
}

}  // namespace

std::u16string rubyPreviewPage(std::u16string_view rubyHtml) {
    std::u16string page =
        u"<html>\r\n<body>\r\n<style type='text/css'>\r\nbody { font-size: 20px; }\r\n"
        u"ruby { ruby-align: center; }\r\nrt { font-size: 12px; color: #555;}\r\n</style>\r\n";
    for (size_t i = 0; i < rubyHtml.size(); ++i) {
        const char16_t c = rubyHtml[i];
        if (c == u'\r' || c == u'\n') {
            page += u"<br />";
            if (c == u'\r' && i + 1 < rubyHtml.size() && rubyHtml[i + 1] == u'\n') {
                ++i;
            }
        } else {
            page += c;
        }
    }
    page += u"</body>\r\n</html>";
    return page;
}

std::vector<std::pair<std::u16string, std::u16string>> rubyPairs(std::u16string_view html) {
    constexpr auto npos = std::u16string_view::npos;
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    size_t pos = 0;
    while ((pos = html.find(u'<', pos)) != npos) {
        if (!tagNameAt(html, pos + 1, u"ruby")) {
            ++pos;
            continue;
        }
        size_t i = html.find(u'>', pos);
        if (i == npos) {
            break;
        }
        ++i;
        std::u16string base;
        std::u16string reading;
        enum { kBase, kReading, kSkipped } part = kBase;
        // Up to the ruby's end tag, or to the next ruby where one is left open.
        for (;;) {
            const size_t tag = html.find(u'<', i);
            if (part != kSkipped) {
                appendDecoded(part == kBase ? base : reading,
                              html.substr(i, tag == npos ? npos : tag - i));
            }
            if (tag == npos) {
                i = html.size();
                break;
            }
            bool closing = false;
            const std::u16string name = tagName(html, tag, closing);
            if (name == u"ruby" && !closing) {
                i = tag;
                break;
            }
            const size_t tagEnd = html.find(u'>', tag);
            i = tagEnd == npos ? html.size() : tagEnd + 1;
            if (name == u"ruby" || tagEnd == npos) {
                break;
            }
            if (name == u"rt") {
                part = closing ? kBase : kReading;
            } else if (name == u"rp") {
                part = closing ? kBase : kSkipped;
            }
        }
        const auto withoutBreaks = [](const std::u16string& text) {
            std::u16string out;
            for (const char16_t c : text) {
                if (c != u'\r' && c != u'\n') {
                    out += c;
                }
            }
            return out;
        };
        base = withoutBreaks(base);
        reading = withoutBreaks(reading);
        if (!base.empty() && !reading.empty()) {
            pairs.emplace_back(std::move(base), std::move(reading));
        }
        pos = i;
    }
    return pairs;
}

}  // namespace pw
