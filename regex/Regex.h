// Perl-style regular expressions over UTF-16 text (PCRE2's 16-bit library):
// compilation with readable errors, searches with numbered groups, and an
// optional wall-clock deadline that stops runaway backtracking.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

enum RegexOption : unsigned {
    kRegexNone = 0,
    // ^ and $ also match at line breaks inside the text.
    kRegexMultiLine = 1u << 0,
    kRegexIgnoreCase = 1u << 1,
    // Compiled with checkpoints so that a search can stop at its deadline.
    // Costs a little on every search; results are the same without it.
    kRegexInterruptible = 1u << 2,
};

enum class RegexStatus {
    kMatch,
    kNoMatch,
    kError,     // the engine gave up (match, depth or heap limit, bad offset...)
    kTimedOut,  // the deadline passed; only for interruptible expressions
};

// The result of one search: where the whole match and each group lie, in
// UTF-16 code units of the subject. Reusable across searches.
class RegexMatch {
public:
    RegexMatch();
    ~RegexMatch();
    RegexMatch(const RegexMatch&) = delete;
    RegexMatch& operator=(const RegexMatch&) = delete;

    static constexpr size_t npos = std::u16string_view::npos;

    // Whether group took part in the match (group 0 is the whole match).
    bool participated(int group) const;
    size_t start(int group = 0) const;  // npos when the group did not take part
    size_t end(int group = 0) const;
    size_t length(int group = 0) const { return end(group) - start(group); }
    // The group's text in subject; empty when it did not take part.
    std::u16string_view group(std::u16string_view subject, int group) const;
    // The number of groups in the last match's expression, group 0 included.
    int size() const { return static_cast<int>(m_spans.size()); }

    // Why the last search ended in kError or kTimedOut.
    const std::u16string& error() const { return m_error; }

private:
    friend class Regex;
    struct Engine;

    std::vector<std::pair<size_t, size_t>> m_spans;
    std::u16string m_error;
    std::unique_ptr<Engine> m_engine;
};

class Regex {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::time_point kNoDeadline = Clock::time_point::max();

    // Compiles pattern (UTF-16, Perl syntax); check isValid() afterwards.
    explicit Regex(std::u16string_view pattern, unsigned options = kRegexNone);
    ~Regex();
    Regex(Regex&& other) noexcept;
    Regex& operator=(Regex&& other) noexcept;

    bool isValid() const { return m_code != nullptr; }
    // The compiler's message, e.g. "missing closing parenthesis at offset 4".
    const std::u16string& error() const { return m_error; }
    size_t errorOffset() const { return m_errorOffset; }

    const std::u16string& pattern() const { return m_pattern; }
    unsigned options() const { return m_options; }
    // The highest group number of the pattern.
    int groupCount() const { return m_groupCount; }

    // Finds the first match in subject at or after start (a code-unit index
    // up to subject.size()). An interruptible expression stops with kTimedOut
    // once deadline has passed; others ignore the deadline.
    RegexStatus search(std::u16string_view subject, size_t start, RegexMatch& match,
                       Clock::time_point deadline = kNoDeadline) const;

private:
    struct Code;

    std::u16string m_pattern;
    unsigned m_options;
    std::unique_ptr<Code> m_code;
    int m_groupCount = 0;
    std::u16string m_error;
    size_t m_errorOffset = 0;
};

}  // namespace pw
