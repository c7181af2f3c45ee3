// The state every speech engine shares.
#include "speech/Sapi.h"

namespace pw {

void Sapi::setListener(SapiEventListener* listener, void* owner) {
    m_listener = listener;
    m_event.owner = owner;
}

void Sapi::notify(int32_t type) {
    m_event.type = type;
    if (m_listener) {
        const SapiEvent event = m_event;  // the listener may speak again at once
        m_listener->onSapiEvent(event);
    }
}

}  // namespace pw
