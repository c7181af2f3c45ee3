// The dictionary window's tabs and its drop target.
#include "dictionary/ui/DictionaryWindowPane.h"

#include <algorithm>

#include <wx/dataobj.h>
#include <wx/dnd.h>
#include <wx/window.h>

#include "dictionary/DictionaryWindow.h"
#include "dictionary/RubyText.h"
#include "dictionary/ui/WordRegistrationDialog.h"

namespace pw {
namespace {

// Takes any dropped text or markup (not files): the pairs come from the
// preview itself, whatever was dragged.
class RubyDropTarget : public wxDropTarget {
public:
    explicit RubyDropTarget(DictionaryWindowPane& pane) : m_pane(pane) {
        auto* data = new wxDataObjectComposite();
        data->Add(new wxTextDataObject(), true);
        data->Add(new wxHTMLDataObject());
        SetDataObject(data);
    }
    wxDragResult OnData(wxCoord, wxCoord, wxDragResult) override {
        if (!GetData()) {
            return wxDragNone;
        }
        m_pane.takeRubyFromPreview();
        return wxDragCopy;
    }

private:
    DictionaryWindowPane& m_pane;
};

}  // namespace

DictionaryWindowPane::DictionaryWindowPane()
    : m_words(DictionaryWindow::wordDictionaries(), DictionaryWindow::readings()),
      m_patterns(DictionaryWindow::patternDictionaries()),
      m_ime(DictionaryWindow::readings()) {
    setClassName(u"DictionaryWindow");
    m_ime.setRegistrationHandler([this](const std::u16string& word, const std::u16string& reading) {
        // Once the button's click is over.
        if (wxWindow* window = handle()) {
            window->CallAfter([this, word, reading] { openRegistration(word, reading); });
        }
    });
}

bool DictionaryWindowPane::onCreate() {
    m_tabs.create(*this, 0, 0, std::max(clientWidth(), 100), std::max(clientHeight(), 100));
    m_words.create(m_tabs);
    m_tabs.addPage(m_words, u"Dictionary");
    m_patterns.create(m_tabs);
    m_tabs.addPage(m_patterns, u"Regex");
    m_ime.create(m_tabs);
    m_tabs.addPage(m_ime, u"IME");
    for (BaseWindow* target : {static_cast<BaseWindow*>(this), static_cast<BaseWindow*>(&m_tabs),
                               static_cast<BaseWindow*>(&m_words.entryTable()),
                               static_cast<BaseWindow*>(&m_patterns.entryTable())}) {
        if (wxWindow* window = target->handle()) {
            window->SetDropTarget(new RubyDropTarget(*this));
        }
    }
    onSize(clientWidth(), clientHeight());
    return true;
}

void DictionaryWindowPane::onSize(int width, int height) {
    m_tabs.setBounds(0, 0, width, height);
}

void DictionaryWindowPane::refresh() {
    m_words.refresh();
    m_patterns.refresh();
    m_ime.refresh();
}

void DictionaryWindowPane::takeRubyFromPreview() {
    m_ime.requestPreviewHtml([this](const std::u16string& html) { takeRuby(html); });
}

void DictionaryWindowPane::takeRuby(const std::u16string& html) {
    BaseDictionaryPane& pane =
        m_tabs.selectedIndex() == 0 ? static_cast<BaseDictionaryPane&>(m_words) : m_patterns;
    for (const auto& [word, reading] : rubyPairs(html)) {
        // Without a chosen dictionary the learner is told once, not per pair.
        if (pane.addEntry(word, reading) < 0) {
            break;
        }
    }
}

void DictionaryWindowPane::addRegisteredWord(const std::u16string& word,
                                             const std::u16string& reading) {
    if (!m_words.editor().selected() && !m_words.editor().list().empty()) {
        m_words.dictionaryTable().selectOnly(0);
        m_words.selectDictionary(0);
    }
    m_words.addEntry(word, reading);
}

void DictionaryWindowPane::openRegistration(const std::u16string& word,
                                            const std::u16string& reading) {
    WordRegistrationDialog dialog(word, reading);
    if (dialog.showModal(handle()) == wxID_OK) {
        addRegisteredWord(dialog.word(), dialog.reading());
    }
}

}  // namespace pw
