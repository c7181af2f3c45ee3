// Tags dropped and character references decoded, for the plain text of
// HTML-marked fields.
#include "xml/HtmlText.h"

#include <algorithm>
#include <vector>

namespace pw {
namespace {

struct Entity {
    std::u16string_view name;
    char16_t value;
};

// The named character entities of HTML 4 (Latin-1, symbols, special), with
// "apos"; "nbsp" is a plain space here, and "euro", "fnof" and "rsaquo" are
// deliberately absent.
std::vector<Entity> buildEntityTable() {
    static constexpr std::u16string_view kLatin1[] = {
        u"nbsp",   u"iexcl",  u"cent",   u"pound",  u"curren", u"yen",    u"brvbar", u"sect",
        u"uml",    u"copy",   u"ordf",   u"laquo",  u"not",    u"shy",    u"reg",    u"macr",
        u"deg",    u"plusmn", u"sup2",   u"sup3",   u"acute",  u"micro",  u"para",   u"middot",
        u"cedil",  u"sup1",   u"ordm",   u"raquo",  u"frac14", u"frac12", u"frac34", u"iquest",
        u"Agrave", u"Aacute", u"Acirc",  u"Atilde", u"Auml",   u"Aring",  u"AElig",  u"Ccedil",
        u"Egrave", u"Eacute", u"Ecirc",  u"Euml",   u"Igrave", u"Iacute", u"Icirc",  u"Iuml",
        u"ETH",    u"Ntilde", u"Ograve", u"Oacute", u"Ocirc",  u"Otilde", u"Ouml",   u"times",
        u"Oslash", u"Ugrave", u"Uacute", u"Ucirc",  u"Uuml",   u"Yacute", u"THORN",  u"szlig",
        u"agrave", u"aacute", u"acirc",  u"atilde", u"auml",   u"aring",  u"aelig",  u"ccedil",
        u"egrave", u"eacute", u"ecirc",  u"euml",   u"igrave", u"iacute", u"icirc",  u"iuml",
        u"eth",    u"ntilde", u"ograve", u"oacute", u"ocirc",  u"otilde", u"ouml",   u"divide",
        u"oslash", u"ugrave", u"uacute", u"ucirc",  u"uuml",   u"yacute", u"thorn",  u"yuml",
    };
    static constexpr std::u16string_view kGreekCapitals[] = {
        u"Alpha",   u"Beta", u"Gamma", u"Delta",  u"Epsilon", u"Zeta", u"Eta",
        u"Theta",   u"Iota", u"Kappa", u"Lambda", u"Mu",      u"Nu",   u"Xi",
        u"Omicron", u"Pi",   u"Rho",   u"",       u"Sigma",   u"Tau",  u"Upsilon",
        u"Phi",     u"Chi",  u"Psi",   u"Omega",
    };
    static constexpr std::u16string_view kGreekSmall[] = {
        u"alpha",   u"beta", u"gamma", u"delta",  u"epsilon", u"zeta", u"eta",
        u"theta",   u"iota", u"kappa", u"lambda", u"mu",      u"nu",   u"xi",
        u"omicron", u"pi",   u"rho",   u"sigmaf", u"sigma",   u"tau",  u"upsilon",
        u"phi",     u"chi",  u"psi",   u"omega",
    };
    static constexpr Entity kOthers[] = {
        // markup and special characters
        {u"quot", 34},
        {u"amp", 38},
        {u"lt", 60},
        {u"gt", 62},
        {u"apos", 39},
        {u"OElig", 338},
        {u"oelig", 339},
        {u"Scaron", 352},
        {u"scaron", 353},
        {u"Yuml", 376},
        {u"circ", 710},
        {u"tilde", 732},
        {u"ensp", 8194},
        {u"emsp", 8195},
        {u"thinsp", 8201},
        {u"zwnj", 8204},
        {u"zwj", 8205},
        {u"lrm", 8206},
        {u"rlm", 8207},
        {u"ndash", 8211},
        {u"mdash", 8212},
        {u"lsquo", 8216},
        {u"rsquo", 8217},
        {u"sbquo", 8218},
        {u"ldquo", 8220},
        {u"rdquo", 8221},
        {u"bdquo", 8222},
        {u"dagger", 8224},
        {u"Dagger", 8225},
        {u"permil", 8240},
        {u"lsaquo", 8249},
        // Greek symbols, punctuation, letter-like symbols, arrows
        {u"thetasym", 977},
        {u"upsih", 978},
        {u"piv", 982},
        {u"bull", 8226},
        {u"hellip", 8230},
        {u"prime", 8242},
        {u"Prime", 8243},
        {u"oline", 8254},
        {u"frasl", 8260},
        {u"weierp", 8472},
        {u"image", 8465},
        {u"real", 8476},
        {u"trade", 8482},
        {u"alefsym", 8501},
        {u"larr", 8592},
        {u"uarr", 8593},
        {u"rarr", 8594},
        {u"darr", 8595},
        {u"harr", 8596},
        {u"crarr", 8629},
        {u"lArr", 8656},
        {u"uArr", 8657},
        {u"rArr", 8658},
        {u"dArr", 8659},
        {u"hArr", 8660},
        // mathematical operators and technical symbols
        {u"forall", 8704},
        {u"part", 8706},
        {u"exist", 8707},
        {u"empty", 8709},
        {u"nabla", 8711},
        {u"isin", 8712},
        {u"notin", 8713},
        {u"ni", 8715},
        {u"prod", 8719},
        {u"sum", 8721},
        {u"minus", 8722},
        {u"lowast", 8727},
        {u"radic", 8730},
        {u"prop", 8733},
        {u"infin", 8734},
        {u"ang", 8736},
        {u"and", 8743},
        {u"or", 8744},
        {u"cap", 8745},
        {u"cup", 8746},
        {u"int", 8747},
        {u"there4", 8756},
        {u"sim", 8764},
        {u"cong", 8773},
        {u"asymp", 8776},
        {u"ne", 8800},
        {u"equiv", 8801},
        {u"le", 8804},
        {u"ge", 8805},
        {u"sub", 8834},
        {u"sup", 8835},
        {u"nsub", 8836},
        {u"sube", 8838},
        {u"supe", 8839},
        {u"oplus", 8853},
        {u"otimes", 8855},
        {u"perp", 8869},
        {u"sdot", 8901},
        {u"lceil", 8968},
        {u"rceil", 8969},
        {u"lfloor", 8970},
        {u"rfloor", 8971},
        {u"lang", 9001},
        {u"rang", 9002},
        {u"loz", 9674},
        {u"spades", 9824},
        {u"clubs", 9827},
        {u"hearts", 9829},
        {u"diams", 9830},
    };

    std::vector<Entity> table;
    for (size_t i = 0; i < std::size(kLatin1); ++i) {
        table.push_back({kLatin1[i], static_cast<char16_t>(160 + i)});
    }
    table.front().value = u' ';  // nbsp: the program wants an ordinary space
    for (size_t i = 0; i < std::size(kGreekCapitals); ++i) {
        if (!kGreekCapitals[i].empty()) {
            table.push_back({kGreekCapitals[i], static_cast<char16_t>(913 + i)});
        }
    }
    for (size_t i = 0; i < std::size(kGreekSmall); ++i) {
        table.push_back({kGreekSmall[i], static_cast<char16_t>(945 + i)});
    }
    table.insert(table.end(), std::begin(kOthers), std::end(kOthers));
    std::sort(table.begin(), table.end(),
              [](const Entity& a, const Entity& b) { return a.name < b.name; });
    return table;
}

const std::vector<Entity>& entityTable() {
    static const std::vector<Entity> table = buildEntityTable();
    return table;
}

bool isAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The index of the ";" that ends a reference whose "&" stands at start (the
// name or number begins at start + 1), or npos when there is no such reference.
size_t referenceEnd(std::u16string_view text, size_t start) {
    size_t j = start + 1;
    const bool numeric = j < text.size() && text[j] == u'#';
    if (numeric) {
        ++j;
    }
    while (j < text.size() && (numeric ? isDigit(text[j]) : isAsciiLetter(text[j]))) {
        ++j;
    }
    if (j - start > 10 || j >= text.size() || text[j] != u';') {
        return std::u16string_view::npos;
    }
    return j;
}

std::u16string referenceValue(std::u16string_view body) {
    if (!body.empty() && body.front() == u'#') {
        unsigned value = 0;
        for (char16_t digit : body.substr(1)) {
            value = (value * 10 + (digit - u'0')) % 65536;
        }
        return std::u16string(1, static_cast<char16_t>(value));
    }
    std::u16string value = lookupEntity(body);
    return value.empty() ? u"!" : value;
}

}  // namespace

std::u16string lookupEntity(std::u16string_view name) {
    const auto& table = entityTable();
    const auto it =
        std::lower_bound(table.begin(), table.end(), name,
                         [](const Entity& e, std::u16string_view n) { return e.name < n; });
    if (it == table.end() || it->name != name) {
        return {};
    }
    return std::u16string(1, it->value);
}

void appendBackslashEscape(char16_t escaped, std::u16string& out) {
    switch (escaped) {
        case u'n':
            out += u"\r\n";
            break;
        case u'r':
            break;
        case u't':
            out += u'\t';
            break;
        default:
            out += escaped;
    }
}

std::u16string decodeText(std::u16string_view text, bool newlinesToSpace) {
    std::u16string out;
    out.reserve(text.size());
    bool afterAmpersand = false;
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c != u'&' && !afterAmpersand) {
            if (c == u'\n' || c == u'\r') {
                if (newlinesToSpace) {
                    out += u' ';
                    if (i + 1 < text.size() && text[i + 1] == u'\n') {
                        ++i;
                    }
                }
                ++i;
            } else if (c == u'\\') {
                if (i + 1 < text.size()) {
                    appendBackslashEscape(text[i + 1], out);
                }
                i += 2;
            } else {
                out += c;
                ++i;
            }
            continue;
        }
        // After a reference that gave "&", that "&" and the following name
        // form the reference: text escaped twice is decoded twice.
        const bool joined = afterAmpersand && c != u'&';
        const size_t start = joined ? i - 1 : i;
        const size_t end = referenceEnd(text, start);
        if (end == std::u16string_view::npos) {
            out += c;
            afterAmpersand = false;
            ++i;
            continue;
        }
        if (joined) {
            out.pop_back();
        }
        const std::u16string value = referenceValue(text.substr(start + 1, end - start - 1));
        afterAmpersand = value == u"&";
        out += value;
        i = end + 1;
    }
    return out;
}

std::u16string htmlToText(std::u16string_view html) {
    enum class State { Text, Tag, Entity };
    State state = State::Text;
    std::u16string out;
    out.reserve(html.size());
    std::u16string entity;
    for (char16_t c : html) {
        switch (state) {
            case State::Text:
                if (c == u'<') {
                    state = State::Tag;
                } else if (c == u'&') {
                    entity.assign(1, u'&');
                    state = State::Entity;
                } else {
                    out += c;
                }
                break;
            case State::Tag:
                if (c == u'>') {
                    state = State::Text;
                }
                break;
            case State::Entity:
                entity += c;
                if (c == u';') {
                    out += decodeText(entity, false);
                    state = State::Text;
                } else if (c < 33 || c > 127) {
                    out += entity;
                    state = State::Text;
                }
                break;
        }
    }
    return out;
}

}  // namespace pw
