// The record rules of a learning file. A learning file is an XML sentence list:
//
//   <SentenceList>                                  (any root name)
//     <description><![CDATA[...]]></description>    (optional)
//     <SentenceGroup check="1" trialNumber="3" dictationScore="87.5" writingScore=""
//                    startTime="01:02:50" endTime="01:05:00" voice="a.wav">
//       <sentence><![CDATA[...]]></sentence>
//       <translation><![CDATA[...]]></translation>
//       <explanation><![CDATA[... HTML ...]]></explanation>
//     </SentenceGroup>
//   </SentenceList>
//
// Records are the SentenceGroup elements anywhere below the root, in document
// order; in word mode they are the Word elements, whose word comes from a
// "key" element or attribute and whose meaning from a "value" element.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "xml/Element.h"

namespace pw {

struct LyricsInfo;

// Which text of a record: the sentence (the word in word mode), the
// translation (the meaning), or the explanation.
enum class TextKind : int { Sentence = 0, Translation = 1, Explanation = 2 };

namespace records {

inline constexpr char16_t kSentenceRecord[] = u"SentenceGroup";
inline constexpr char16_t kWordRecord[] = u"Word";
inline constexpr char16_t kCheck[] = u"check";
inline constexpr char16_t kTrialNumber[] = u"trialNumber";
inline constexpr char16_t kDictationScore[] = u"dictationScore";
inline constexpr char16_t kWritingScore[] = u"writingScore";
inline constexpr char16_t kStartTime[] = u"startTime";
inline constexpr char16_t kEndTime[] = u"endTime";
inline constexpr char16_t kVoice[] = u"voice";

// Check marks: bit 0 is the first mark (value 1), bit 1 the second (value 2).
// One "X" for each set mark and two blanks for each clear one, the first mark
// first; 0 shows as nothing.
std::u16string renderCheck(int check);

// The trial number after one more attempt: the stored value reduced modulo
// 256, capped at 100, plus one; never above 101.
int nextTrialNumber(int stored);

// A stored score as a number: leading blanks, then a decimal number with an
// optional fraction; empty, non-numeric or non-finite text gives 0.
double parseScore(std::u16string_view text);

// Time text "minutes:seconds:hundredths" in milliseconds; -1 unless it has
// exactly three decimal fields, or when the time does not fit in an int.
int parseTimeText(std::u16string_view text);
// Milliseconds as "%02d:%02d:%02d": whole minutes (not limited to 59),
// seconds, hundredths.
std::u16string formatTimeText(uint32_t ms);

// The description: the first "description" element (the root included), its
// CDATA text when it has a CDATA child, else the XML of its children; empty
// when there is none.
std::u16string readDescription(const Element& root);
// Stores text in the first CDATA section of the description element, adding
// the element as the root's first child and the section when missing.
void writeDescription(Element& root, const std::u16string& text);

// A new sentence list with one record per lyrics line: the line as the
// sentence, empty translation and explanation, and the line's time as
// startTime (0 when the lyrics have fewer times than lines).
std::unique_ptr<Element> sentenceListFromLyrics(const LyricsInfo& lyrics);

}  // namespace records

// One record of a learning file, read and changed by the rules above. A light
// handle: it refers to the element and owns nothing.
class SentenceRecord {
public:
    SentenceRecord(Element& element, bool wordMode) : m_element(element), m_wordMode(wordMode) {}

    Element& element() const { return m_element; }

    // The text of one kind. Sentence records: the first CDATA section of the
    // first "sentence", "translation" or "explanation" element of the record,
    // the element and section being added when missing. Word records: the
    // word, trimmed of characters up to U+0020 (a trimmed word is written back
    // where it was read from); the meaning, or the record's own CDATA text, or
    // "?"; the explanation as for sentences.
    std::u16string text(TextKind kind);
    // The CDATA node that holds that text, created when missing. A word record
    // without a "key" element gains one holding its "key" attribute's word;
    // one without a "value" element gains one holding its own CDATA text.
    Element& textNode(TextKind kind);
    void setText(TextKind kind, std::u16string text);

    int check() const { return m_element.getIntAttribute(records::kCheck, 0); }
    // Sets or clears mark 0 or 1; other bit numbers change nothing.
    void setCheck(int bit, bool on);
    void incrementTrial();
    std::u16string trialText() const { return m_element.getAttribute(records::kTrialNumber); }

    std::u16string scoreText(bool writing) const;
    double score(bool writing) const { return records::parseScore(scoreText(writing)); }
    void setScore(std::u16string text, bool writing);

    int startTime() const {
        return records::parseTimeText(m_element.getAttribute(records::kStartTime));
    }
    int endTime() const {
        return records::parseTimeText(m_element.getAttribute(records::kEndTime));
    }

    // The record's own sound file: its "voice" attribute, or, when that is
    // absent or empty, that of its "sentence" element; empty when neither.
    std::u16string voice() const;

    // Drops "dictationPoint" and "writingPoint", which are no longer used.
    void removeObsoleteAttributes();

private:
    Element& elementFor(TextKind kind);
    Element& keyNode();
    Element& valueNode();

    Element& m_element;
    bool m_wordMode;
};

}  // namespace pw
