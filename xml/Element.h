// The XML document model: one node class for elements, text and CDATA
// sections, linked into a tree that owns its children.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/Attributes.h"
#include "xml/ElementPool.h"

namespace pw {

class Node {
public:
    virtual ~Node() = default;
};

// A tag name shared by the elements of that name: one allocation for all of
// them, counted so that it lives as long as the last of them.
class SharedName {
public:
    // A name counted once, for the caller.
    static SharedName* make(std::u16string text) { return new SharedName(std::move(text)); }
    const std::u16string& text() const { return m_text; }
    void acquire() { m_count.fetch_add(1, std::memory_order_relaxed); }
    // For a name no other thread can see yet (the reader's, while it reads):
    // counted without the cost of an atomic operation.
    void acquireUnshared() {
        m_count.store(m_count.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    }
    void release() {
        if (m_count.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            delete this;
        }
    }

private:
    explicit SharedName(std::u16string text) : m_count(1), m_text(std::move(text)) {}

    std::atomic<int> m_count;
    std::u16string m_text;
};

// A node of the tree. Its kind follows from its fields:
//   element     name not empty          <name a="1">children</name>, or <name a="1" />
//   text node   name empty, !isCData    its text, escaped
//   CDATA node  name empty, isCData     <![CDATA[text]]>
// A node owns its children; every other pointer to a node is a non-owning
// reference, valid until the node or one of its ancestors is destroyed.
// No operation recurses, so trees of any depth are safe to build, copy,
// search, write and destroy.
class Element : public Node {
public:
    // Sorted by name in UTF-16 code-unit order, which is the order of writing.
    using Attributes = ::pw::Attributes;

    // A nameless node: a text node, or a CDATA node after setCData.
    // User-provided, not defaulted: make_unique would then zero all of the
    // node before the members are set, a block store slower than the
    // stores of the members themselves, for every node of a document.
    Element() {}  // NOLINT(modernize-use-equals-default)
    explicit Element(std::u16string name);
    Element(std::u16string name, Attributes attributes, bool isEmptyTag = false);
    ~Element() override;  // destroys the whole subtree
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    // Nodes come from a pool (see ElementPool); create them with make_unique.
    // Inline, as a reader creates one per node.
    static void* operator new(size_t size) {
        if (size == sizeof(Element)) {
            if (void* block = ElementPool::takeNode()) {
                return block;
            }
        }
        return ElementPool::allocate(size);
    }
    static void operator delete(void* block, size_t size);

    // Makes this node a deep copy of other (name, text, attributes, flags and
    // all descendants). Its old children are destroyed; its own place in its
    // tree is kept. other may be this node's descendant.
    virtual void copyFrom(const Element& other);
    // A detached deep copy of this node and its subtree.
    std::unique_ptr<Element> clone() const;

    // The node's opening text: a text node's escaped text; otherwise "<name",
    // the attributes as ` name="escaped value"`, then " />" for an empty-element
    // tag, "![CDATA[text]]>" for a CDATA node, or ">".
    virtual std::u16string startTag() const;
    // The node and its descendants as XML, indented one tab per depth, lines
    // ended by "\r\n"; an element whose first child is text stays on one line.
    // The node's own text is written only for childless elements below it. A
    // CDATA text holding "]]>" is written as two sections, which the reader
    // joins again.
    virtual std::u16string toXmlString() const;
    // The children of this node as toXmlString writes them.
    std::u16string childrenToXmlString() const;

    // ---- Links
    Element* getParent() const { return m_parent; }
    Element* getFirstChild() const { return m_firstChild; }
    Element* getLastChild() const { return m_lastChild; }
    Element* getNextSibling() const { return m_nextSibling; }
    Element* getPreviousSibling() const { return m_previousSibling; }
    bool hasChildren() const { return m_firstChild != nullptr; }
    std::vector<Element*> getChildren() const;
    // Zero-based position of node among the children, or -1.
    int indexOfChild(const Element* node) const;
    // Number of ancestors; a root has depth 0.
    int depth() const;
    // The node after this one in pre-order (document order) within the subtree
    // of root, or null: walks a whole tree without recursion, e.g.
    //   for (Element* e = root; e; e = e->nextInPreOrder(root)) ...
    Element* nextInPreOrder(const Element* root) const;

