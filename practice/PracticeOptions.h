// The options that choose which sentences a run asks and how, with the texts
// of their controls, and their settings.
#pragma once

#include "practice/PracticeMode.h"

namespace pw {

struct PracticeOptions {
    static constexpr int kMinPointLimit = 1;
    static constexpr int kMaxPointLimit = 999;

    PracticeMode mode = PracticeMode::Dictation;
    int pointLimit = 130;
    bool usePointLimit = false;
    bool onlyCheckedQuestions = false;
    bool shuffle = false;
    bool useIE = false;  // the exercise page instead of the drawn view

    // Reads the "Phrasewright" settings; a mode outside the combo box gives
    // Dictation and a limit outside 1 to 999 is brought inside.
    static PracticeOptions load();
    void save() const;
};

// The texts of the mode and option controls.
namespace practice_texts {
inline constexpr const char16_t* kStart = u"Start";
inline constexpr const char16_t* kSave = u"Save";
inline constexpr const char16_t* kPointLimit = u"Point Limit";
inline constexpr const char16_t* kOnlyChecked = u"Only Checked Questions";
inline constexpr const char16_t* kShuffle = u"Shuffle";
inline constexpr const char16_t* kPointLimitTip = u"この点数に達していない問題だけ出題します。";
inline constexpr const char16_t* kOnlyCheckedTip = u"チェックされた問題だけ出題します。";
inline constexpr const char16_t* kShuffleTip = u"問題文をランダムで出題します。";
inline constexpr const char16_t* kOptionsTitle = u"Options:";
inline constexpr const char16_t* kUseIE = u"Use Internet Explore";
inline constexpr const char16_t* kUseIETip =
    u"チェックされている場合は、IE で問題文を表示・編集できます。";
inline constexpr const char16_t* kCheck = u"&Check";
inline constexpr const char16_t* kSentenceVisibility = u"SentenceVisiblity";
inline constexpr const char16_t* kSentenceVisibilityTip =
    u"チェックされていいる場合は、問題文の下に文を表示します。";
inline constexpr const char16_t* kSentenceTab = u"Sentence";
inline constexpr const char16_t* kWordTab = u"Word";
}  // namespace practice_texts

}  // namespace pw
