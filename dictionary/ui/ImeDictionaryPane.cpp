// The readings pane.
#include "dictionary/ui/ImeDictionaryPane.h"

#include <algorithm>

#include <wx/window.h>

#include "dictionary/InputMethodEditor.h"
#include "dictionary/RubyText.h"
#include "gui/ChildControl.h"

namespace pw {
namespace {

constexpr int kStrip = 28;
constexpr int kMargin = 4;

}  // namespace

ImeDictionaryPane::ImeDictionaryPane(ImeReadings& readings) : m_readings(readings) {
    setClassName(u"ImeDictionaryPane");
    m_preview.setListener(this);
}

ImeDictionaryPane::~ImeDictionaryPane() {
    m_preview.setListener(nullptr);
}

bool ImeDictionaryPane::onCreate() {
    createChildControl(m_nameLabel, handle(), u"Name:");
    createChildControl(m_selector, handle(), u"");
    for (const std::u16string& identifier : m_readings.identifiers()) {
        m_selector.addItem(identifier);
    }
    createChildControl(m_open, handle(), u"Open");
    createChildControl(m_use, handle(), u"Use IME as Dictionary");
    createChildControl(m_editor, handle(), u"");
    refresh();
    onSize(clientWidth(), clientHeight());
    return true;
}

void ImeDictionaryPane::onSize(int width, int height) {
    if (!m_editor.handle()) {
        return;
    }
    // A little wider than the classic layout: GTK's default font is larger.
    m_nameLabel.setBounds(4, 6, 44, 20);
    m_selector.setBounds(48, 4, 130, 22);
    m_open.setBounds(182, 4, 52, 22);
    m_use.setBounds(238, 3, std::max(width - 242, 200), 24);
    const int inner = std::max(width - 2 * kMargin, 20);
    const int rest = std::max(height - kStrip - kMargin, 180);
    const int editorHeight = rest / 3;
    m_editor.setBounds(kMargin, kStrip, inner, editorHeight);
    if (m_preview.handle()) {
        m_preview.setBounds(kMargin, kStrip + editorHeight + kMargin, inner,
                            rest - editorHeight - kMargin);
    }
}

void ImeDictionaryPane::refresh() {
    if (!m_selector.handle()) {
        return;
    }
    m_selector.select(m_readings.selectedIndex());
    m_use.setChecked(m_readings.isEnabled());
}

void ImeDictionaryPane::showPreview() {
    const std::u16string text = m_editor.getText();
    InputMethodEditor* analyser = text.empty() ? nullptr : m_readings.openSelected();
    if (!analyser) {
        return;
    }
    m_page = rubyPreviewPage(analyser->reading(text, true));
    if (!m_preview.handle()) {
        m_preview.create(*this, 0, 0, 10, 10);
        onSize(clientWidth(), clientHeight());
    }
    m_loading = true;
    m_preview.setDocument(m_page);
}

void ImeDictionaryPane::pageLoaded(WebBrowser&, bool) {
    m_loading = false;
}

void ImeDictionaryPane::requestPreviewHtml(std::function<void(const std::u16string& html)> done) {
    if (!m_preview.handle()) {
        done({});
        return;
    }
    m_preview.runScript(
        u"document.documentElement.outerHTML",
        [done](bool ok, const std::u16string& html) { done(ok ? html : std::u16string()); });
}

void ImeDictionaryPane::registerWord() {
    if (!m_registration) {
        return;
    }
    std::u16string word = m_editor.getText();
    if (word.size() >= kMaxOfferedWord) {
        word.clear();
    }
    std::u16string reading;
    if (InputMethodEditor* analyser = word.empty() ? nullptr : m_readings.openSelected()) {
        reading = toKatakana(analyser->phonetic(word));
    }
    m_registration(word, reading);
}

bool ImeDictionaryPane::onCommand(const Command& command) {
    if (command.sender == m_editor.handle() && command.code == codes::kTextChanged) {
        showPreview();
    } else if (command.sender == m_selector.handle() && command.code == codes::kSelectionChanged) {
        m_readings.select(m_selector.selectedIndex());
        showPreview();
    } else if (command.sender == m_use.handle() && command.code == codes::kClicked) {
        m_readings.setEnabled(m_use.isChecked());
    } else if (command.sender == m_open.handle() && command.code == codes::kClicked) {
        registerWord();
    } else {
        return Component::onCommand(command);
    }
    return true;
}

}  // namespace pw
