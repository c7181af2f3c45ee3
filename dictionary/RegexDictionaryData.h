// The pattern dictionary: an ordered list of regular-expression rules, each
// replacing every match of its pattern in the text.
#pragma once

#include <chrono>
#include <memory>
#include <unordered_map>
#include <vector>

#include "dictionary/BaseDictionaryData.h"
#include "regex/Regex.h"

namespace pw {

struct RegexRule {
    std::u16string pattern;
    std::u16string replacement;  // as stored: escapes and $n references unexpanded
};

class RegexDictionaryData : public BaseDictionaryData {
public:
    // The most one rule may spend on one text before it is reported as failing.
    static constexpr std::chrono::milliseconds kDefaultRuleTimeBudget{300};

    RegexDictionaryData();
    ~RegexDictionaryData() override;
    RegexDictionaryData(RegexDictionaryData&&) noexcept;
    RegexDictionaryData& operator=(RegexDictionaryData&&) noexcept;

    void clear() override;
    void reset() override;
    // Writes the rules in their order.
    bool save() override;
    bool remove(const std::u16string& pattern) override;
    bool contains(const std::u16string& pattern) const override;
    // Applies the rules in order, each to the output of the one before. A rule
    // that cannot be compiled, fails while matching or runs out of its time
    // budget shows the dictionary's error message and ends the call: later
    // rules are skipped, the changes of earlier ones stay.
    void replace(std::u16string& text) override;
    // An existing pattern keeps its place and gets the new replacement; a new
    // one goes last for position -1 and first for any other position. A TAB,
    // CR or LF, which the file format cannot hold, is stored as its escape.
    void set(const std::u16string& pattern, const std::u16string& replacement,
             int position) override;
    int size() const override { return static_cast<int>(m_rules.size()); }
    std::u16string get(const std::u16string& pattern) const override;
    void setIgnoreCase(bool on) override;

    // The rules in order of application, for the pattern pane.
    const std::vector<RegexRule>& rules() const { return m_rules; }

    // A stored replacement made ready for use: \n becomes CR LF, \r is
    // dropped, \t becomes TAB, a backslash before any other character stands
    // for that character, and a lone backslash at the end is dropped.
    static std::u16string unescapeReplacement(std::u16string_view stored);
    // Expands "$0" to "$9" in a prepared replacement to the groups of match
    // that took part; any other "$" stays as it is.
    static std::u16string expandReferences(std::u16string_view prepared, const RegexMatch& match,
                                           std::u16string_view subject, int groupCount);
    // The text shown when the rule with pattern fails.
    static std::u16string errorMessage(std::u16string_view pattern);

    // The time budget of every rule, process-wide; zero turns it off (the
    // rules then compile without the engine's checkpoints).
    static void setRuleTimeBudget(std::chrono::milliseconds budget);
    static std::chrono::milliseconds ruleTimeBudget();

private:
    const Regex& compiled(const std::u16string& pattern) const;
    // Runs one rule over text; false (after telling the user) when it failed.
    bool apply(const RegexRule& rule, std::u16string& text) const;

    std::vector<RegexRule> m_rules;
    // Compiled patterns, kept between calls: compiling with JIT costs more
    // than matching a sentence. A pattern that does not compile stays here
    // too, so its error recurs until the rule is changed.
    mutable std::unordered_map<std::u16string, std::unique_ptr<Regex>> m_compiled;
};

}  // namespace pw
