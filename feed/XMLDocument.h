#pragma once
// TXMLDocument: one parsed XML document and the options its nodes honour.
//
// Load parses a whole in-memory byte buffer. The encoding comes from the
// byte-order mark or the XML declaration (UTF-8, UTF-16, ISO-8859-1,
// windows-1252 and the rest that iconv knows); node text is UTF-8. Line
// breaks, spaces and tabs before the XML declaration (also after a UTF-8
// byte-order mark) are skipped, though XML allows nothing there; line
// numbers of errors still count them.
// Whitespace-only text nodes are dropped; CDATA sections are kept as such.
// There is no validation. The parser never touches the network or the file
// system: external entities and DTDs are refused (an external entity reads as
// nothing), and the parser's limits on entity expansion and nesting depth stay
// on, so a hostile document fails with EDOMParseError instead of exhausting
// memory.
//
// The document owns its nodes; IXMLNode handles into it are invalidated by the
// next Load and by the document's destruction.

#include "feed/XMLNode.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct _xmlDoc;

namespace zavrio {

enum TXMLDocOption {
    doNodeAutoCreate,
    doNodeAutoIndent,
    doAttrNull,
    doAutoPrefix,
    doNamespaceDecl,
    doAutoSave,
};

// A set of TXMLDocOption values.
class TXMLDocOptions {
public:
    TXMLDocOptions() = default;
    TXMLDocOptions(std::initializer_list<TXMLDocOption> options) {
        for (auto option : options)
            bits_ |= 1u << option;
    }
    bool Contains(TXMLDocOption option) const { return (bits_ >> option) & 1u; }
    bool operator==(const TXMLDocOptions&) const = default;

private:
    unsigned bits_ = 0;
};

class TXMLDocument {
public:
    // Empty; options doNodeAutoCreate, doAttrNull, doAutoPrefix and
    // doNamespaceDecl. Reading relies on doNodeAutoCreate (ChildByName) and
    // doAttrNull (AttributeValue); the others matter only when writing.
    TXMLDocument();
    ~TXMLDocument();
    TXMLDocument(const TXMLDocument&) = delete;
    TXMLDocument& operator=(const TXMLDocument&) = delete;

    // Replaces the document with the one parsed from bytes. Malformed input,
    // and input beyond the limits of XMLInputLimits.h, throws EDOMParseError
    // and leaves the document empty.
    //
    // ended, when given, is called with every element as soon as its end tag
    // has been read, while the rest of the document is still to come: its
    // own subtree is final, its ancestors and their earlier children are
    // there, nothing after it. It may read and consume the element
    // (IXMLNode::Consume) and look at the rest; what it throws ends the
    // parse and is thrown again.
    using ElementEnded = std::function<void(const IXMLNode& element)>;
    void Load(std::string_view bytes, const ElementEnded& ended = {});
    // Load for bytes handed over: libxml2 parses from a copy of its own, and
    // these are released as soon as it has made it, before the tree grows.
    void LoadOwned(std::string bytes, const ElementEnded& ended = {});

    bool IsEmpty() const { return !doc_; }
    // The root element; none while the document is empty.
    IXMLNode DocumentElement() const;

    TXMLDocOptions Options() const { return options_; }
    void SetOptions(TXMLDocOptions options) { options_ = options; }

    // The document serialised as UTF-8 XML ("" while empty); shows what the
    // lookups have added.
    std::string XML() const;

private:
    struct Impl;
    struct DocDeleter {
        void operator()(_xmlDoc* doc) const;
    };

    friend class IXMLNode;
    static TXMLDocument& Of(const _xmlNode* node);
    // owned, when given, holds bytes and is released once the parser has
    // copied them.
    void load(std::string_view bytes, std::string* owned, const ElementEnded* ended);

    TXMLDocOptions options_{doNodeAutoCreate, doAttrNull, doAutoPrefix, doNamespaceDecl};
    std::unique_ptr<Impl> impl_;
    std::unique_ptr<_xmlDoc, DocDeleter> doc_;
};

} // namespace zavrio
