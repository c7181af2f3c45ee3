// The markup editor.
#include "editor/HtmlEditor.h"

#include <algorithm>

#include <wx/settings.h>
#include <wx/window.h>

#include "gui/Menu.h"
#include "gui/WxText.h"

namespace pw {
namespace {

constexpr const char16_t* kEditLabel = u"Edit";
constexpr const char16_t* kCloseLabel = u"Close";
constexpr const char16_t* kElementLabel = u"ElementID:";
constexpr const char16_t* kLineFeedLabel = u"Replace Linefeed to <br>";
constexpr const char16_t* kLineFeedTip = u"チェックされていると、改行を <br> に置き換えます。";
// The editor's room below the strip: a few lines to read the markup by, more
// while editing it.
constexpr int kReadingHeight = 64;
constexpr int kEditingHeight = 160;
constexpr int kGap = 4;

struct RoleItem {
    int role;
    const char16_t* menuText;
    const char16_t* className;  // null for the memo
};

constexpr RoleItem kRoleItems[] = {
    {HtmlEditor::HtmlTextEditor::kSubject, u"Surround Subject\tF1", u"subject"},
    {HtmlEditor::HtmlTextEditor::kVerb, u"Surround Verb\tF2", u"verb"},
    {HtmlEditor::HtmlTextEditor::kObject, u"Surround Object\tF3", u"object"},
    {HtmlEditor::HtmlTextEditor::kComplement, u"Surround Complement\tF4", u"complement"},
    {HtmlEditor::HtmlTextEditor::kModifier, u"Surround Modifier\tF5", u"modifier"},
};
constexpr const char16_t* kMemoMenuText = u"Surround Memo\tCtrl+M";

}  // namespace

// ---- The text editor of the markup

std::u16string HtmlEditor::HtmlTextEditor::openingTag(int role) {
    if (role == kMemo) {
        return u"<span class=\"memo\" title=\"\">";
    }
    for (const RoleItem& item : kRoleItems) {
        if (item.role == role) {
            return std::u16string(u"<span class='") + item.className + u"'>";
        }
    }
    return {};
}

void HtmlEditor::HtmlTextEditor::surround(int role) {
    const std::u16string opening = openingTag(role);
    const std::u16string selected = selectedText();
    if (opening.empty() || selected.empty() || isReadOnly()) {
        return;
    }
    replaceSelection(opening + selected + kClosingTag);
}

bool HtmlEditor::HtmlTextEditor::onKeyDown(const KeyInput& key) {
    if (key.keyCode >= WXK_F1 && key.keyCode <= WXK_F5 && !key.control && !key.alt) {
        surround(kSubject + (key.keyCode - WXK_F1));
        return true;
    }
    if (key.keyCode >= WXK_F6 && key.keyCode <= WXK_F10) {
        return true;  // kept from the toolkit, which would move the focus with them
    }
    if (key.keyCode == 'M' && key.control && !key.alt && !key.shift) {
        surround(kMemo);
        return true;
    }
    return TextEditor::onKeyDown(key);
}

void HtmlEditor::HtmlTextEditor::buildContextMenu(PopupMenu& menu) {
    TextEditor::buildContextMenu(menu);
    const bool enabled = hasSelection() && !isReadOnly();
    menu.appendSeparator();
    menu.append(kMemo, kMemoMenuText);
    menu.setEnabled(kMemo, enabled);
    menu.appendSeparator();
    for (const RoleItem& item : kRoleItems) {
        menu.append(item.role, item.menuText);
        menu.setEnabled(item.role, enabled);
    }
}

bool HtmlEditor::HtmlTextEditor::onMenuCommand(int id) {
    if (id == kMemo || (id >= kSubject && id <= kModifier)) {
        surround(id);
        return true;
    }
    return TextEditor::onMenuCommand(id);
}

// ---- The strip

HtmlEditor::HtmlEditor() {
    setClassName(u"HtmlEditor");
}

HtmlEditor::~HtmlEditor() {
    destroy();
}

bool HtmlEditor::onCreate() {
    setBackColor(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    m_edit.setText(kEditLabel);
    m_edit.create(*this);
    m_chooser.create(*this);
    for (const char16_t* id : kElementIds) {
        m_chooser.addItem(id);
    }
    m_chooser.select(0);
    m_lineFeeds.setText(kLineFeedLabel);
    m_lineFeeds.setChecked(true);
    m_lineFeeds.create(*this);
    m_lineFeeds.setToolTip(kLineFeedTip);
    m_text.create(*this);
    m_chooser.setEnabled(false);
    m_text.setEnabled(false);

    // The strip is as tall as the toolkit's controls need.
    const auto best = [](BaseWindow& window) { return window.handle()->GetBestSize(); };
    m_stripHeight = std::max({best(m_edit).y, best(m_chooser).y, best(m_lineFeeds).y, 20});
    m_labelX = std::max(best(m_edit).x, 50) + kGap * 3;
    m_labelWidth = handle()->GetTextExtent(toWx(kElementLabel)).x + kGap;
    return false;
}

void HtmlEditor::onSize(int width, int height) {
    if (!handle()) {
        return;
    }
    const auto best = [](BaseWindow& window) { return window.handle()->GetBestSize(); };
    const int editWidth = std::max(best(m_edit).x, 50);
    m_edit.setBounds(0, 0, editWidth, m_stripHeight);
    const int chooserX = m_labelX + m_labelWidth;
    const int chooserWidth = std::max(best(m_chooser).x, 100);
    m_chooser.setBounds(chooserX, 0, chooserWidth, m_stripHeight);
    const int boxX = chooserX + chooserWidth + kGap;
    m_lineFeeds.setBounds(boxX, 0, std::max(best(m_lineFeeds).x, width - boxX), m_stripHeight);
    m_text.setBounds(0, m_stripHeight, width, std::max(height - m_stripHeight, 0));
}

void HtmlEditor::onPaint(Graphics& graphics) {
    graphics.drawText(kElementLabel, wxRect(m_labelX, 0, m_labelWidth, m_stripHeight));
}

int HtmlEditor::preferredHeight() const {
    return m_stripHeight + (m_editing ? kEditingHeight : kReadingHeight);
}

std::u16string HtmlEditor::selectedId() const {
    const int index = m_chooser.selectedIndex();
    return index >= 0 && index < static_cast<int>(std::size(kElementIds)) ? kElementIds[index]
                                                                          : kElementIds[0];
}

bool HtmlEditor::onCommand(const Command& command) {
    if (command.sender == m_chooser.handle() && command.code == codes::kSelectionChanged) {
        showSelectedText();
    } else if (command.sender == m_text.handle() && command.code == codes::kTextChanged) {
        const std::u16string id = selectedId();
        m_texts[id] = m_text.getText();
        updatePage(id, true);
    } else if (command.sender == m_edit.handle()) {
        toggleEditing();
    } else if (command.sender == m_lineFeeds.handle()) {
        // The page shows the texts with the rule now chosen.
        for (const auto& [id, html] : m_texts) {
            updatePage(id, false);
        }
    } else {
        return false;
    }
    return true;
}

void HtmlEditor::toggleEditing() {
    m_editing = !m_editing;
    m_edit.setText(m_editing ? kCloseLabel : kEditLabel);
    m_chooser.setEnabled(m_editing);
    m_text.setEnabled(m_editing);
    if (m_editing) {
        m_text.setFocus();
    }
    // The parent makes room for the editor's new height.
    wxWindow* parent = handle() ? handle()->GetParent() : nullptr;
    if (BaseWindow* owner = BaseWindow::fromHandle(parent)) {
        owner->onSize(owner->clientWidth(), owner->clientHeight());
    }
}

void HtmlEditor::showSelectedText() {
    m_text.setText(editedHtml(selectedId()));
}

void HtmlEditor::setEditedHtml(const std::u16string& id, const std::u16string& html) {
    m_texts[id] = html;
    if (id == selectedId() && isVisible()) {
        m_text.setText(html);
    }
    updatePage(id, false);
}

std::u16string HtmlEditor::editedHtml(const std::u16string& id) const {
    const auto it = m_texts.find(id);
    return it == m_texts.end() ? std::u16string() : it->second;
}

void HtmlEditor::showEditor(bool show) {
    if (show) {
        showSelectedText();
    }
    setVisible(show);
}

std::u16string HtmlEditor::lineBreaksToBr(const std::u16string& html) {
    std::u16string out;
    out.reserve(html.size());
    for (size_t i = 0; i < html.size(); ++i) {
        if (html[i] == u'\r' || html[i] == u'\n') {
            if (html[i] == u'\r' && i + 1 < html.size() && html[i + 1] == u'\n') {
                ++i;
            }
            out += u"<br />";
        } else {
            out += html[i];
        }
    }
    return out;
}

void HtmlEditor::updatePage(const std::u16string& id, bool notify) {
    if (!m_page || id.empty()) {
        return;
    }
    const std::u16string html = editedHtml(id);
    m_page->setElementHtml(id, m_lineFeeds.isChecked() ? lineBreaksToBr(html) : html,
                           [this, notify, alive = std::weak_ptr<bool>(m_alive)](bool found) {
                               if (found && notify && alive.lock() && handle()) {
                                   commandParent(kEditedCode);
                               }
                           });
}

}  // namespace pw
