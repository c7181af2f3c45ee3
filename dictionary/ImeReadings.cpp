// The readings stage and its settings.
#include "dictionary/ImeReadings.h"

#include "dictionary/Ime.h"

namespace pw {
namespace {

// Read as this when the settings file has no such key.
constexpr int kMissing = -1;

}  // namespace

ImeReadings::ImeReadings(EditorFactory factory) : m_factory(std::move(factory)) {}

ImeReadings::~ImeReadings() = default;

const std::vector<std::u16string>& ImeReadings::identifiers() const {
    return Ime::identifiers();
}

void ImeReadings::select(int index) {
    m_selected = index >= 0 && index < static_cast<int>(identifiers().size()) ? index : 0;
}

const std::u16string& ImeReadings::selectedIdentifier() const {
    return identifiers()[static_cast<size_t>(m_selected)];
}

void ImeReadings::setEnabled(bool enabled) {
    m_enabled = enabled;
    m_settled = true;
}

InputMethodEditor* ImeReadings::open(const std::u16string& identifier) {
    if (!m_editor) {
        m_editor = m_factory ? m_factory() : std::make_unique<Ime>();
    }
    return m_editor && m_editor->open(identifier) ? m_editor.get() : nullptr;
}

void ImeReadings::replace(std::u16string& text) {
    if (!m_enabled || text.empty()) {
        return;
    }
    if (InputMethodEditor* editor = openSelected()) {
        text = editor->reading(text, false);
    }
}

void ImeReadings::loadSettings(const ProfileSettings& settings, bool japaneseVoice) {
    const IntSetting& index = settings::kImeNameIndex;
    const IntSetting& enable = settings::kImeEnable;
    select(settings.readInt(index.section, index.key, index.defaultValue));
    const int stored = settings.readInt(enable.section, enable.key, kMissing);
    if (stored == kMissing) {
        m_settled = false;
        followVoices(japaneseVoice);
    } else {
        setEnabled(stored > 0);
    }
}

void ImeReadings::saveSettings(ProfileSettings& settings) {
    settings.write(settings::kImeNameIndex, m_selected);
    settings.write(settings::kImeEnable, m_enabled ? 1 : 0);
    m_settled = true;
}

void ImeReadings::followVoices(bool japaneseVoice) {
    if (!m_settled) {
        m_enabled = japaneseVoice && openSelected() != nullptr;
    }
}

void ImeReadings::setEditorFactory(EditorFactory factory) {
    m_editor.reset();
    m_factory = std::move(factory);
}

}  // namespace pw
