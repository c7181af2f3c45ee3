// Which writing a text is in, as far as choosing a voice for it goes, and
// the languages of the voices that read each.
#pragma once

#include <string>
#include <vector>

namespace pw {

enum class TextScript { None, Latin, Japanese, Korean, Chinese };

// Kana make a text Japanese; then Hangul Korean; then Han characters
// (kanji without kana) Chinese; then Latin letters Latin; else None.
TextScript textScript(const std::u16string& text);
// The script most of the texts are in (ties go to the earlier one in the
// order above, Japanese first); None when no text has letters.
TextScript mainScript(const std::vector<std::u16string>& texts);

// Voice languages (espeak-ng's codes) for a script, the best first: "ja";
// "ko"; "cmn", "zh", "yue"; "en-us", "en". Empty for None.
std::vector<std::string> voiceLanguagesFor(TextScript script);

}  // namespace pw
