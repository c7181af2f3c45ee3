// The editor's text and its undo history.
#include "editor/TextDocument.h"

#include <algorithm>

#include "xml/TextFile.h"

namespace pw {
namespace {

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool hasLineBreak(std::u16string_view text) {
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

}  // namespace

void TextDocument::setText(std::u16string text) {
    m_text = std::move(text);
    m_selectFrom = m_selectTo = 0;
    m_undo.clear();
    m_redo.clear();
    m_savedId = 0;
    m_lastWasTyping = false;
}

void TextDocument::setSelection(size_t from, size_t to) {
    m_selectFrom = std::min(from, m_text.size());
    m_selectTo = std::min(to, m_text.size());
}

std::u16string TextDocument::selectedText() const {
    const size_t from = std::min(m_selectFrom, m_selectTo);
    return m_text.substr(from, std::max(m_selectFrom, m_selectTo) - from);
}

TextDocument::Change TextDocument::apply(size_t at, size_t removeLength,
                                         std::u16string_view insert) {
    Change change;
    change.from = at;
    change.removed = removeLength;
    change.inserted.assign(insert);
    m_text.replace(at, removeLength, insert);
    return change;
}

TextDocument::Change TextDocument::replace(size_t from, size_t to, std::u16string_view text) {
    from = std::min(from, m_text.size());
    to = std::min(to, m_text.size());
    if (from > to) {
        std::swap(from, to);
    }
    Step step{from, m_text.substr(from, to - from), std::u16string(text)};
    Change change = apply(from, to - from, text);
    push(std::move(step), false);
    change.selectFrom = change.selectTo = from + text.size();
    setSelection(change.selectFrom, change.selectTo);
    return change;
}

TextDocument::Change TextDocument::replaceSelection(std::u16string_view text) {
    return replace(m_selectFrom, m_selectTo, text);
}

bool TextDocument::edited(const std::u16string& newText) {
    if (newText == m_text) {
        return false;
    }
    // The one stretch that differs: what the two texts do not share at
    // their starts and ends, never splitting a surrogate pair.
    const size_t shorter = std::min(m_text.size(), newText.size());
    size_t prefix = 0;
    while (prefix < shorter && m_text[prefix] == newText[prefix]) {
        ++prefix;
    }
    if (prefix > 0 && isHighSurrogate(m_text[prefix - 1])) {
        --prefix;
    }
    size_t suffix = 0;
    while (suffix < shorter - prefix &&
           m_text[m_text.size() - 1 - suffix] == newText[newText.size() - 1 - suffix]) {
        ++suffix;
    }
    if (suffix > 0 && isLowSurrogate(m_text[m_text.size() - suffix])) {
        --suffix;
    }
    Step step{prefix, m_text.substr(prefix, m_text.size() - prefix - suffix),
              newText.substr(prefix, newText.size() - prefix - suffix)};
    const size_t caret = prefix + step.inserted.size();
    m_text = newText;
    push(std::move(step), true);
    setSelection(caret, caret);
    return true;
}

void TextDocument::push(Step step, bool mayJoin) {
    m_redo.clear();
    // Typing over a selection starts a step that typing on then joins.
    const bool typing = mayJoin && !hasLineBreak(step.inserted);
    if (typing && m_lastWasTyping && !m_undo.empty()) {
        Step& top = m_undo.back();
        bool joined = false;
        if (step.removed.empty() && !top.inserted.empty() &&
            step.at == top.at + top.inserted.size()) {
            top.inserted += step.inserted;  // typing on
            joined = true;
        } else if (step.inserted.empty() && top.inserted.empty()) {
            if (step.at + step.removed.size() == top.at) {
                top.removed.insert(0, step.removed);  // Backspace on
                top.at = step.at;
                joined = true;
            } else if (step.at == top.at) {
                top.removed += step.removed;  // Delete on
                joined = true;
            }
        }
        if (joined) {
            top.id = m_nextId++;
            return;
        }
    }
    step.id = m_nextId++;
    m_undo.push_back(std::move(step));
    m_lastWasTyping = typing;
}

std::optional<TextDocument::Change> TextDocument::undo() {
    if (m_undo.empty()) {
        return std::nullopt;
    }
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    Change change = apply(step.at, step.inserted.size(), step.removed);
    // What comes back is selected, so that the learner sees it.
    change.selectFrom = step.at;
    change.selectTo = step.at + step.removed.size();
    setSelection(change.selectFrom, change.selectTo);
    m_redo.push_back(std::move(step));
    m_lastWasTyping = false;
    return change;
}

std::optional<TextDocument::Change> TextDocument::redo() {
    if (m_redo.empty()) {
        return std::nullopt;
    }
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    Change change = apply(step.at, step.removed.size(), step.inserted);
    change.selectFrom = change.selectTo = step.at + step.inserted.size();
    setSelection(change.selectFrom, change.selectTo);
    m_undo.push_back(std::move(step));
    m_lastWasTyping = false;
    return change;
}

bool TextDocument::isModified() const {
    return topId() != m_savedId;
}

void TextDocument::markSaved() {
    m_savedId = topId();
    m_lastWasTyping = false;
}

bool TextDocument::saveAs(const std::string& path, int code, std::string* error) {
    if (!writeTextFile(path, m_text, code, error)) {
        return false;
    }
    markSaved();
    return true;
}

}  // namespace pw
