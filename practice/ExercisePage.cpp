// The page form of the exercise view.
#include "practice/ExercisePage.h"

#include <algorithm>

#include "core/Utf.h"
#include "xml/Element.h"

namespace pw {
namespace {

using namespace page_elements;

constexpr size_t kSpeechShortText = 10;
constexpr size_t kSpeechShortRun = 3;
constexpr char16_t kIdeographicSpace = u'\u3000';

}  // namespace

ExercisePage::ExercisePage(PracticeSession& session, IPracticeSpeaker& speaker)
    : m_session(session), m_speaker(speaker) {}

void ExercisePage::attach(ExercisePageHost* host) {
    m_host = host;
    if (!m_host) {
        return;
    }
    pageLoaded();
    if (m_session.state() != PracticeState::Answer) {
        showForState();
    }
}

void ExercisePage::setFontFamily(std::u16string family) {
    m_fontFamily = std::move(family);
    if (m_host) {
        applyTheme();
    }
}

// ---- What the page receives

std::u16string ExercisePage::sentenceHtml(const std::u16string& displayText, size_t cursor) {
    std::u16string html;
    html.reserve(displayText.size() + 32);
    for (size_t i = 0; i < displayText.size(); ++i) {
        const char16_t c = displayText[i];
        if (c == u'\r' && i + 1 < displayText.size() && displayText[i + 1] == u'\n') {
            ++i;  // a break of the drawn view's wrap
            continue;
        }
        if (i == cursor) {
            html += u"<span id='cursor'>";
            Element::appendEscaped(html, std::u16string_view(&c, 1));
            html += u"</span>";
        } else {
            Element::appendEscaped(html, std::u16string_view(&c, 1));
        }
    }
    return html;
}

std::u16string ExercisePage::resultsHtml(const std::u16string& scoreLabel,
                                         const std::u16string& prompt) {
    return Element::escape(scoreLabel) + u"<br />" +
           (prompt.empty() ? std::u16string(1, kIdeographicSpace) : Element::escape(prompt));
}

std::u16string ExercisePage::withBreaks(const std::u16string& html) {
    std::u16string out;
    out.reserve(html.size() + 16);
    for (size_t i = 0; i < html.size(); ++i) {
        const char16_t c = html[i];
        if (c == u'\r' || c == u'\n') {
            out += u"<br />";
            out += c;
            if (c == u'\r' && i + 1 < html.size() && html[i + 1] == u'\n') {
                out += html[++i];
            }
        } else {
            out += c;
        }
    }
    return out;
}

ExercisePageHost::Variables ExercisePage::themeVariables(const TypingStyleManager& theme,
                                                         const std::u16string& fontFamily) {
    ExercisePageHost::Variables variables;
    for (int i = 0; i < theme.colorCount(); ++i) {
        variables.emplace_back(u"--pw-" + fromUtf8(theme.colorKey(i)),
                               TypingStyleManager::formatColor(theme.getColor(i)));
    }
    const bool frame = theme.useFrame();
    variables.emplace_back(u"--pw-frame-radius", frame ? u"8px" : u"0px");
    variables.emplace_back(u"--pw-frame-width", frame ? u"1px" : u"0px");
    if (!fontFamily.empty()) {
        // Quoted, so that a face with spaces or digits in its name stays one.
        std::u16string quoted = u"\"";
        for (char16_t c : fontFamily) {
            if (c != u'"' && c != u'\\') {
                quoted += c;
            }
        }
        variables.emplace_back(u"--pw-font-family", quoted + u"\"");
    }
    return variables;
}

void ExercisePage::setElement(const std::u16string& id, const std::u16string& html) {
    m_host->setElementHtml(id, id == kSentence ? html : withBreaks(html));
}

std::u16string ExercisePage::orderWritingHtml() const {
    if (m_orderWriting) {
        return m_orderWriting();
    }
    return m_session.options().mode == PracticeMode::OrderWriting
               ? m_session.run().board().choicesHtml()
               : std::u16string();
}

void ExercisePage::fillSentence() {
    const TypingSentencePane& sentence = m_session.sentence();
    setElement(kSentence,
               sentenceHtml(sentence.displayText(),
                            sentence.atEnd() ? sentence.displayText().size() : sentence.cursor()));
}

void ExercisePage::fillQuestion() {
    const int index = m_session.run().currentIndex();
    SentenceListModel& list = m_session.list();
    fillSentence();
    setElement(kTranslation, list.text(index, TextKind::Translation));
    setElement(kExplanation, u"");
    setElement(kOrderWriting, orderWritingHtml());
    setElement(kResults, u"");
    m_host->callFunction(kStartInput);
}

void ExercisePage::fillAnswer() {
    const int index = m_session.run().currentIndex();
    SentenceListModel& list = m_session.list();
    m_answerIndex = index;
    // Through the markup editor, which keeps each text for editing.
    m_host->setEditedHtml(kExplanation, list.text(index, TextKind::Explanation));
    m_host->setEditedHtml(kTranslation, list.text(index, TextKind::Translation));
    m_host->setEditedHtml(kSentence, list.text(index, TextKind::Sentence));
    setElement(kOrderWriting, u"");
    m_host->showPage(true);
    m_host->callFunction(kEndInput);
    m_host->showEditor(true);
}

void ExercisePage::fillResults() {
    const PracticeView& view = m_session.view();
    setElement(kResults, resultsHtml(view.scoreLabel, view.prompt));
}

void ExercisePage::showForState() {
    const PracticeState state = m_session.state();
    m_host->showEditor(false);
    m_host->showPage(state == PracticeState::Typing);
    if (state != PracticeState::Typing) {
        m_answerIndex = -1;  // the run is over: a late edit has no record to go to
    }
}

void ExercisePage::sessionChanged(unsigned changes) {
    if (!m_host) {
        return;
    }
    if (changes & kThemeChanged) {
        applyTheme();
    }
    const PracticeState state = m_session.state();
    const bool questionStarted = (changes & kQuestionStarted) != 0;
    if (questionStarted) {
        fillQuestion();
    }
    if (changes & kStateChanged) {
        if (state == PracticeState::Answer) {
            fillAnswer();
        } else {
            showForState();
        }
    } else if ((changes & kRepaint) && state == PracticeState::Typing && !questionStarted) {
        fillSentence();  // an accepted key
        if (changes & kChoicesChanged) {
            setElement(kOrderWriting, orderWritingHtml());  // a word chosen
        }
    }
    if ((changes & kRepaint) && state == PracticeState::Answer) {
        fillResults();
    }
}

void ExercisePage::pageLoaded() {
    if (!m_host) {
        return;
    }
    applyTheme();
    // A reloaded page is empty again: what the question had goes back in.
    const PracticeState state = m_session.state();
    if (state == PracticeState::Typing || state == PracticeState::Answer) {
        fillQuestion();
        if (state == PracticeState::Answer) {
            fillAnswer();
            fillResults();
        }
    }
}

void ExercisePage::applyTheme() {
    m_host->setStyleVariables(themeVariables(m_session.theme(), m_fontFamily));
}

void ExercisePage::resized() {
    if (m_host) {
        m_host->callFunction(kSize);
    }
}

ExercisePage::Placement ExercisePage::placement(Size pane, int editorHeight, int top) const {
    Placement placement;
    top = std::max(top, kPageTop);
    placement.editorShown = m_host && m_session.state() == PracticeState::Answer;
    const int bottom =
        pane.height - (placement.editorShown ? kBottomWithEditor : kBottomWithoutEditor);
    const int editor =
        placement.editorShown ? std::clamp(editorHeight, 0, std::max(bottom - top, 0)) : 0;
    placement.page = {0, top, pane.width, std::max(bottom - top - editor, 0)};
    placement.editor = {0, placement.page.y + placement.page.height, pane.width, editor};
    placement.keyReminder = {8, placement.editor.y + editor + 4};
    return placement;
}

// ---- The page menu

std::vector<MenuItem> ExercisePage::pageMenu(bool hasSelection) const {
    std::vector<MenuItem> items;
    items.push_back({kCopyCommand, u"&Copy\tCtrl+C", hasSelection});
    items.push_back(MenuItem::makeSeparator());
    items.push_back({kRefreshCommand, u"Refresh", true});
    items.push_back({kSpeakCommand, u"&Speak", true});
    return items;
}

std::u16string ExercisePage::speechText(const std::u16string& text) {
    if (text.size() <= kSpeechShortText) {
        return text;
    }
    std::u16string kept;
    size_t runStart = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const bool inRun = i < text.size() && text[i] >= 1 && text[i] <= 255;
        if (inRun) {
            continue;
        }
        if (i - runStart > kSpeechShortRun) {
            kept.append(text, runStart, i - runStart);
        }
        runStart = i + 1;
    }
    return kept;
}

