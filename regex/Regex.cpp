// Regular expressions over PCRE2's 16-bit library, JIT-compiled where the
// platform allows, with a deadline checked from automatic callouts.
#include "regex/Regex.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <string>

namespace pw {
namespace {

// Reading the clock costs far more than a callout; every 256th is plenty to
// stop within a millisecond of the deadline.
constexpr unsigned kCalloutsPerClockCheck = 256;
constexpr const char16_t* kTimedOutText = u"the time allowed for this expression ran out";

// PCRE2_SPTR must not be null, even for an empty subject.
PCRE2_SPTR16 unitsOf(std::u16string_view text) {
    static const char16_t kEmpty[1] = {0};
    return reinterpret_cast<PCRE2_SPTR16>(text.empty() ? kEmpty : text.data());
}

std::u16string decimal(size_t value) {
    std::u16string text;
    for (const char c : std::to_string(value)) {
        text += static_cast<char16_t>(c);
    }
    return text;
}

std::u16string errorText(int code) {
    PCRE2_UCHAR16 buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]);
    if (length < 0) {
        return u"regular expression error " + decimal(static_cast<size_t>(-code));
    }
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(length));
}

struct CalloutState {
    Regex::Clock::time_point deadline = Regex::kNoDeadline;
    unsigned calls = 0;
    bool timedOut = false;
};

int checkDeadline(pcre2_callout_block*, void* data) {
    auto* state = static_cast<CalloutState*>(data);
    if (++state->calls % kCalloutsPerClockCheck == 0 && Regex::Clock::now() >= state->deadline) {
        state->timedOut = true;
        return PCRE2_ERROR_CALLOUT;
    }
    return 0;
}

}  // namespace

struct Regex::Code {
    pcre2_code* code = nullptr;
    bool jit = false;
    ~Code() { pcre2_code_free(code); }
};

// The per-search state a RegexMatch keeps between searches, so that a scan
// over many matches allocates once.
struct RegexMatch::Engine {
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    CalloutState callouts;

    Engine() {
        context = pcre2_match_context_create(nullptr);
        if (context) {
            pcre2_set_callout(context, &checkDeadline, &callouts);
        }
    }
    ~Engine() {
        pcre2_match_data_free(data);
        pcre2_match_context_free(context);
    }
    bool reserve(uint32_t pairs) {
        if (data && pcre2_get_ovector_count(data) >= pairs) {
            return true;
        }
        pcre2_match_data_free(data);
        data = pcre2_match_data_create(pairs, nullptr);
        return data != nullptr;
    }
};

RegexMatch::RegexMatch() = default;
RegexMatch::~RegexMatch() = default;

bool RegexMatch::participated(int group) const {
    return group >= 0 && group < size() && m_spans[group].first != npos;
}

size_t RegexMatch::start(int group) const {
    return participated(group) ? m_spans[group].first : npos;
}

size_t RegexMatch::end(int group) const {
    return participated(group) ? m_spans[group].second : npos;
}

std::u16string_view RegexMatch::group(std::u16string_view subject, int group) const {
    if (!participated(group) || end(group) > subject.size()) {
        return {};
    }
    return subject.substr(start(group), length(group));
}

Regex::Regex(std::u16string_view pattern, unsigned options)
    : m_pattern(pattern), m_options(options) {
    // UTF so that a character beyond U+FFFF is one character; invalid UTF-16
    // in a subject (a lone surrogate) simply never matches instead of failing
    // the search. UCP lets \w, \b and \d understand letters beyond ASCII.
    uint32_t flags = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_UCP;
    if (options & kRegexMultiLine) {
        flags |= PCRE2_MULTILINE;
    }
    if (options & kRegexIgnoreCase) {
        flags |= PCRE2_CASELESS;
    }
    if (options & kRegexInterruptible) {
        flags |= PCRE2_AUTO_CALLOUT;
    }
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code =
        pcre2_compile(unitsOf(pattern), pattern.size(), flags, &errorCode, &errorOffset, nullptr);
    if (!code) {
        m_error = errorText(errorCode) + u" at offset " + decimal(errorOffset);
        m_errorOffset = errorOffset;
        return;
    }
    m_code = std::make_unique<Code>();
    m_code->code = code;
    // Without JIT support (or memory for it) the interpreter gives the same results.
    m_code->jit = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
    uint32_t groups = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
    m_groupCount = static_cast<int>(groups);
}

Regex::~Regex() = default;
Regex::Regex(Regex&& other) noexcept = default;
Regex& Regex::operator=(Regex&& other) noexcept = default;

RegexStatus Regex::search(std::u16string_view subject, size_t start, RegexMatch& match,
                          Clock::time_point deadline) const {
    match.m_spans.clear();
    match.m_error.clear();
    if (!m_code) {
        match.m_error = m_error;
        return RegexStatus::kError;
    }
    if (!match.m_engine) {
        match.m_engine = std::make_unique<RegexMatch::Engine>();
    }
    RegexMatch::Engine& engine = *match.m_engine;
    const uint32_t pairs = static_cast<uint32_t>(m_groupCount) + 1;
    if (!engine.context || !engine.reserve(pairs)) {
        match.m_error = errorText(PCRE2_ERROR_NOMEMORY);
        return RegexStatus::kError;
    }
    const bool timed = (m_options & kRegexInterruptible) && deadline != kNoDeadline;
    if (timed && Clock::now() >= deadline) {
        match.m_error = kTimedOutText;
        return RegexStatus::kTimedOut;
    }
    // Without a deadline the callouts never stop a search.
    engine.callouts = CalloutState{timed ? deadline : kNoDeadline, 0, false};

    int rc = pcre2_match(m_code->code, unitsOf(subject), subject.size(), start, 0, engine.data,
                         engine.context);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
        // Deeply nested backtracking outgrows the JIT stack; the interpreter
        // keeps its backtracking on the heap and finishes the same search.
        engine.callouts.calls = 0;
        rc = pcre2_match(m_code->code, unitsOf(subject), subject.size(), start, PCRE2_NO_JIT,
                         engine.data, engine.context);
    }
    if (rc == PCRE2_ERROR_NOMATCH || rc == PCRE2_ERROR_PARTIAL) {
        return RegexStatus::kNoMatch;
    }
    if (rc < 0) {
        if (engine.callouts.timedOut) {
            match.m_error = kTimedOutText;
            return RegexStatus::kTimedOut;
        }
        match.m_error = errorText(rc);
        return RegexStatus::kError;
    }
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(engine.data);
    match.m_spans.resize(pairs);
    for (size_t i = 0; i < pairs; ++i) {
        const PCRE2_SIZE from = ovector[2 * i];
        const PCRE2_SIZE to = ovector[2 * i + 1];
        // Groups beyond rc did not take part; \K can put a start after its end.
        if (i >= static_cast<size_t>(rc) || from == PCRE2_UNSET || from > to) {
            match.m_spans[i] = {RegexMatch::npos, RegexMatch::npos};
        } else {
            match.m_spans[i] = {from, to};
        }
    }
    return RegexStatus::kMatch;
}

}  // namespace pw
