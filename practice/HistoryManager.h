// The learner's lifetime totals, kept in "Log.xml":
//
//   <Log><Record totalTime="3723000" typingCount="..." missTypingCount="..."
//                typingWordCount="..." typingSentenceCount="..." /></Log>
//
// The totals change in memory while the learner practises and reach the file
// only through save.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/AppFiles.h"
#include "xml/XMLParser.h"

namespace pw {

struct PracticeTotals {
    uint32_t totalTime = 0;  // milliseconds spent on completed sentences
    uint32_t typingCount = 0;
    uint32_t missTypingCount = 0;
    uint32_t typingWordCount = 0;
    uint32_t typingSentenceCount = 0;

    // Counters stop at their largest value instead of wrapping to 0.
    static void add(uint32_t& counter, uint32_t amount) {
        counter = amount > UINT32_MAX - counter ? UINT32_MAX : counter + amount;
    }
};

class HistoryManager {
public:
    static constexpr const char* kDefaultPath = "Log.xml";

    explicit HistoryManager(std::string path = learnerFile(kDefaultPath));

    // Reads the totals; a missing or unreadable file starts them at 0 and a
    // document missing its root or Record gains them, so save creates them.
    void load();
    // Writes the totals into the Record element and saves the file (safely:
    // a failed save leaves the old file). False with the reason in error.
    bool save(std::string* error = nullptr);

    const std::string& path() const { return m_path; }
    PracticeTotals& totals() { return m_totals; }
    const PracticeTotals& totals() const { return m_totals; }

    // The start screen's lines: "Time:" with "%02d:%02d:%02d" (hours not
    // wrapped at 24), then "Typing:", "Miss:", "Word:" and "Sentence:" with
    // their counters as "%-8d".
    std::vector<std::pair<std::u16string, std::u16string>> summaryLines() const;

private:
    std::string m_path;
    XMLParser m_document;
    PracticeTotals m_totals;
};

}  // namespace pw
