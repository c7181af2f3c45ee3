// The input method's readings, from MeCab: each identifier names a MeCab
// dictionary whose entries carry readings in katakana (the IPA dictionary
// and the dictionaries that share its fields). The analysis gives the words
// of a text with their readings in hiragana, as an input method's reverse
// conversion does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dictionary/InputMethodEditor.h"

namespace pw {

class Ime : public InputMethodEditor {
public:
    // The analysers this build knows, in the order the learner chooses
    // among them; index 0 is the default.
    static const std::vector<std::u16string>& identifiers();
    // Whether identifier names a known analyser whose dictionary is installed.
    static bool isInstalled(const std::u16string& identifier);

    Ime();
    ~Ime() override;
    Ime(const Ime&) = delete;
    Ime& operator=(const Ime&) = delete;

    // Fails for an unknown identifier and for a dictionary that is missing
    // or not in UTF-8.
    bool open(const std::u16string& identifier) override;
    void close() override;

protected:
    std::optional<std::vector<MorphWord>> analyse(std::u16string_view text) override;

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
};

}  // namespace pw
