// MeCab behind the input method's readings.
#include "dictionary/Ime.h"

#include <mecab.h>

#include <filesystem>

#include "core/Utf.h"

namespace pw {
namespace {

// A MeCab dictionary: where it may be installed, and which field of an
// entry's features holds the reading (in katakana).
struct Analyser {
    const char16_t* identifier;
    std::vector<const char*> folders;
    size_t readingField;
};

const std::vector<Analyser>& analysers() {
    static const std::vector<Analyser> table = {
        {u"MeCab.IPA",
         {"/var/lib/mecab/dic/ipadic-utf8", "/usr/lib/x86_64-linux-gnu/mecab/dic/ipadic-utf8",
          "/usr/local/lib/mecab/dic/ipadic"},
         7},
        // NAIST-jdic keeps the IPA dictionary's fields.
        {u"MeCab.NAIST",
         {"/var/lib/mecab/dic/naist-jdic", "/usr/local/lib/mecab/dic/naist-jdic"},
         7},
    };
    return table;
}

const Analyser* findAnalyser(const std::u16string& identifier) {
    for (const Analyser& analyser : analysers()) {
        if (identifier == analyser.identifier) {
            return &analyser;
        }
    }
    return nullptr;
}

// The first folder of the analyser holding a compiled dictionary; empty when none.
std::string installedFolder(const Analyser& analyser) {
    std::error_code ec;
    for (const char* folder : analyser.folders) {
        if (std::filesystem::exists(std::filesystem::path(folder) / "sys.dic", ec) &&
            std::filesystem::exists(std::filesystem::path(folder) / "dicrc", ec)) {
            return folder;
        }
    }
    return {};
}

// Field index of a CSV feature line; empty when it has fewer fields.
// Fields in double quotes may hold commas (and "" for a quote).
std::string featureField(const char* feature, size_t index) {
    size_t field = 0;
    std::string value;
    bool quoted = false;
    for (const char* p = feature; *p; ++p) {
        if (quoted) {
            if (*p == '"' && p[1] == '"') {
                value += '"';
                ++p;
            } else if (*p == '"') {
                quoted = false;
            } else {
                value += *p;
            }
        } else if (*p == '"') {
            quoted = true;
        } else if (*p == ',') {
            if (field == index) {
                return value;
            }
            ++field;
            value.clear();
        } else {
            value += *p;
        }
    }
    return field == index ? value : std::string();
}

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// text in UTF-8, with the UTF-16 offset of every byte offset that starts a
// character (and of the end).
struct Utf8Text {
    std::string bytes;
    std::vector<size_t> units;
};

Utf8Text encode(std::u16string_view text) {
    Utf8Text out;
    out.bytes.reserve(text.size() * 3);
    out.units.reserve(text.size() * 3 + 1);
    for (size_t i = 0; i < text.size();) {
        const size_t length =
            isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]) ? 2 : 1;
        const std::string piece = toUtf8(text.substr(i, length));
        out.bytes += piece;
        out.units.insert(out.units.end(), piece.size(), i);
        i += length;
    }
    out.units.push_back(text.size());
    return out;
}

}  // namespace

struct Ime::Connection {
    std::unique_ptr<MeCab::Model> model;
    std::unique_ptr<MeCab::Tagger> tagger;
    std::unique_ptr<MeCab::Lattice> lattice;
    size_t readingField = 0;
};

const std::vector<std::u16string>& Ime::identifiers() {
    static const std::vector<std::u16string> list = [] {
        std::vector<std::u16string> names;
        for (const Analyser& analyser : analysers()) {
            names.emplace_back(analyser.identifier);
        }
        return names;
    }();
    return list;
}

bool Ime::isInstalled(const std::u16string& identifier) {
    const Analyser* analyser = findAnalyser(identifier);
    return analyser && !installedFolder(*analyser).empty();
}

Ime::Ime() = default;

Ime::~Ime() {
    close();
}

bool Ime::open(const std::u16string& identifier) {
    if (m_opened && identifier == m_identifier) {
        return true;
    }
    close();
    const Analyser* analyser = findAnalyser(identifier);
    const std::string folder = analyser ? installedFolder(*analyser) : std::string();
    if (folder.empty()) {
        return false;
    }
    // The dictionary named here, whatever the system's resource file says
    // (and whether or not there is one).
    const std::string rcFile = "/dev/null";
    const char* argv[] = {"mecab", "-r", rcFile.c_str(), "-d", folder.c_str()};
    auto connection = std::make_unique<Connection>();
    connection->model.reset(MeCab::createModel(5, const_cast<char**>(argv)));
    if (!connection->model) {
        return false;
    }
    const MeCab::DictionaryInfo* info = connection->model->dictionary_info();
    const std::string charset = info && info->charset ? asciiLower(info->charset) : "";
    if (charset != "utf-8" && charset != "utf8") {
        return false;
    }
    connection->tagger.reset(connection->model->createTagger());
    connection->lattice.reset(connection->model->createLattice());
    if (!connection->tagger || !connection->lattice) {
        return false;
    }
    connection->readingField = analyser->readingField;
    m_connection = std::move(connection);
    m_opened = true;
    m_identifier = identifier;
    return true;
}

void Ime::close() {
    // The lattice and tagger go before the model they came from.
    if (m_connection) {
        m_connection->lattice.reset();
        m_connection->tagger.reset();
        m_connection.reset();
    }
    InputMethodEditor::close();
}

std::optional<std::vector<MorphWord>> Ime::analyse(std::u16string_view text) {
    if (!m_connection) {
        return std::nullopt;
    }
    const Utf8Text utf8 = encode(text);
    MeCab::Lattice& lattice = *m_connection->lattice;
    lattice.set_sentence(utf8.bytes.data(), utf8.bytes.size());
    if (!m_connection->tagger->parse(&lattice)) {
        return std::nullopt;
    }
    std::vector<MorphWord> words;
    // What the analyser passes over (white space) goes through as it is.
    const auto passOn = [&](size_t from, size_t to) {
        if (to > from) {
            std::u16string display(
                text.substr(utf8.units[from], utf8.units[to] - utf8.units[from]));
            words.push_back({display, display});
        }
    };
    size_t done = 0;
    for (const MeCab::Node* node = lattice.bos_node(); node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE || node->length == 0) {
            continue;
        }
        const size_t begin = static_cast<size_t>(node->surface - utf8.bytes.data());
        const size_t end = begin + node->length;
        if (begin < done || end > utf8.bytes.size()) {
            return std::nullopt;  // not a walk along the text
        }
        passOn(done, begin);
        MorphWord word;
        word.display =
            std::u16string(text.substr(utf8.units[begin], utf8.units[end] - utf8.units[begin]));
        const std::string reading =
            node->feature ? featureField(node->feature, m_connection->readingField) : std::string();
        word.reading =
            reading.empty() || reading == "*" ? word.display : toHiragana(fromUtf8(reading));
        words.push_back(std::move(word));
        done = end;
    }
    passOn(done, utf8.bytes.size());
    return words;
}

}  // namespace pw
