// Where the drawn view puts each piece.
#include "practice/PracticeView.h"

#include <algorithm>

namespace pw {
namespace {

constexpr int kHintTop = 2;
constexpr int kCheckBoxTop = 22;
constexpr int kBoxTop = 56;
constexpr int kSentenceTop = 64;
constexpr int kBoxExtraHeight = 58;
constexpr int kPromptGap = 24;
constexpr int kResultWindowGap = 122;
constexpr int kResultWindowMaxHeight = 460;
constexpr int kHeaderMargin = 8;
constexpr int kHeaderGap = 4;

int centredX(int paneWidth, int width) {
    return (paneWidth - width) / 2;
}

int widestLine(const std::vector<std::u16string>& lines, const TextMeasurer& font) {
    int widest = 0;
    for (const std::u16string& line : lines) {
        widest = std::max(widest, font.textWidth(line));
    }
    return widest;
}

}  // namespace

int sentenceAreaWidth(int paneWidth) {
    return std::min(paneWidth - view_metrics::kSentenceAreaMargin,
                    view_metrics::kSentenceAreaMaxWidth);
}

ExerciseLayout layoutExercise(const PracticeView& view, const TextMeasurer& sentenceFont,
                              const TextMeasurer& boldFont, Size pane, Size checkBox,
                              Size visibilityCheckBox) {
    ExerciseLayout layout;
    const int sentenceHeight = sentenceFont.lineHeight();
    const int boldHeight = boldFont.lineHeight();
    // Room for the sentence and translation lines as the view counts them.
    const int sentenceBlock = (view.sentenceLineCount + 1) * sentenceHeight;
    const int translationBlock = (view.translationLineCount + 1) * boldHeight;

    // The gaps were made for a bold font 15 pixels high; a taller one (a
    // face with Japanese glyphs has a tall line) moves everything below the
    // hint down by the difference, and the prompt down and the box's bottom
    // with it, so that the hint, score and prompt keep their room.
    const int shift = std::max(0, boldHeight - view_metrics::kBoldFontHeight);
    const int promptGap = std::max(kPromptGap, boldHeight + 1);
    const int boxExtra = std::max(kBoxExtraHeight, 18 + promptGap + boldHeight);

    const int boxWidth = std::max({widestLine(view.translationLines, boldFont),
                                   widestLine(view.sentenceLines, sentenceFont), 200});
    const int boxHeight = sentenceBlock + translationBlock + boxExtra;
    layout.box = {centredX(pane.width, boxWidth) - 8, kBoxTop + shift, boxWidth + 16, boxHeight};

    layout.checkBox = {centredX(pane.width, checkBox.width), kCheckBoxTop + shift, checkBox.width,
                       checkBox.height};
    layout.checkBoxFrame = layout.checkBox.inflated(8, 4);

    int y = kSentenceTop + shift;
    for (size_t i = 0; i < view.sentenceLines.size(); ++i, y += sentenceHeight) {
        const std::u16string& line = view.sentenceLines[i];
        const Point origin{centredX(pane.width, sentenceFont.textWidth(line)), y};
        layout.sentenceLines.push_back(origin);
        if (static_cast<int>(i) == view.cursorLine) {
            const size_t column = std::min<size_t>(view.cursorColumn, line.size());
            layout.hasCursor = true;
            layout.cursor = {
                origin.x + sentenceFont.textWidth(std::u16string_view(line).substr(0, column)), y};
        }
    }

    layout.questionNumber = {kHeaderMargin, kHeaderMargin};
    layout.idLabel = {pane.width - 80, kHeaderMargin};
    layout.pointLabel = {pane.width - 80, boldHeight + kHeaderMargin};
    // The values keep clear of labels wider than the 20 pixels meant for them.
    const int labelEnd = pane.width - 80 + kHeaderGap +
                         std::max(boldFont.textWidth(view_texts::kIdLabel),
                                  boldFont.textWidth(view_texts::kPointLabel));
    const int valueX = std::max(pane.width - 60, labelEnd);
    layout.idValue = {valueX, kHeaderMargin};
    layout.pointValue = {valueX, boldHeight + kHeaderMargin};
    layout.hint = {centredX(pane.width, boldFont.textWidth(view.hint)), kHintTop};

    layout.visibilityCheckBox = {8, pane.height - 64, visibilityCheckBox.width,
                                 visibilityCheckBox.height};
    layout.keyReminder = {8, layout.visibilityCheckBox.y + 20};
    // Below the reminder even when a tall font makes it reach lower.
    layout.speakerPane = {8, std::max(pane.height - 24, layout.keyReminder.y + boldHeight)};

    // Translation and score follow the sentence; the score goes where the
    // drawing has arrived.
    y = kSentenceTop + shift + sentenceBlock;
    if (view.showTranslation) {
        for (const std::u16string& line : view.translationLines) {
            layout.translationLines.push_back({centredX(pane.width, boldFont.textWidth(line)), y});
            y += boldHeight;
        }
    }
    layout.contentBottom = y;
    layout.scoreLabel = {centredX(pane.width, boldFont.textWidth(view.scoreLabel)), y + 4};
    layout.prompt = {centredX(pane.width, boldFont.textWidth(view_texts::kPrompt)),
                     layout.scoreLabel.y + promptGap};

    // Below the box, and above the "SentenceVisiblity" box at the bottom.
    const int resultTop =
        sentenceBlock + translationBlock + kResultWindowGap + shift + boxExtra - kBoxExtraHeight;
    const int resultWidth = std::min(pane.width, 640);
    const int resultBottom = layout.visibilityCheckBox.y - kHeaderMargin;
    layout.resultWindow = {centredX(pane.width, resultWidth), resultTop, resultWidth,
                           std::max(0, std::min(resultBottom - resultTop, kResultWindowMaxHeight))};
    return layout;
}

StartScreenLayout layoutStartScreen(const PracticeView& view, const TextMeasurer& boldFont,
                                    Size pane, Size icon) {
    StartScreenLayout layout;
    const int centreY = pane.height / 2;
    const int titleWidth = boldFont.textWidth(view_texts::kStartTitle);
    // A bold font taller than 15 pixels moves the title up, clear of the icon.
    const int titleRaise = std::max(0, boldFont.lineHeight() - view_metrics::kBoldFontHeight);
    layout.title = {centredX(pane.width, titleWidth), centreY - 20 - titleRaise};
    layout.titleFrame =
        Rect{layout.title.x, layout.title.y, titleWidth, boldFont.lineHeight()}.inflated(8, 4);
    layout.icon = {centredX(pane.width, icon.width), centreY + 4};
    for (size_t i = 0; i < view.totals.size(); ++i) {
        const int y = 8 + 16 * static_cast<int>(i);
        layout.totalLabels.push_back({8, y});
        layout.totalValues.push_back({88, y});
    }
    return layout;
}

}  // namespace pw
