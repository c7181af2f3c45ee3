// Readings of Japanese text from a morphological analyser: the spoken form,
// in which every word written with kanji becomes its reading in katakana,
// and the annotated form, in which it carries its reading as ruby. The
// analyser itself (Ime) sits behind analyse().
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

// One word of an analysis: the characters of the text it covers, and their
// reading in hiragana. A word without a reading of its own (Latin letters,
// digits, symbols) has its characters as its reading.
struct MorphWord {
    std::u16string display;
    std::u16string reading;
};

// Hiragana U+3041..U+3094 become the katakana 0x60 above them.
std::u16string toKatakana(std::u16string_view text);
// Katakana U+30A1..U+30F4 become the hiragana 0x60 below them.
std::u16string toHiragana(std::u16string_view text);
// Whether every character is hiragana (U+3041..U+309F) or katakana
// (U+30A1..U+30FF); a single character below U+0100 counts as kana too.
bool isKanaWord(std::u16string_view text);

class InputMethodEditor {
public:
    // The longest text analysed in one request; longer ones are cut.
    static constexpr size_t kMaxRequest = 100;
    // A piece is cut at its last cut point once it is longer than this.
    static constexpr size_t kCutAfter = 50;

    virtual ~InputMethodEditor();

    // Opens the analyser that identifier names; true at once when that one
    // is open already. A failure leaves nothing open.
    virtual bool open(const std::u16string& identifier) = 0;
    virtual void close();
    bool isOpen() const { return m_opened; }
    // The identifier of the open analyser; empty when closed.
    const std::u16string& identifier() const { return m_identifier; }

    // text with its readings. ruby false: the form to speak, every word that
    // is not kana and has a reading of its own replaced by that reading in
    // katakana with a space either side. ruby true: HTML, such words as
    // <ruby><rb>word</rb><rp>(</rp><rt>reading</rt><rp>)</rp></ruby> and the
    // rest escaped. A piece the analyser fails on stays as it was. Empty when
    // nothing is open.
    std::u16string reading(std::u16string_view text, bool ruby);
    // The reading of the whole text in katakana, the words without a reading
    // of their own as they are; empty when nothing is open or the analysis
    // failed.
    std::u16string phonetic(std::u16string_view text);

    // Where a text is cut into requests: the end of each piece, the last one
    // the end of the text. A text of kMaxRequest units or fewer is one piece.
    // Longer ones are scanned for cut points (after a character below U+0021
    // or one of 、。．？, before any other character below U+0100); once a
    // piece would pass kCutAfter units it ends at its last cut point, and
    // where there is none within kMaxRequest units it ends there (never
    // between the halves of a surrogate pair).
    static std::vector<size_t> pieceEnds(std::u16string_view text);

protected:
    // One request of at most kMaxRequest units, in order; nullopt when the
    // analysis failed. The words' displays, joined, give the text back.
    virtual std::optional<std::vector<MorphWord>> analyse(std::u16string_view text) = 0;

    bool m_opened = false;
    std::u16string m_identifier;

private:
    std::u16string convertPiece(std::u16string_view piece, bool ruby);
};

}  // namespace pw
