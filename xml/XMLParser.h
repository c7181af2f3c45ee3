// The XML document of the program: reads a file in any encoding that
// readTextFile recognises into a tree of Element nodes, keeps the root, the
// XML declaration, its encoding and an index of elements by name, and writes
// the tree back in the declared encoding.
//
//   XMLParser doc;
//   if (!doc.load("Data/EverydayEnglish.xml")) return;   // errors were shown
//   for (Element* group : doc.elements(u"SentenceGroup")) {
//       const Element* sentence = group->findFirst(u"sentence");
//       std::u16string text = sentence ? sentence->cdataText() : u"";
//       group->setIntAttribute(u"score", 87);
//   }
//   std::string error;
//   if (!doc.saveAs(doc.getPath(), &error)) { /* tell the user; nothing was lost */ }
#pragma once

#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/Element.h"

namespace pw {

template <typename Char>
class XmlReader;

namespace xml {

// A malformed document, thrown by the reader; XMLParser catches it and shows
// it. line is the number of the check that failed (216, 230, ..., 520; see
// XMLParser::parseString); message is empty for syntax errors.
class ParserException : public std::exception {
public:
    ParserException(int line, std::u16string message);
    int line() const { return m_line; }
    const std::u16string& message() const { return m_message; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    int m_line;
    std::u16string m_message;
    std::string m_what;
};

}  // namespace xml

// Where the last parse failed: the check's number and message, and the row
// (from 1) and column (from 0, in UTF-16 units) of the offending character.
struct XmlParseError {
    int line = 0;
    std::u16string message;
    int row = 0;
    int column = 0;
    // The text shown in the parse-error message box.
    std::u16string boxText;
};

class XMLParser {
public:
    // Declared encodings; a new document is UTF-16.
    enum DeclaredEncoding : int {
        kDeclaredUtf8 = 0,
        kDeclaredUtf16 = 1,
        kDeclaredEucJp = 2,
        kDeclaredShiftJis = 3,
    };

    // Deeper documents are refused (error 520): the indented text of a tree
    // grows with the square of its depth.
    static constexpr int kMaxDepth = 1000;

    XMLParser();
    ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Reads the file (UTF-8 path), detecting its encoding as readTextFile
    // does, and parses it; a document declared Shift_JIS is read as CP932
    // whatever the locale. False when the file is missing, unreadable or empty
    // (nothing changes) or when the parse fails (the document and path stay as
    // they were).
    bool load(const std::string& path);
    // The same for a file's bytes already in memory; the path stays as it is.
    bool loadBytes(std::string bytes);

    // Replaces the document by the parse of text. On a malformed document one
    // message box shows the error (see lastError) and false is returned; when
    // the text holds no element false is returned without a message. Either
    // way the previous root, index, declaration and encoding stay unchanged.
    //
    // The reader accepts the subset of XML the program writes: elements,
    // attributes in double or single quotes, text, CDATA sections, comments
    // and the XML declaration. Only &amp; &lt; &gt; &quot; &apos; are decoded;
    // other references are dropped. White space alone between tags is not a
    // node: it becomes the enclosing element's text. A CDATA section right
    // after another one continues its text. A document type
    // declaration is not supported (the rest of the text is ignored). Content
    // after the root's end tag, including further elements, joins the root.
    // Errors: 216 a "<" not followed by a name, "/", "?" or "!"; 230 "/" after
    // the name of a non-start tag; 237 a bad character after a tag name; 252
    // "?" in a tag that is not "<?...?>"; 256 "/" inside a non-start tag; 261 a
    // bad character between attributes; 272 an attribute name not followed
    // directly by "="; 280 "=" not followed directly by a quote; 297 "/" or "?"
    // not followed directly by ">"; 442, 444, 468 a bad XML declaration (no
    // version, no encoding, unsupported encoding); 511 an end tag with no open
    // element; 516 an end tag that does not match the open element; 520
    // elements nested more than kMaxDepth levels deep.
    bool parseString(std::u16string_view text);

    // Writes the declaration (or a UTF-16 one) and the tree to path in the
    // declared encoding: UTF-8 with a byte-order mark, UTF-16 little-endian with
    // a mark, EUC-JP, or Shift_JIS (CP932). The file is replaced safely; on
    // failure (nothing to save, the file cannot be written, or a character has
    // no encoding in the declared one) the old file stays exactly as it was,
    // false is returned and error (when given) says why. With no root a
    // message box says so.
    bool saveAs(const std::string& path, std::string* error = nullptr);
    // The text saveAs writes, before encoding.
    std::u16string toXmlText();

    // Destroys the tree and empties the index; the declaration and encoding
    // stay for the next document.
    void clear();

    Element* getRoot() const { return m_root.get(); }
    // Replaces the document's tree (destroying the old one) and indexes the
    // new tree's elements.
    void setRoot(std::unique_ptr<Element> root);

    // The XML declaration of the last document that had one, rebuilt as
    // <?xml version="..." encoding="..." other="..."?>; empty when none was read.
    std::u16string getDeclaration() const { return m_declaration; }
    int getEncoding() const { return m_encoding; }
    const std::string& getPath() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }

    // The elements named name, in document order (as of the last parse or
    // setRoot). The pointers do not own; they stay valid until the element is
    // destroyed or the document replaced.
    std::vector<Element*>& elements(std::u16string_view name);

    // Whether a parse error is shown in a message box (the default); a caller
    // that tells the user itself turns it off and reads lastError().
    void setShowsErrors(bool show) { m_showsErrors = show; }

    // The last parse error, cleared by a successful parse.
    const std::optional<XmlParseError>& lastError() const { return m_lastError; }

private:
    using Index = std::map<std::u16string, std::vector<Element*>, std::less<>>;

    template <typename Char>
    bool parse(std::basic_string_view<Char> source);
    // Takes the tree, index and declaration of a finished read.
    template <typename Char>
    void adopt(XmlReader<Char>& reader);
    // Reads a UTF-8 file window by window, a large one in two parts at once
    // (see ParallelLoad.h); nothing when it is not UTF-8
    // throughout or is malformed, for load to read it whole instead.
    std::optional<bool> loadUtf8File(const std::string& path);

    std::string m_path;
    Index m_index;
    std::unique_ptr<Element> m_root;
    int m_encoding = kDeclaredUtf16;
    std::u16string m_declaration;
    std::optional<XmlParseError> m_lastError;
    bool m_showsErrors = true;
};

}  // namespace pw
