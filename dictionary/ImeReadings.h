// The readings stage, the last of the replacement dictionaries: with "Use IME
// as Dictionary" set, a text becomes its spoken reading (every word written
// with kanji read in katakana) from the analyser chosen in the IME pane. It
// keeps that choice, the option and the "IME" settings.
//
// The option follows the voices until the learner settles it: without stored
// settings it is on whenever an analyser is available and a voice speaks
// Japanese, since the Japanese voice cannot read kanji.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ProfileSettings.h"
#include "dictionary/InputMethodEditor.h"

namespace pw {

class ImeReadings {
public:
    using EditorFactory = std::function<std::unique_ptr<InputMethodEditor>()>;

    // The analyser is an Ime unless the factory makes another.
    explicit ImeReadings(EditorFactory factory = {});
    ~ImeReadings();
    ImeReadings(const ImeReadings&) = delete;
    ImeReadings& operator=(const ImeReadings&) = delete;

    // The identifiers the learner chooses from, and the chosen one.
    const std::vector<std::u16string>& identifiers() const;
    int selectedIndex() const { return m_selected; }
    // An index outside the list chooses the first identifier.
    void select(int index);
    const std::u16string& selectedIdentifier() const;

    // "Use IME as Dictionary". Setting it settles the option: the voices no
    // longer change it.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // The stage: text becomes reading(text, false) when the option is set
    // and the chosen analyser opens; otherwise it stays as it is.
    void replace(std::u16string& text);

    // The analyser of identifier (of the chosen one), opened; null when it
    // cannot be opened.
    InputMethodEditor* open(const std::u16string& identifier);
    InputMethodEditor* openSelected() { return open(selectedIdentifier()); }

    // "IME" "NameIndex" and "Enable". Stored values are taken as they are;
    // without them the option follows japaneseVoice.
    void loadSettings(const ProfileSettings& settings, bool japaneseVoice);
    // Writes both keys (the dialog's confirm), which settles the option.
    void saveSettings(ProfileSettings& settings);
    // A voice was chosen: the option follows whether one of the two voices
    // speaks Japanese, unless the learner has settled it.
    void followVoices(bool japaneseVoice);
    bool isSettled() const { return m_settled; }

    // Replaces the maker of analysers (tests); the open one is closed.
    void setEditorFactory(EditorFactory factory);

private:
    EditorFactory m_factory;
    std::unique_ptr<InputMethodEditor> m_editor;
    int m_selected = 0;
    bool m_enabled = false;
    bool m_settled = false;
};

}  // namespace pw
