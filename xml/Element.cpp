// The XML node tree. Every walk over the tree is a loop over the links, never
// a recursion, so the depth of a tree cannot exhaust the stack.
#include "xml/Element.h"

#include <string>

#include "core/IniFile.h"
#include "core/Utf.h"
#include "xml/ElementPool.h"

namespace pw {
namespace {

// A CDATA section cannot hold "]]>", so it is split into two sections there.
void appendCDataContent(std::u16string& out, std::u16string_view text) {
    size_t start = 0;
    for (size_t end = text.find(u"]]>"); end != std::u16string_view::npos;
         end = text.find(u"]]>", start)) {
        out.append(text.substr(start, end + 2 - start));
        out += u"]]><![CDATA[";
        start = end + 2;
    }
    out.append(text.substr(start));
}

}  // namespace

Element::Element(std::u16string name) {
    setName(std::move(name));
}

Element::Element(std::u16string name, Attributes attributes, bool isEmptyTag)
    : m_attributes(std::move(attributes)), m_isEmptyTag(isEmptyTag) {
    setName(std::move(name));
}

void Element::setName(std::u16string name) {
    if (m_name) {
        m_name->release();
    }
    m_name = name.empty() ? nullptr : SharedName::make(std::move(name));
}

Element::~Element() {
    removeAllChildren();
    if (m_name) {
        m_name->release();
    }
}

void Element::operator delete(void* block, size_t size) {
    ElementPool::release(block, size);
}

void Element::removeAllChildren() {
    // Each node's children are spliced into the pending chain before the node
    // is deleted, so no destructor has anything left to destroy.
    Element* pending = m_firstChild;
    m_firstChild = m_lastChild = nullptr;
    while (pending) {
        Element* node = pending;
        pending = node->m_nextSibling;
        if (node->m_firstChild) {
            node->m_lastChild->m_nextSibling = pending;
            pending = node->m_firstChild;
            node->m_firstChild = node->m_lastChild = nullptr;
        }
        delete node;
    }
}

std::unique_ptr<Element> Element::clone() const {
    auto shallow = [](const Element& from) {
        auto node = std::make_unique<Element>();
        node->m_name = from.m_name;
        if (node->m_name) {
            node->m_name->acquire();
        }
        node->m_attributes = from.m_attributes;
        node->m_text = from.m_text;
        node->m_isCData = from.m_isCData;
        node->m_isEmptyTag = from.m_isEmptyTag;
        return node;
    };
    auto copy = shallow(*this);
    const Element* from = this;
    Element* to = copy.get();
    for (;;) {
        if (from->m_firstChild) {
            from = from->m_firstChild;
        } else {
            while (from != this && !from->m_nextSibling) {
                from = from->m_parent;
                to = to->m_parent;
            }
            if (from == this) {
                break;
            }
            from = from->m_nextSibling;
            to = to->m_parent;
        }
        Element* child = shallow(*from).release();
        to->linkLast(child);
        to = child;
    }
    return copy;
}

void Element::copyFrom(const Element& other) {
    if (&other == this) {
        return;
    }
    std::unique_ptr<Element> copy = other.clone();  // first: other may be our descendant
    removeAllChildren();
    std::swap(m_name, copy->m_name);  // the copy releases the old name
    m_text = std::move(copy->m_text);
    m_attributes = std::move(copy->m_attributes);
    m_isCData = copy->m_isCData;
    m_isEmptyTag = copy->m_isEmptyTag;
    m_firstChild = copy->m_firstChild;
    m_lastChild = copy->m_lastChild;
    copy->m_firstChild = copy->m_lastChild = nullptr;
    for (Element* child = m_firstChild; child; child = child->m_nextSibling) {
        child->m_parent = this;
    }
}

// ---- Writing

bool Element::writesEmptyTag() const {
    return m_isEmptyTag && !m_firstChild && m_text.empty();
}

void Element::appendStartTag(std::u16string& out) const {
    if (isTextNode()) {
        appendEscaped(out, m_text);
        return;
    }
    out += u'<';
    out += getName();
    for (const auto& [name, value] : m_attributes) {
        out += u' ';
        out += name;
        out += u"=\"";
        appendEscaped(out, value);
        out += u'"';
    }
    if (writesEmptyTag()) {
        out += u" />";
    } else if (m_isCData) {
        out += u"![CDATA[";
        appendCDataContent(out, m_text);
        out += u"]]>";
    } else {
        out += u'>';
    }
}

std::u16string Element::startTag() const {
    std::u16string out;
    appendStartTag(out);
    return out;
}

void Element::writeXml(std::u16string& out, bool childrenOnly) const {
    // Returns whether the node's children follow; top is the node written by
    // toXmlString itself, which gets no line end.
    // Inside mixed content (text beside elements or CDATA) no indentation or
    // line end is added next to a text node: the reader would keep them as
    // part of the text, and every save would make the text grow.
    auto indent = [&out](const Element* node, int depth) {
        if (!node->m_previousSibling || !node->m_previousSibling->isTextNode()) {
            out.append(static_cast<size_t>(depth), u'\t');
        }
    };
    auto lineEnd = [&out](const Element* node, bool top) {
        if (!top && !(node->m_nextSibling && node->m_nextSibling->isTextNode())) {
            out += u"\r\n";
        }
    };
    auto enter = [&](const Element* node, int depth, bool top) {
        if (node->isTextNode()) {
            appendEscaped(out, node->m_text);
            return false;
        }
        if (top) {
            out.append(static_cast<size_t>(depth), u'\t');
        } else {
            indent(node, depth);
        }
        node->appendStartTag(out);
        if (node->writesEmptyTag() || node->m_isCData) {
            lineEnd(node, top);
            return false;
        }
        if (node->m_firstChild) {
            if (!node->m_firstChild->isTextNode()) {
                out += u"\r\n";
            }
            return true;
        }
        if (!top) {
            appendEscaped(out, node->m_text);  // a childless element's deepText
        }
        out += u"</";
        out += node->getName();
        out += u">";
        lineEnd(node, top);
        return false;
    };
    auto leave = [&](const Element* node, int depth, bool top) {
        if (!node->m_firstChild->isTextNode() && !node->m_lastChild->isTextNode()) {
            out.append(static_cast<size_t>(depth), u'\t');
        }
        out += u"</";
        out += node->getName();
        out += u">";
        lineEnd(node, top);
    };

    const int base = depth();
    if (!childrenOnly && !enter(this, base, true)) {
        return;
    }
    const Element* node = m_firstChild;
    int level = base + 1;
    while (node) {
        if (enter(node, level, false)) {
            node = node->m_firstChild;
            ++level;
            continue;
        }
        while (!node->m_nextSibling) {
            node = node->m_parent;
            --level;
            if (node == this) {
                break;
            }
            leave(node, level, false);
        }
        node = node == this ? nullptr : node->m_nextSibling;
    }
    if (!childrenOnly) {
        leave(this, base, true);
    }
}

std::u16string Element::toXmlString() const {
    std::u16string out;
    writeXml(out, false);
    return out;
}

std::u16string Element::childrenToXmlString() const {
    std::u16string out;
    writeXml(out, true);
    return out;
}

void Element::appendEscaped(std::u16string& out, std::u16string_view text) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t* replacement;
        switch (text[i]) {
            case u'&':
                replacement = u"&amp;";
                break;
            case u'<':
                replacement = u"&lt;";
                break;
            case u'>':
                replacement = u"&gt;";
                break;
            case u'"':
                replacement = u"&quot;";
                break;
            case u'\'':
                replacement = u"&apos;";
                break;
            default:
                continue;
        }
        out.append(text.substr(start, i - start));
        out += replacement;
        start = i + 1;
    }
    out.append(text.substr(start));
}

