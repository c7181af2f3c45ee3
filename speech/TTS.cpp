// The sentence speaker's two voices.
#include "speech/TTS.h"

#include <algorithm>
#include <cstdio>

#include "audio/WavFile.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "speech/ChoiceList.h"
#include "speech/EspeakSapi.h"
#include "speech/SapiException.h"
#include "speech/SpeechText.h"

namespace pw {

TTS::TTS(VoiceFactory factory) : m_factory(std::move(factory)) {
    if (!m_factory) {
        m_factory = [] { return std::make_unique<EspeakSapi>(); };
    }
}

TTS::~TTS() = default;

bool TTS::init() {
    try {
        for (auto& voice : m_voices) {
            voice = m_factory();
            if (!voice || !voice->createWindow()) {
                voice.reset();
                return false;
            }
            voice->setListener(this, this);
        }
        return true;
    } catch (const SapiException& e) {
        messageBox(e.describe(), MbOk | MbIconError, u"FAILED: Sapi::Init()");
        return false;
    } catch (const std::exception& e) {
        const std::u16string text = fromUtf8(e.what());
        messageBox(text.empty() ? u"Error" : text, MbOk | MbIconError, u"FAILED: Sapi::Init()");
        return false;
    }
}

Sapi* TTS::voice(int index) const {
    return m_voices[slot(index)].get();
}

void TTS::enumVoices(int index, ChoiceList& list) {
    if (Sapi* v = voice(index); v && list.count() == 0) {
        v->enumEnginNamesToComboBox(list);
    }
}

void TTS::fillFormats(ChoiceList& list) {
    if (Sapi* v = voice(0)) {
        v->fillFormatComboBox(list);
    }
}

bool TTS::isSpeaking() {
    for (const auto& v : m_voices) {
        if (v && v->isSpeaking()) {
            return true;
        }
    }
    return false;
}

void TTS::setRate(int index, int rate) {
    if (Sapi* v = voice(index)) {
        v->setRate(rate);
    }
}

void TTS::setVolume(int index, int volume) {
    if (Sapi* v = voice(index)) {
        v->setVolume(volume);
    }
}

void TTS::setFormat(int index, ChoiceList& list) {
    if (Sapi* v = voice(index)) {
        v->changeFormat(list);
    }
}

bool TTS::changeVoice(int index, ChoiceList& list) {
    m_selection[slot(index)] = std::max(list.selectedIndex(), 0);
    Sapi* v = voice(index);
    return v ? v->changeVoice(list) : true;
}

bool TTS::speak(const std::u16string& text, int index, unsigned flags) {
    Sapi* v = voice(index);
    if (!v) {
        m_lastResult = false;
        return false;
    }
    v->stop();
    m_lastResult = v->speak(text, flags);
    return m_lastResult;
}

void TTS::stop() {
    if (m_paused) {
        resume();
    }
    for (const auto& v : m_voices) {
        if (v) {
            v->stop();
        }
    }
    // Speech that ended while paused leaves nothing paused behind.
    m_paused = false;
}

bool TTS::togglePause() {
    if (!isSpeaking()) {
        return false;
    }
    if (!m_paused) {
        for (const auto& v : m_voices) {
            if (v) {
                v->pause();
            }
        }
        m_paused = true;
    } else {
        resume();
    }
    return true;
}

void TTS::resume() {
    if (!isSpeaking() || !m_paused) {
        return;
    }
    m_paused = false;
    for (const auto& v : m_voices) {
        if (v) {
            v->resume();
        }
    }
}

int TTS::convertToWavFile(const std::u16string& text, const std::u16string& fileName, int index,
                          bool isXml) {
    if (text.empty()) {
        messageBox(u"Error: convertToWavFile(): Argument text is empty.");
        return kConvertEmptyText;
    }
    Sapi* v = voice(index);
    if (!v) {
        messageBox(u"Failed: GetSapiVoice()");
        return kConvertNoVoice;
    }
    m_converting = true;
    m_failed = false;
    m_convertingVoice = slot(index);
    m_wavFileName = fileName;
    std::u16string spoken = text;
    if (isXml) {
        blankStrayLessThan(spoken);
    }
    bool started = false;
    try {
        started = v->speakToWav(fileName, spoken, isXml);
    } catch (const SapiException& e) {
        messageBox(e.describe(), MbOk | MbIconError);
    }
    if (!started) {
        m_failed = true;
        endConversion();
        return kConvertFailed;
    }
    return kConvertStarted;
}

void TTS::endConversion() {
    // A conversion that never started wrote nothing: a file of that name is
    // an earlier one, and stays.
    const std::string path = toUtf8(m_wavFileName);
    if (!m_failed && wavDuration(path) == 0) {
        std::remove(path.c_str());
    }
    m_converting = false;
    m_failed = false;
}

void TTS::onSapiEvent(const SapiEvent& event) {
    if (m_listener) {
        m_listener->onSapiEvent(event);
    }
    // Only the end of the writing voice ends a conversion: the other voice,
    // stopped just before, reports its own end too.
    if ((m_converting || m_failed) && event.type == SapiEvent::kFinished) {
        const Sapi* writer = m_voices[m_convertingVoice].get();
        if (m_failed || !writer || !writer->isWritingFile()) {
            endConversion();
        }
    }
}

}  // namespace pw
