// An analyser for tests: words from a table (longest first), any other
// character a word of its own without a reading; it records every request.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dictionary/ImeReadings.h"
#include "dictionary/InputMethodEditor.h"

namespace pw::test {

class FakeIme : public InputMethodEditor {
public:
    // Words and their readings in hiragana.
    using Words = std::map<std::u16string, std::u16string>;

    explicit FakeIme(Words words = {{u"漢字", u"かんじ"}, {u"東京", u"とうきょう"}})
        : m_words(std::move(words)) {}

    // Identifiers that fail to open; the rest open.
    std::set<std::u16string> unavailable;
    // Requests that fail, by their text.
    std::set<std::u16string> failing;
    std::vector<std::u16string> requests;
    int opens = 0;

    bool open(const std::u16string& identifier) override {
        if (m_opened && identifier == m_identifier) {
            return true;
        }
        close();
        if (unavailable.count(identifier)) {
            return false;
        }
        ++opens;
        m_opened = true;
        m_identifier = identifier;
        return true;
    }

protected:
    std::optional<std::vector<MorphWord>> analyse(std::u16string_view text) override {
        requests.emplace_back(text);
        if (failing.count(std::u16string(text))) {
            return std::nullopt;
        }
        std::vector<MorphWord> words;
        for (size_t pos = 0; pos < text.size();) {
            size_t length = 1;
            std::u16string reading;
            for (const auto& [word, read] : m_words) {
                if (word.size() >= length && text.substr(pos, word.size()) == word &&
                    (reading.empty() || word.size() > length)) {
                    length = word.size();
                    reading = read;
                }
            }
            const std::u16string display(text.substr(pos, length));
            words.push_back({display, reading.empty() ? display : reading});
            pos += length;
        }
        return words;
    }

private:
    Words m_words;
};

// Gives the readings stage a FakeIme for the life of the object and restores
// the real analyser afterwards; the option starts off and unsettled.
class ScopedFakeIme {
public:
    explicit ScopedFakeIme(ImeReadings& readings,
                           FakeIme::Words words = {{u"漢字", u"かんじ"}, {u"東京", u"とうきょう"}})
        : m_readings(readings) {
        m_readings.setEditorFactory([this, words] {
            auto ime = std::make_unique<FakeIme>(words);
            m_ime = ime.get();
            return ime;
        });
        m_readings.loadSettings(ProfileSettings(), false);
    }
    ~ScopedFakeIme() {
        m_readings.setEditorFactory({});
        m_readings.loadSettings(ProfileSettings(), false);
    }
    // The analyser, made when the stage first opens one; null before.
    FakeIme* ime() const { return m_ime; }

private:
    ImeReadings& m_readings;
    FakeIme* m_ime = nullptr;
};

}  // namespace pw::test
