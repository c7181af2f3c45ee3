// The reader behind XMLParser: a character-at-a-time state machine over UTF-16
// text, or over UTF-8 bytes read straight from a file, that builds a detached
// tree, its index by element name and the XML declaration.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/Element.h"

namespace pw {

using ElementIndex = std::map<std::u16string, std::vector<Element*>, std::less<>>;

// Char is char16_t for UTF-16 text or char for UTF-8 bytes; both give the same
// tree, errors and positions (counted in UTF-16 units).
template <typename Char>
class XmlReader {
public:
    explicit XmlReader(std::basic_string_view<Char> source = {}) : m_source(source) {}
    ~XmlReader();
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    // Reads the whole source; throws xml::ParserException.
    void run();

    // Reads the source in pieces: window holds the bytes not yet taken (those
    // left over from the call before first) and last says whether the source
    // ends with it. Returns how many of them were taken; the rest is handed in
    // again at the start of the next window. A construct that cannot be
    // finished within the window (a tag, a CDATA section, a comment) is left
    // whole for the next one, so when nothing is taken the next window must
    // be larger. A window must not end inside a character's code units.
    // Throws xml::ParserException; describeError is then not available.
    size_t feed(std::basic_string_view<Char> window, bool last);

    // Where the exception was thrown: the row (from 1) and column (from 0, in
    // UTF-16 units) of the offending character, and its line up to and
    // including it.
    void describeError(int& row, int& column, std::u16string& lineText) const;

    // ---- Reading a document in two parts at once. The reader of the second
    // part begins at a start tag without knowing the elements open there;
    // join() then puts what it read in place, as one reader would have.

    // Makes this reader the second part's, before its first feed.
    void beginTail();
    // For a reader after its last byte before a part another reader read,
    // at that part's first "<": whether it stands where it may hand over
    // (between tags, with no reference open, inside the root). The text read
    // last is added, as that "<" would add it.
    bool endAtBoundary();
    // For the second part's reader, after it has read its part: gives its
    // long index lists room, already touched, for what the other parts'
    // lists are likely to hold (othersShare times their own length), so that
    // join() moves the first part's in front instead of growing them into
    // fresh memory. On a thread that finishes first this is done while the
    // other still reads.
    void makeRoomForJoin(double othersShare);
    // Takes the tree, index and declaration of tail, the reader of the part
    // that follows what this one has read, once it has read to the end or to
    // a boundary (endAtBoundary). This reader then stands where tail stopped,
    // as if it had read that part itself, and may join the next part or read
    // on. False, with nothing changed, when one read would have thrown (an
    // end tag that does not match the element it closes, elements nested too
    // deep): this reader then reads that part itself.
    bool join(XmlReader& tail);

    std::unique_ptr<Element> root;
    ElementIndex index;
    std::optional<std::u16string> declaration;  // rebuilt, when the source had one
    int encoding = 0;                           // declared, when it had one

private:
    using View = std::basic_string_view<Char>;

    // Names are shared by all elements of that name; each has its index list.
    struct NameSlot {
        SharedName* name = nullptr;  // one count is the slot's
        std::vector<Element*>* elements = nullptr;
        std::basic_string<Char> source;  // the name as the source spells it
    };

    [[noreturn]] void fail(int line, std::u16string message = {});

    // A run of name characters from m_pos, begun at start.
    View takeName(size_t start);
    bool readTag();
    void contentCharacters(Char stop);
    void closeEntity();
    // Text in content, added at the next "<": white space alone becomes the
    // current element's text, anything else a text node.
    void addText();
    template <typename Run>
    void addText(Run text);
    // White space alone, which becomes the current element's text.
    template <typename Run>
    void keepBlank(Run text);
    // The same for a run of the source, which may be kept back until the
    // window ends; storeBlank stores it.
    void keepBlankRun(View text);
    void storeBlank();
    // Whether there is an element to take white space; marks the tail level's.
    bool takesBlank();
    // False when the window ends before the section's end (more is needed).
    bool markup();
    void endOfTag();
    void startElement();
    void endElement();
    void endDeclaration();
    void endCData(size_t contentStart, size_t terminator);
    // The attributes read, as pairs in the order of the tag.
    std::vector<Attributes::value_type> attributePairs() const;
    NameSlot& slotFor(View name);

    enum class State {
        Content,
        TagOpen,  // after "<", until the tag's ">"
        Markup,   // after "<!"
    };
    enum TagKind {
        kProcessingInstruction,
        kMarkupDeclaration,
        kEmptyElementTag,
        kStartTag,
        kEndTag
    };

    // What the second part's reader read inside one of the elements open at
    // its start (the first of them, then each one out from there): nodes to
    // append, the last run of white space found directly inside it and the
    // end tag that closed it.
    struct TailLevel {
        std::unique_ptr<Element> holder;  // its children and text are the element's
        // holder's children, so that join() sets their parent without walking
        // a chain of nodes another core wrote, one cache miss after another
        std::vector<Element*> children;
        bool hasBlank = false;  // holder's text was set
        bool closed = false;
        std::basic_string<Char> closedBy;
        int deepest = 0;  // of the elements begun in it, counted from it
    };
    void closeTailLevel();
    // Links node after the current element's last child.
    void link(Element* node);

    View m_source;
    size_t m_pos = 0;
    size_t m_base = 0;   // where m_source starts in the whole source
    bool m_last = true;  // m_source ends the whole source
    State m_state = State::Content;
    TagKind m_tagKind = kStartTag;
    Element* m_current = nullptr;
    int m_depth = 0;  // of m_current
    std::vector<TailLevel> m_tailLevels;
    Element* m_holder = nullptr;  // of the last tail level
    bool m_stopped = false;

    // The last white space read directly inside m_blankOwner, not yet its text.
    Element* m_blankOwner = nullptr;
    View m_blank;

    std::u16string m_textBuffer;
    View m_tagName;  // names are always one run of the source
    Char m_quote = '"';
    // The attributes of the tag being read, in order: their values follow
    // one another in m_textBuffer until the tag ends.
    struct PendingAttribute {
        View name;
        size_t valueStart;
        size_t valueSize;
    };
    std::vector<PendingAttribute> m_attributes;
    static constexpr size_t kNames = 64;  // names kept at hand; more are rare
    static constexpr size_t kNameCache = 64;
    std::vector<NameSlot> m_names;
    NameSlot m_rareName;
    NameSlot* m_nameCache[kNameCache] = {};
    // The source names of the open elements, for quick end-tag checks; null
    // for a name that is not kept at hand.
    std::vector<const std::basic_string<Char>*> m_open;

    // An open "&" reference: only its first few characters can matter.
    bool m_entityOpen = false;
    Char m_entity[6] = {};
    size_t m_entityLength = 0;

    // Adjacent CDATA sections are one text that held "]]>" when written.
    // Positions count from the start of the whole source.
    Element* m_lastCData = nullptr;
    size_t m_lastCDataEnd = 0;
    size_t m_tagStart = 0;
    // The open reference as it stood at the tag's "<", which a tag read
    // again from its start must see again.
    bool m_tagEntityOpen = false;
    Char m_tagEntity[6] = {};
    size_t m_tagEntityLength = 0;
};

extern template class XmlReader<char>;
extern template class XmlReader<char16_t>;

}  // namespace pw
