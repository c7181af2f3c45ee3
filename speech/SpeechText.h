// The rewrites text goes through on its way to the synthesiser: typographic
// characters, line breaks, numbers spelt for Japanese voices, the pitch
// prefix and the guard against stray "<" in markup.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pw {

// Em dash to a space, right single quotation mark to "'".
void normalizeTypography(std::u16string& text);

// The speaker's one pass over text to be spoken: the typography above, a
// line feed becomes a space unless the next character is above U+0080 (then
// it goes: Japanese lines join without a space), a carriage return goes.
void normalizeSpokenLines(std::u16string& text);

// Spells digit runs for a Japanese voice: full-width digits become ASCII,
// commas are dropped, and a run of 2 to 24 digits not starting with "0" gets
// its place readings: 12345 -> 1まん2せん3びゃく4じゅう5. Other runs keep their
// digits. What reads the digits themselves is the voice's dictionary.
void spellJapaneseNumbers(std::u16string& text);

// Calls rewrite on each stretch of text outside markup tags (the whole text
// when isXml is false) and puts the results back in place.
void rewriteOutsideTags(std::u16string& text, bool isXml,
                        const std::function<void(std::u16string&)>& rewrite);

// "<pitch middle='N' />"
std::u16string pitchPrefix(int pitch);
// Markup text gets the prefix unless it sets its own pitch at its start.
bool wantsPitchPrefix(std::u16string_view text);

// Every "<" that starts no tag (followed by neither an ASCII letter nor "/")
// becomes a space; the last character is not examined.
void blankStrayLessThan(std::u16string& text);

}  // namespace pw
