// The pattern dictionary: rules, replacements with escapes and references, and
// the scan that replaces every match of each rule in turn.
#include "dictionary/RegexDictionaryData.h"

#include <algorithm>
#include <atomic>

#include "core/UiServices.h"
#include "xml/HtmlText.h"

namespace pw {
namespace {

std::atomic<long long> g_ruleTimeBudgetMs{RegexDictionaryData::kDefaultRuleTimeBudget.count()};

// The escapes that stand for a TAB, CR or LF in each column of the file.
std::u16string escapePattern(const std::u16string& pattern) {
    std::u16string out;
    for (const char16_t c : pattern) {
        switch (c) {
            case u'\t':
                out += u"\\t";
                break;
            case u'\r':
                out += u"\\r";
                break;
            case u'\n':
                out += u"\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::u16string escapeReplacement(const std::u16string& replacement) {
    std::u16string out;
    for (size_t i = 0; i < replacement.size(); ++i) {
        const char16_t c = replacement[i];
        if (c == u'\t') {
            out += u"\\t";
        } else if (c == u'\r' || c == u'\n') {
            // Any line break is written as \n, which gives CR LF.
            out += u"\\n";
            if (c == u'\r' && i + 1 < replacement.size() && replacement[i + 1] == u'\n') {
                ++i;
            }
        } else {
            out += c;
        }
    }
    return out;
}

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The length of the character at pos, in code units.
size_t characterLength(std::u16string_view text, size_t pos) {
    return pos + 1 < text.size() && isHighSurrogate(text[pos]) && isLowSurrogate(text[pos + 1]) ? 2
                                                                                                : 1;
}

}  // namespace

RegexDictionaryData::RegexDictionaryData() = default;
RegexDictionaryData::~RegexDictionaryData() = default;
RegexDictionaryData::RegexDictionaryData(RegexDictionaryData&&) noexcept = default;
RegexDictionaryData& RegexDictionaryData::operator=(RegexDictionaryData&&) noexcept = default;

void RegexDictionaryData::clear() {
    m_rules.clear();
    m_compiled.clear();
}

void RegexDictionaryData::reset() {
    m_modified = false;
}

bool RegexDictionaryData::save() {
    if (!m_modified) {
        return true;
    }
    std::u16string file;
    for (const RegexRule& rule : m_rules) {
        appendLine(file, rule.pattern, rule.replacement);
    }
    return writeFile(file);
}

bool RegexDictionaryData::remove(const std::u16string& pattern) {
    const auto found = std::find_if(m_rules.begin(), m_rules.end(),
                                    [&](const RegexRule& rule) { return rule.pattern == pattern; });
    if (found == m_rules.end()) {
        return false;
    }
    m_modified = true;
    m_rules.erase(found);
    m_compiled.erase(pattern);
    return true;
}

bool RegexDictionaryData::contains(const std::u16string& pattern) const {
    return std::any_of(m_rules.begin(), m_rules.end(),
                       [&](const RegexRule& rule) { return rule.pattern == pattern; });
}

void RegexDictionaryData::set(const std::u16string& pattern, const std::u16string& replacement,
                              int position) {
    m_modified = true;
    RegexRule rule{escapePattern(pattern), escapeReplacement(replacement)};
    for (RegexRule& existing : m_rules) {
        if (existing.pattern == rule.pattern) {
            existing.replacement = std::move(rule.replacement);
            return;
        }
    }
    if (position == -1) {
        m_rules.push_back(std::move(rule));
    } else {
        m_rules.insert(m_rules.begin(), std::move(rule));
    }
}

std::u16string RegexDictionaryData::get(const std::u16string& pattern) const {
    for (const RegexRule& rule : m_rules) {
        if (rule.pattern == pattern) {
            return rule.replacement;
        }
    }
    return {};
}

void RegexDictionaryData::setIgnoreCase(bool on) {
    BaseDictionaryData::setIgnoreCase(on);
    m_compiled.clear();
}

void RegexDictionaryData::setRuleTimeBudget(std::chrono::milliseconds budget) {
    g_ruleTimeBudgetMs = std::max<long long>(0, budget.count());
}

std::chrono::milliseconds RegexDictionaryData::ruleTimeBudget() {
    return std::chrono::milliseconds(g_ruleTimeBudgetMs.load());
}

std::u16string RegexDictionaryData::errorMessage(std::u16string_view pattern) {
    return u"Exception Dictionary::regex()\r\nThis Regular Expression may be not supported\r\n" +
           std::u16string(pattern);
}

std::u16string RegexDictionaryData::unescapeReplacement(std::u16string_view stored) {
    std::u16string out;
    out.reserve(stored.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] != u'\\') {
            out += stored[i];
            continue;
        }
        if (++i == stored.size()) {
            break;  // a lone backslash at the end stands for nothing
        }
        appendBackslashEscape(stored[i], out);
    }
    return out;
}

std::u16string RegexDictionaryData::expandReferences(std::u16string_view prepared,
                                                     const RegexMatch& match,
                                                     std::u16string_view subject, int groupCount) {
    std::u16string out;
    out.reserve(prepared.size());
    for (size_t i = 0; i < prepared.size(); ++i) {
        if (prepared[i] == u'$' && i + 1 < prepared.size()) {
            const int group = prepared[i + 1] - u'0';
            if (group >= 0 && group <= 9 && group <= groupCount && match.participated(group)) {
                out += match.group(subject, group);
                ++i;
                continue;
            }
        }
        out += prepared[i];
    }
    return out;
}

const Regex& RegexDictionaryData::compiled(const std::u16string& pattern) const {
    unsigned options = kRegexMultiLine;
    if (m_ignoreCase) {
        options |= kRegexIgnoreCase;
    }
    if (ruleTimeBudget().count() > 0) {
        options |= kRegexInterruptible;
    }
    std::unique_ptr<Regex>& slot = m_compiled[pattern];
    if (!slot || slot->options() != options) {
        slot = std::make_unique<Regex>(pattern, options);
    }
    return *slot;
}

bool RegexDictionaryData::apply(const RegexRule& rule, std::u16string& text) const {
    const Regex& regex = compiled(rule.pattern);
    if (!regex.isValid()) {
        return false;
    }
    const std::u16string prepared = unescapeReplacement(rule.replacement);
    const bool expand = prepared.find(u'$') != std::u16string::npos;
    const auto budget = ruleTimeBudget();
    const auto deadline = budget.count() > 0 ? Regex::Clock::now() + budget : Regex::kNoDeadline;

    RegexMatch match;
    size_t from = 0;
    for (;;) {
        const RegexStatus status = regex.search(text, from, match, deadline);
        if (status == RegexStatus::kNoMatch) {
            return true;
        }
        if (status != RegexStatus::kMatch) {
            return false;
        }
        const size_t at = match.start();
        const size_t length = match.length();
        const std::u16string piece =
            expand ? expandReferences(prepared, match, text, regex.groupCount()) : prepared;
        text.replace(at, length, piece);
        // Inserted text is never matched again by the same rule.
        from = at + piece.size();
        if (length == 0) {
            // The same empty match would be found again right here (and, with
            // a non-empty piece, be inserted again without end): step over
            // one character of the text first.
            if (from >= text.size()) {
                return true;
            }
            from += characterLength(text, from);
        }
    }
}

void RegexDictionaryData::replace(std::u16string& text) {
    for (const RegexRule& rule : m_rules) {
        if (!apply(rule, text)) {
            messageBox(errorMessage(rule.pattern), MbOk);
            return;
        }
    }
}

}  // namespace pw