void ExercisePage::onPageMenuCommand(int id, const std::u16string& selection) {
    if (!m_host) {
        return;
    }
    switch (id) {
        case kCopyCommand:
            m_host->copySelection();
            break;
        case kRefreshCommand:
            m_host->reload();
            break;
        case kSpeakCommand: {
            const auto speak = [this](const std::u16string& text) {
                const std::u16string spoken = speechText(text);
                if (!spoken.empty()) {
                    m_speaker.speakSentence(spoken);
                }
            };
            if (selection.empty()) {
                m_host->requestPageText(speak);
            } else {
                speak(selection);
            }
            break;
        }
        default:
            break;
    }
}

// ---- Edited markup

void ExercisePage::storeEditedMarkup(const std::u16string& sentence,
                                     const std::u16string& translation,
                                     const std::u16string& explanation) {
    SentenceListModel& list = m_session.list();
    if (!list.isValidIndex(m_answerIndex)) {
        return;
    }
    bool changed = false;
    for (const auto& [kind, text] :
         {std::pair{TextKind::Sentence, &sentence}, std::pair{TextKind::Translation, &translation},
          std::pair{TextKind::Explanation, &explanation}}) {
        if (list.text(m_answerIndex, kind) != *text) {
            list.setRecordText(m_answerIndex, kind, *text);
            changed = true;
        }
    }
    if (changed) {
        m_session.markUnsaved();
    }
}

}  // namespace pw