std::u16string Element::escape(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

// ---- Links

std::vector<Element*> Element::getChildren() const {
    std::vector<Element*> children;
    for (Element* child = m_firstChild; child; child = child->m_nextSibling) {
        children.push_back(child);
    }
    return children;
}

int Element::indexOfChild(const Element* node) const {
    if (!node || node->m_parent != this) {
        return -1;
    }
    int index = 0;
    for (const Element* child = m_firstChild; child != node; child = child->m_nextSibling) {
        ++index;
    }
    return index;
}

Element* Element::nextInPreOrder(const Element* root) const {
    if (m_firstChild) {
        return m_firstChild;
    }
    for (const Element* node = this; node && node != root; node = node->m_parent) {
        if (node->m_nextSibling) {
            return node->m_nextSibling;
        }
    }
    return nullptr;
}

int Element::depth() const {
    int depth = 0;
    for (const Element* node = m_parent; node; node = node->m_parent) {
        ++depth;
    }
    return depth;
}

bool Element::isSelfOrAncestor(const Element* node) const {
    for (const Element* walk = this; walk; walk = walk->m_parent) {
        if (walk == node) {
            return true;
        }
    }
    return false;
}

void Element::unlink(Element* child) {
    if (child->m_previousSibling) {
        child->m_previousSibling->m_nextSibling = child->m_nextSibling;
    } else if (m_firstChild == child) {
        m_firstChild = child->m_nextSibling;
    }
    if (child->m_nextSibling) {
        child->m_nextSibling->m_previousSibling = child->m_previousSibling;
    } else if (m_lastChild == child) {
        m_lastChild = child->m_previousSibling;
    }
    child->m_parent = child->m_previousSibling = child->m_nextSibling = nullptr;
}

Element* Element::insertBefore(std::unique_ptr<Element> node, Element* before) {
    if (!node) {
        return nullptr;
    }
    // Only a node with children can be an ancestor; a fresh leaf needs no walk.
    if (node.get() == this || (node->m_firstChild && isSelfOrAncestor(node.get()))) {
        // A cycle would follow; the node stays where it is, owned as before.
        node.release();
        return nullptr;
    }
    if (node->m_parent) {
        node->m_parent->unlink(node.get());
    }
    if (before && before->m_parent != this) {
        before = nullptr;
    }
    Element* raw = node.release();
    raw->m_parent = this;
    raw->m_nextSibling = before;
    raw->m_previousSibling = before ? before->m_previousSibling : m_lastChild;
    if (raw->m_previousSibling) {
        raw->m_previousSibling->m_nextSibling = raw;
    } else {
        m_firstChild = raw;
    }
    if (before) {
        before->m_previousSibling = raw;
    } else {
        m_lastChild = raw;
    }
    return raw;
}

Element* Element::appendChild(std::unique_ptr<Element> node) {
    return insertBefore(std::move(node), nullptr);
}

Element* Element::insertFirstChild(std::unique_ptr<Element> node) {
    return insertBefore(std::move(node), m_firstChild);
}

Element* Element::appendSibling(std::unique_ptr<Element> node) {
    // Siblings belong to the parent; a detached node has nobody to own them.
    return m_parent ? m_parent->appendChild(std::move(node)) : nullptr;
}

std::unique_ptr<Element> Element::removeChild(Element* node) {
    if (!node || node->m_parent != this) {
        return nullptr;
    }
    unlink(node);
    return std::unique_ptr<Element>(node);
}

Element* Element::appendElement(std::u16string name) {
    return appendChild(std::make_unique<Element>(std::move(name)));
}

Element* Element::appendText(std::u16string text) {
    auto node = std::make_unique<Element>();
    node->m_text = std::move(text);
    return appendChild(std::move(node));
}

Element* Element::appendCData(std::u16string text) {
    auto node = std::make_unique<Element>();
    node->setCData(std::move(text));
    return appendChild(std::move(node));
}

// ---- Queries

Element* Element::findFirst(std::u16string_view name) {
    for (Element* node = this; node; node = node->nextInPreOrder(this)) {
        if (node->getName() == name) {
            return node;
        }
    }
    return nullptr;
}

const Element* Element::findFirst(std::u16string_view name) const {
    return const_cast<Element*>(this)->findFirst(name);
}

void Element::findAll(std::u16string_view name, std::vector<Element*>& result) {
    for (Element* node = nextInPreOrder(this); node; node = node->nextInPreOrder(this)) {
        if (node->getName() == name) {
            result.push_back(node);
        }
    }
}

std::u16string Element::deepText() const {
    size_t size = 0;
    for (const Element* node = this; node; node = node->nextInPreOrder(this)) {
        size += node->m_text.size();
    }
    std::u16string text;
    text.reserve(size);
    for (const Element* node = this; node; node = node->nextInPreOrder(this)) {
        text += node->m_text;
    }
    return text;
}

Element* Element::firstCDataChild() const {
    for (Element* child = m_firstChild; child; child = child->m_nextSibling) {
        if (child->m_isCData) {
            return child;
        }
    }
    return nullptr;
}

std::u16string Element::cdataText() const {
    if (m_isCData) {
        return deepText();
    }
    const Element* cdata = firstCDataChild();
    return cdata ? cdata->deepText() : std::u16string();
}

void Element::setCData(std::u16string text) {
    if (m_name) {
        return;
    }
    m_text = std::move(text);
    m_isCData = true;
}

// ---- Attributes

bool Element::hasAttribute(std::u16string_view name) const {
    return m_attributes.contains(name);
}

std::u16string Element::getAttribute(std::u16string_view name,
                                     std::u16string_view defaultValue) const {
    const auto it = m_attributes.find(name);
    return it != m_attributes.end() ? it->second : std::u16string(defaultValue);
}

int Element::getIntAttribute(std::u16string_view name, int defaultValue) const {
    const auto it = m_attributes.find(name);
    return it != m_attributes.end() ? IniFile::parseInt(toUtf8(it->second)) : defaultValue;
}

std::u16string& Element::attribute(std::u16string_view name) {
    return m_attributes[name];
}

void Element::setAttribute(std::u16string_view name, std::u16string value) {
    attribute(name) = std::move(value);
}

void Element::setIntAttribute(std::u16string_view name, int value) {
    const std::string digits = std::to_string(value);
    attribute(name).assign(digits.begin(), digits.end());
}

bool Element::removeAttribute(std::u16string_view name) {
    return m_attributes.erase(name);
}

}  // namespace pw
