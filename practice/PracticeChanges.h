// What one call into the practice logic changed, collected and told to the
// pane once, when the outermost call returns.
#pragma once

#include <cstdint>

namespace pw {

// What changed since the last notification; several bits may come at once.
enum PracticeChange : unsigned {
    kRepaint = 1u << 0,             // repaint the practice area from view()
    kStateChanged = 1u << 1,        // show and hide controls for view().state, relayout
    kCheckChanged = 1u << 2,        // set the "&Check" box to view().checked
    kExplanationChanged = 1u << 3,  // the explanation window's text is view().explanation
    kDescriptionChanged = 1u << 4,  // the description editor's text is view().description
    kTakeFocus = 1u << 5,           // give the practice pane the keyboard focus
    kStartBlinkTimer = 1u << 6,     // (re)start the 300 ms timer that calls onBlinkTimer
    kThemeChanged = 1u << 7,        // re-read the theme's colours
    kQuestionStarted = 1u << 8,     // a question was set up (the exercise page fills in)
    kFlashCardsChanged = 1u << 9,   // the flash-card pane repaints, sets its buttons and its tick
    kChoicesChanged = 1u << 10,     // the word board's choices changed ("order_writing" refills)
};

class PracticeSessionListener {
public:
    virtual ~PracticeSessionListener() = default;
    // Called once at the end of each event or command, with the union of its
    // changes; never from inside another call into the session.
    virtual void practiceChanged(unsigned changes) = 0;
};

class PracticeChanges {
public:
    // Opened by every call that may change something; the listener hears of
    // the changes when the outermost scope closes.
    class Scope {
    public:
        explicit Scope(PracticeChanges& changes) : m_changes(changes) { ++changes.m_depth; }
        ~Scope() { m_changes.close(); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        PracticeChanges& m_changes;
    };

    void setListener(PracticeSessionListener* listener) { m_listener = listener; }
    void add(unsigned changes) {
        m_pending |= changes;
        ++m_revision;
    }
    // Grows with every add, so that a view built at one revision knows it is
    // out of date at another.
    uint64_t revision() const { return m_revision; }

private:
    void close() {
        if (--m_depth > 0 || m_pending == 0) {
            return;
        }
        const unsigned changes = m_pending;
        m_pending = 0;
        if (m_listener) {
            m_listener->practiceChanged(changes);
        }
    }

    PracticeSessionListener* m_listener = nullptr;
    unsigned m_pending = 0;
    int m_depth = 0;
    uint64_t m_revision = 0;
};

}  // namespace pw