    // ---- Changing the tree. The inserting operations take ownership of node
    // and return it. A node that is still another node's child is moved from
    // there. A node that is this node or one of its ancestors is refused: null
    // is returned and the node stays where it was.
    Element* appendChild(std::unique_ptr<Element> node);
    // Links node after the last node of this node's sibling chain, under the
    // same parent; null (node destroyed) when this node has no parent.
    Element* appendSibling(std::unique_ptr<Element> node);
    Element* insertFirstChild(std::unique_ptr<Element> node);
    // Inserts node in front of the child before (appends when before is null
    // or not a child).
    Element* insertBefore(std::unique_ptr<Element> node, Element* before);
    // Unlinks a child and hands it to the caller; null when node is not a child.
    std::unique_ptr<Element> removeChild(Element* node);
    void removeAllChildren();
    // Shorthands that append a new child and return it.
    Element* appendElement(std::u16string name);
    Element* appendText(std::u16string text);
    Element* appendCData(std::u16string text);

    // ---- Queries
    // The first node named name in pre-order, this node included.
    Element* findFirst(std::u16string_view name);
    const Element* findFirst(std::u16string_view name) const;
    // Appends every descendant named name, in pre-order (this node excluded).
    void findAll(std::u16string_view name, std::vector<Element*>& result);
    // This node's text followed by that of every descendant, in order.
    std::u16string deepText() const;
    Element* firstCDataChild() const;
    // A CDATA node's text, or the text of this node's first CDATA child, or "".
    std::u16string cdataText() const;

    // ---- Fields
    const std::u16string& getName() const { return m_name ? m_name->text() : kNoName; }
    void setName(std::u16string name);
    // A text or CDATA node's content; for an element, the last run of white
    // space found directly inside it while parsing, or text a caller stored.
    const std::u16string& getText() const { return m_text; }
    std::u16string& text() { return m_text; }
    void setText(std::u16string text) { m_text = std::move(text); }
    bool isCData() const { return m_isCData; }
    // On a nameless node, stores text and makes it a CDATA node; ignored on an
    // element.
    void setCData(std::u16string text);
    // Written as an empty-element tag while it has no children and no text.
    bool isEmptyTag() const { return m_isEmptyTag; }
    void setEmptyTag(bool value) { m_isEmptyTag = value; }
    bool isElement() const { return m_name != nullptr; }
    bool isTextNode() const { return !m_name && !m_isCData; }

    // ---- Attributes
    const Attributes& getAttributes() const { return m_attributes; }
    Attributes& getAttributes() { return m_attributes; }
    bool hasAttribute(std::u16string_view name) const;
    // The value, or defaultValue when the attribute is absent; inserts nothing.
    std::u16string getAttribute(std::u16string_view name,
                                std::u16string_view defaultValue = {}) const;
    // The value as a decimal integer (leading blanks, a sign and the digits
    // up to the first non-digit; 0 for empty or non-numeric text), or
    // defaultValue when the attribute is absent.
    int getIntAttribute(std::u16string_view name, int defaultValue = 0) const;
    // The value for writing; an absent attribute is inserted empty first.
    std::u16string& attribute(std::u16string_view name);
    void setAttribute(std::u16string_view name, std::u16string value);
    void setIntAttribute(std::u16string_view name, int value);
    bool removeAttribute(std::u16string_view name);

    // text with & < > " ' replaced by &amp; &lt; &gt; &quot; &apos;.
    static std::u16string escape(std::u16string_view text);
    static void appendEscaped(std::u16string& out, std::u16string_view text);

private:
    static inline const std::u16string kNoName;

    template <typename>
    friend class XmlReader;  // links parsed nodes without the checks of appendChild

    // Links a node that has no parent or siblings after the last child,
    // without the checks of appendChild. Inline: the reader links every node.
    void linkLast(Element* node) {
        node->m_parent = this;
        node->m_previousSibling = m_lastChild;
        (m_lastChild ? m_lastChild->m_nextSibling : m_firstChild) = node;
        m_lastChild = node;
    }
    void unlink(Element* child);
    bool isSelfOrAncestor(const Element* node) const;
    bool writesEmptyTag() const;
    void appendStartTag(std::u16string& out) const;
    void writeXml(std::u16string& out, bool childrenOnly) const;

    Element* m_parent = nullptr;
    Element* m_firstChild = nullptr;
    Element* m_lastChild = nullptr;
    Element* m_nextSibling = nullptr;
    Element* m_previousSibling = nullptr;

    std::u16string m_text;
    // Shared by the elements of one name, which saves an allocation for each
    // element of a document; null for a nameless node. Owns one count.
    SharedName* m_name = nullptr;
    Attributes m_attributes;
    bool m_isCData = false;
    bool m_isEmptyTag = false;
};

}  // namespace pw
