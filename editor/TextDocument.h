// The text a TextEditor edits, with its undo history: every edit is a step
// that undo takes back and redo makes again. Edits the learner makes in the
// editor's window (typing, pasting, dropping, an input method's text) arrive
// as the window's new text and become steps here; typing and deleting that go
// on at one place join into one step. Positions and lengths count UTF-16
// units. No display is needed.
//
//   TextDocument doc;
//   doc.setText(u"the cat sat");               // no step; the history is cleared
//   doc.replace(4, 7, u"<b>cat</b>");          // one step
//   doc.undo();                                // "the cat sat" again
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

class TextDocument {
public:
    // What an edit, undo or redo did: [from, from + removed) became inserted.
    // The view applies it and puts the selection at [selectFrom, selectTo).
    struct Change {
        size_t from = 0;
        size_t removed = 0;
        std::u16string inserted;
        size_t selectFrom = 0;
        size_t selectTo = 0;
    };

    const std::u16string& text() const { return m_text; }
    // Replaces the whole text without a step and forgets the history.
    void setText(std::u16string text);

    // The selection, kept inside the text; from may be after to.
    size_t selectionStart() const { return m_selectFrom; }
    size_t selectionEnd() const { return m_selectTo; }
    void setSelection(size_t from, size_t to);
    std::u16string selectedText() const;
    bool hasSelection() const { return m_selectFrom != m_selectTo; }

    // One step: [from, to) (clamped to the text) becomes text; the caret goes
    // after it.
    Change replace(size_t from, size_t to, std::u16string_view text);
    Change replaceSelection(std::u16string_view text);
    // The learner changed the text in the window to newText; false when it is
    // the same text. Typing on after the last typed character, or deleting on
    // from the last deleted one, joins the step before.
    bool edited(const std::u16string& newText);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    std::optional<Change> undo();
    std::optional<Change> redo();

    // Whether the text differs from the one last marked saved (setText or
    // markSaved), counting undo and redo.
    bool isModified() const;
    void markSaved();

    // Writes the text into path in the text encoding code (xml/TextFile.h),
    // safely; error says why it failed.
    bool saveAs(const std::string& path, int code, std::string* error = nullptr);

private:
    struct Step {
        size_t at = 0;
        std::u16string removed;
        std::u16string inserted;
        unsigned id = 0;
    };
    Change apply(size_t at, size_t removeLength, std::u16string_view insert);
    void push(Step step, bool mayJoin);
    unsigned topId() const { return m_undo.empty() ? 0 : m_undo.back().id; }

    std::u16string m_text;
    size_t m_selectFrom = 0;
    size_t m_selectTo = 0;
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
    unsigned m_nextId = 1;
    unsigned m_savedId = 0;
    bool m_lastWasTyping = false;
};

}  // namespace pw
