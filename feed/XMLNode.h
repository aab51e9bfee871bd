#pragma once
// IXMLNode: a handle to one node of a TXMLDocument (element, attribute, text,
// CDATA section, comment, ...), the only way the feed code reads a document.
//
// A handle is a plain, cheap-to-copy reference: it does not own its node, and
// it is valid only while the TXMLDocument it came from holds the same loaded
// document (a new Load or the document's destruction invalidates it). A
// default-constructed handle is "none": it converts to false, and every other
// operation on it throws EXMLDocError.
//
// Text is UTF-8. Null (std::nullopt) and the empty string are different
// values: TextValue and AttributeValue give Null where there is no text.
// Names compare case-sensitively, byte for byte.

#include <optional>
#include <span>
#include <string>
#include <string_view>

struct _xmlNode;
struct _xmlNs;

namespace zavrio {

// A text that may be Null; Null equals only Null, and a present text compares
// with a literal byte for byte (XMLValue("x") == "x").
using XMLValue = std::optional<std::string>;

enum TNodeType {
    ntReserved,
    ntElement,
    ntAttribute,
    ntText,
    ntCData,
    ntEntityRef,
    ntEntity,
    ntProcessingInstr,
    ntComment,
    ntDocument,
    ntDocType,
    ntDocFragment,
    ntNotation,
};

class IXMLNode {
public:
    IXMLNode() = default;

    explicit operator bool() const { return node_ != nullptr; }
    bool operator==(const IXMLNode& other) const = default;

    TNodeType NodeType() const;
    // Qualified name: "prefix:local" or "local". Text nodes are "#text", CDATA
    // sections "#cdata-section", comments "#comment"; a namespace declaration
    // is an attribute named "xmlns" or "xmlns:prefix".
    std::string NodeName() const;
    // The name without its prefix ("" for text, CDATA and comment nodes).
    std::string LocalName() const;
    // LocalName() == name, without building the name: parsers ask this of
    // every child of every entry.
    bool HasLocalName(std::string_view name) const;
    std::string Prefix() const;
    // "" when the node is in no namespace.
    std::string NamespaceURI() const;
    // None for the document element and for attributes.
    IXMLNode ParentNode() const;

    // All child nodes in document order, counted from 0. ChildAt fails with
    // EXMLDocError "List index out of bounds (%d)" for an index outside
    // 0..ChildCount()-1. Walking the children in order is linear overall.
    int ChildCount() const;
    IXMLNode ChildAt(int index) const;
    // For a reader that is done with an element: frees its children (other
    // nodes are left as they are) and marks it. The element stays, empty.
    // Handles into the children are invalid afterwards.
    void Consume() const;
    // Consume was called for this element.
    bool Consumed() const;
    // The same for every handle of one node, different for different nodes.
    const void* Identity() const { return node_; }

    // The first child element whose qualified or local name equals name and,
    // when this node has a namespace URI, whose namespace URI equals it
    // (compared case-insensitively); none otherwise. A prefixed namesake
    // placed before the unprefixed element therefore wins: FindChild("title")
    // gives <media:title> when it comes first.
    IXMLNode FindChild(std::string_view name) const;
    // found[i] = FindChild(names[i]) for every i, in one walk over the
    // children (a parser reading a dozen parts of each feed entry would
    // otherwise walk the entry's children a dozen times). Throws EXMLDocError
    // when the two spans differ in size.
    void FindChildren(std::span<const std::string_view> names, std::span<IXMLNode> found) const;

    // As FindChild, but a miss appends an empty element, which stays in the
    // document and is returned. An unprefixed name takes this node's prefix and
    // namespace; a prefixed one the namespace its prefix is bound to here (or
    // none when the prefix is not declared). Throws EXMLDocError when the
    // document's options lack doNodeAutoCreate.
    IXMLNode ChildByName(std::string_view name) const;

    // Elements: "" when the element has no children (it then gains one empty
    // text child); the data of its only child when that is text or CDATA;
    // otherwise EXMLDocError "Element does not contain a single text node".
    // Other nodes: their data or value.
    std::string Text() const;
    // Text(), or Null when that is "".
    XMLValue TextValue() const;

    // Value of the attribute whose qualified name is exactly name (a namespace
    // declaration is "xmlns:prefix"); Null when there is none (or "" when the
    // document's options lack doAttrNull).
    XMLValue AttributeValue(std::string_view name) const;

    // The attributes as a node list: namespace declarations first, then the
    // other attributes, each group in document order.
    int AttributeCount() const;
    IXMLNode AttributeAt(int index) const;
    // First attribute whose qualified or local name equals name, any namespace.
    IXMLNode FindAttribute(std::string_view name) const;
    // As FindAttribute, but a miss adds an attribute with an empty value.
    IXMLNode AttributeByName(std::string_view name) const;

private:
    friend class TXMLDocument;
    IXMLNode(_xmlNode* node, _xmlNs* nsDecl) : node_(node), nsDecl_(nsDecl) {}

    // node_ is the node itself; for a namespace declaration it is the element
    // carrying it and nsDecl_ is the declaration.
    _xmlNode* node_ = nullptr;
    _xmlNs* nsDecl_ = nullptr;
};

} // namespace zavrio
