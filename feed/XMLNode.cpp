#include "feed/XMLNode.h"

#include "feed/XMLDocument.h"
#include "feed/XMLErrors.h"
#include "feed/XMLNodeCache.h"

#include <libxml/tree.h>

#include <algorithm>

#include <strings.h>

namespace zavrio {

namespace {

const char* text(const xmlChar* s) {
    return s ? reinterpret_cast<const char*>(s) : "";
}

std::string_view view(const xmlChar* s) {
    return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
}

const xmlChar* xml(const std::string& s) {
    return reinterpret_cast<const xmlChar*>(s.c_str());
}

const char* const xmlnsURI = "http://www.w3.org/2000/xmlns/";

// Element and attribute names of libxml2 are split into a namespace (with
// its prefix) and the local name. A prefix that was never declared stays
// part of the name ("dc:date" without a namespace), so such names are split
// here as the document spelled them.
struct SplitName {
    std::string_view prefix;
    std::string_view local;
};

SplitName splitName(const xmlNode* node) {
    std::string_view name = view(node->name);
    if (node->ns != nullptr && node->ns->prefix != nullptr)
        return {view(node->ns->prefix), name};
    if (node->ns == nullptr) {
        auto colon = name.find(':');
        if (colon != std::string_view::npos)
            return {name.substr(0, colon), name.substr(colon + 1)};
    }
    return {{}, name};
}

bool qualifiedNameIs(const SplitName& n, std::string_view name) {
    if (n.prefix.empty())
        return name == n.local;
    return name.size() == n.prefix.size() + 1 + n.local.size() && name.starts_with(n.prefix) &&
           name[n.prefix.size()] == ':' && name.ends_with(n.local);
}

// name equals the NUL-terminated text; stops at the first difference
// instead of measuring the text first.
bool sameText(std::string_view name, const xmlChar* text) {
    for (char c : name) {
        if (*text == 0 || static_cast<char>(*text) != c)
            return false;
        ++text;
    }
    return *text == 0;
}

// name is the node's local or qualified name, as splitName divides it. The
// parsers look a child up by name a dozen times per entry, so this compares
// in place rather than splitting and measuring the node's name each time.
bool isNamed(const xmlNode* node, std::string_view name) {
    // The local name; for a prefix that was never declared, the whole name.
    if (sameText(name, node->name))
        return true;
    if (node->ns == nullptr) {
        // An undeclared prefix: the local part follows the first colon.
        const xmlChar* colon = node->name;
        while (*colon != 0 && *colon != ':')
            ++colon;
        return *colon == ':' && sameText(name, colon + 1);
    }
    const xmlChar* prefix = node->ns->prefix;
    if (prefix == nullptr || *prefix == 0)
        return false;
    // "prefix:local".
    for (; *prefix != 0; ++prefix) {
        if (name.empty() || name.front() != static_cast<char>(*prefix))
            return false;
        name.remove_prefix(1);
    }
    return name.starts_with(':') && sameText(name.substr(1), node->name);
}

// isNamed for one node and many names: the node's names are measured once,
// so each name costs a comparison of lengths and, rarely, of bytes.
class NameMatcher {
public:
    explicit NameMatcher(const xmlNode* node) : raw_(view(node->name)) {
        if (node->ns == nullptr) {
            const auto colon = raw_.find(':');
            undeclared_ = colon != std::string_view::npos;
            if (undeclared_)
                local_ = raw_.substr(colon + 1);
        } else if (node->ns->prefix != nullptr) {
            prefix_ = view(node->ns->prefix);
        }
    }

    bool Matches(std::string_view name) const {
        if (name == raw_)
            return true;
        if (undeclared_)
            return name == local_;
        return !prefix_.empty() && name.size() == prefix_.size() + 1 + raw_.size() &&
               name.starts_with(prefix_) && name[prefix_.size()] == ':' && name.ends_with(raw_);
    }

private:
    std::string_view raw_;    // the name as libxml2 keeps it
    bool undeclared_ = false; // raw_ is "prefix:local" with a prefix never declared
    std::string_view local_;  // then the part after the first colon
    std::string_view prefix_; // a declared prefix
};

std::string_view nsURIOf(const xmlNode* node) {
    return node->ns ? view(node->ns->href) : std::string_view();
}

bool sameNamespace(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string nsDeclName(const xmlNs* ns) {
    return ns->prefix ? "xmlns:" + std::string(text(ns->prefix)) : std::string("xmlns");
}

bool hasChildren(const xmlNode* node) {
    return node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE ||
           node->type == XML_DOCUMENT_NODE || node->type == XML_DOCUMENT_FRAG_NODE ||
           node->type == XML_ENTITY_REF_NODE || node->type == XML_ENTITY_DECL ||
           node->type == XML_DTD_NODE;
}

// The value of an attribute node: the text of its children.
std::string attributeText(const xmlAttr* attr) {
    const xmlNode* first = attr->children;
    if (first == nullptr)
        return {};
    if (first->next == nullptr && first->type == XML_TEXT_NODE)
        return text(first->content);
    xmlChar* value = xmlNodeListGetString(attr->doc, attr->children, 1);
    std::string result = text(value);
    xmlFree(value);
    return result;
}

int nsDeclCount(const xmlNode* element) {
    int count = 0;
    for (const xmlNs* ns = element->nsDef; ns != nullptr; ns = ns->next)
        ++count;
    return count;
}

} // namespace

namespace {

[[noreturn]] void throwNone() {
    throw EXMLDocError("Operation on an unassigned XML node");
}

} // namespace

TNodeType IXMLNode::NodeType() const {
    if (!node_)
        throwNone();
    if (nsDecl_)
        return ntAttribute;
    switch (node_->type) {
    case XML_ELEMENT_NODE:
        return ntElement;
    case XML_ATTRIBUTE_NODE:
        return ntAttribute;
    case XML_TEXT_NODE:
        return ntText;
    case XML_CDATA_SECTION_NODE:
        return ntCData;
    case XML_ENTITY_REF_NODE:
        return ntEntityRef;
    case XML_ENTITY_NODE:
    case XML_ENTITY_DECL:
        return ntEntity;
    case XML_PI_NODE:
        return ntProcessingInstr;
    case XML_COMMENT_NODE:
        return ntComment;
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
        return ntDocument;
    case XML_DOCUMENT_TYPE_NODE:
    case XML_DTD_NODE:
        return ntDocType;
    case XML_DOCUMENT_FRAG_NODE:
        return ntDocFragment;
    case XML_NOTATION_NODE:
        return ntNotation;
    default:
        return ntReserved;
    }
}

std::string IXMLNode::NodeName() const {
    switch (NodeType()) {
    case ntElement:
    case ntAttribute: {
        if (nsDecl_)
            return nsDeclName(nsDecl_);
        SplitName n = splitName(node_);
        if (n.prefix.empty())
            return std::string(n.local);
        std::string name;
        name.reserve(n.prefix.size() + 1 + n.local.size());
        name.append(n.prefix).append(1, ':').append(n.local);
        return name;
    }
    case ntText:
        return "#text";
    case ntCData:
        return "#cdata-section";
    case ntComment:
        return "#comment";
    case ntDocument:
        return "#document";
    case ntDocFragment:
        return "#document-fragment";
    default:
        return text(node_->name);
    }
}

std::string IXMLNode::LocalName() const {
    switch (NodeType()) {
    case ntElement:
    case ntAttribute:
        if (nsDecl_)
            return nsDecl_->prefix ? text(nsDecl_->prefix) : "xmlns";
        return std::string(splitName(node_).local);
    case ntText:
    case ntCData:
    case ntComment:
    case ntDocument:
    case ntDocFragment:
        return {};
    default:
        return text(node_->name);
    }
}

bool IXMLNode::HasLocalName(std::string_view name) const {
    switch (NodeType()) {
    case ntElement:
    case ntAttribute:
        if (nsDecl_)
            return name == (nsDecl_->prefix ? view(nsDecl_->prefix) : std::string_view("xmlns"));
        return splitName(node_).local == name;
    case ntText:
    case ntCData:
    case ntComment:
    case ntDocument:
    case ntDocFragment:
        return name.empty();
    default:
        return view(node_->name) == name;
    }
}

std::string IXMLNode::Prefix() const {
    TNodeType type = NodeType();
    if (nsDecl_)
        return nsDecl_->prefix ? "xmlns" : "";
    if (type != ntElement && type != ntAttribute)
        return {};
    return std::string(splitName(node_).prefix);
}

std::string IXMLNode::NamespaceURI() const {
    TNodeType type = NodeType();
    if (nsDecl_)
        return xmlnsURI;
    if (type != ntElement && type != ntAttribute)
        return {};
    return std::string(nsURIOf(node_));
}

IXMLNode IXMLNode::ParentNode() const {
    TNodeType type = NodeType();
    if (type == ntAttribute || node_->parent == nullptr || node_->parent->type != XML_ELEMENT_NODE)
        return {};
    return IXMLNode(node_->parent, nullptr);
}

int IXMLNode::ChildCount() const {
    NodeType();
    if (nsDecl_ || !hasChildren(node_))
        return 0;
    auto* cache = static_cast<NodeCache*>(node_->_private);
    if (cache && cache->childCount >= 0)
        return cache->childCount;
    int count = 0;
    for (const xmlNode* child = node_->children; child != nullptr; child = child->next)
        ++count;
    if (!cache) {
        cache = &TXMLDocument::Of(node_).impl_->caches.emplace_back();
        node_->_private = cache;
    }
    cache->childCount = count;
    return count;
}

IXMLNode IXMLNode::ChildAt(int index) const {
    int count = ChildCount();
    if (index < 0 || index >= count)
        throw EXMLDocError("List index out of bounds (" + std::to_string(index) + ")");
    auto* cache = static_cast<NodeCache*>(node_->_private);
    xmlNode* child = node_->children;
    int at = 0;
    if (cache->cursorNode != nullptr && index >= cache->cursorIndex) {
        child = cache->cursorNode;
        at = cache->cursorIndex;
    }
    for (; at < index; ++at)
        child = child->next;
    cache->cursorNode = child;
    cache->cursorIndex = index;
    return IXMLNode(child, nullptr);
}

namespace {
// Where a consumed element's "psvi" field points; libxml2 fills that field
// of an element only when it validates against a schema, which is never
// done here.
const char ConsumedMark = 0;
} // namespace

bool IXMLNode::Consumed() const {
    return !nsDecl_ && NodeType() == ntElement && node_->psvi == &ConsumedMark;
}

void IXMLNode::Consume() const {
    if (nsDecl_ || NodeType() != ntElement)
        return;
    node_->psvi = const_cast<char*>(&ConsumedMark);
    xmlFreeNodeList(node_->children);
    node_->children = nullptr;
    node_->last = nullptr;
    // The children's own cache entries stay with the document until it goes.
    if (auto* cache = static_cast<NodeCache*>(node_->_private))
        *cache = NodeCache{.childCount = 0};
}

IXMLNode IXMLNode::FindChild(std::string_view name) const {
    TNodeType type = NodeType();
    if (nsDecl_ || (type != ntElement && type != ntDocument))
        return {};
    std::string_view parentURI = nsURIOf(node_);
    for (xmlNode* child = node_->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE || !isNamed(child, name))
            continue;
        if (!parentURI.empty() && child->ns != node_->ns &&
            !sameNamespace(nsURIOf(child), parentURI))
            continue;
        return IXMLNode(child, nullptr);
    }
    return {};
}

void IXMLNode::FindChildren(std::span<const std::string_view> names,
                            std::span<IXMLNode> found) const {
    if (names.size() != found.size())
        throw EXMLDocError("FindChildren: " + std::to_string(names.size()) + " names but " +
                           std::to_string(found.size()) + " places for the results");
    std::fill(found.begin(), found.end(), IXMLNode());
    TNodeType type = NodeType();
    if (nsDecl_ || (type != ntElement && type != ntDocument))
        return;
    // The same tests as FindChild; the namespace test does not depend on the
    // name, so it comes first.
    std::string_view parentURI = nsURIOf(node_);
    std::size_t missing = names.size();
    for (xmlNode* child = node_->children; child != nullptr && missing > 0; child = child->next) {
        if (child->type != XML_ELEMENT_NODE)
            continue;
        if (!parentURI.empty() && child->ns != node_->ns &&
            !sameNamespace(nsURIOf(child), parentURI))
            continue;
        const NameMatcher childName(child);
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!found[i] && childName.Matches(names[i])) {
                found[i] = IXMLNode(child, nullptr);
                --missing;
            }
        }
    }
}

IXMLNode IXMLNode::ChildByName(std::string_view name) const {
    if (IXMLNode found = FindChild(name))
        return found;
    if (NodeType() != ntElement)
        throw EXMLDocError("Cannot add element \"" + std::string(name) + "\" here");
    TXMLDocument& document = TXMLDocument::Of(node_);
    if (!document.Options().Contains(doNodeAutoCreate))
        throw EXMLDocError("Node \"" + std::string(name) + "\" not found");

    std::string qualified(name);
    xmlNs* ns = node_->ns;
    std::string local = qualified;
    if (auto colon = qualified.find(':'); colon != std::string::npos) {
        std::string prefix = qualified.substr(0, colon);
        ns = xmlSearchNs(node_->doc, node_, xml(prefix));
        if (ns != nullptr)
            local = qualified.substr(colon + 1);
    }
    xmlNode* element = xmlNewDocNode(node_->doc, ns, xml(local), nullptr);
    if (element == nullptr || xmlAddChild(node_, element) == nullptr)
        throw EXMLDocError("Cannot add element \"" + qualified + "\"");
    if (auto* cache = static_cast<NodeCache*>(node_->_private); cache && cache->childCount >= 0)
        ++cache->childCount;
    return IXMLNode(element, nullptr);
}

std::string IXMLNode::Text() const {
    TNodeType type = NodeType();
    if (nsDecl_)
        return text(nsDecl_->href);
    switch (type) {
    case ntElement: {
        xmlNode* child = node_->children;
        if (child == nullptr) {
            // Reading leaves the empty element with one empty text child; the
            // parsers count children after such reads, so this is kept.
            xmlNode* empty = xmlNewDocText(node_->doc, reinterpret_cast<const xmlChar*>(""));
            if (empty == nullptr || xmlAddChild(node_, empty) == nullptr)
                throw EXMLDocError("Cannot add a text node");
            if (auto* cache = static_cast<NodeCache*>(node_->_private);
                cache && cache->childCount >= 0)
                ++cache->childCount;
            return {};
        }
        if (child->next == nullptr &&
            (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE))
            return text(child->content);
        throw EXMLDocError("Element does not contain a single text node");
    }
    case ntAttribute:
        return attributeText(reinterpret_cast<const xmlAttr*>(node_));
    case ntText:
    case ntCData:
    case ntComment:
    case ntProcessingInstr:
        return text(node_->content);
    default:
        return {};
    }
}

XMLValue IXMLNode::TextValue() const {
    std::string value = Text();
    if (value.empty())
        return std::nullopt;
    return value;
}

XMLValue IXMLNode::AttributeValue(std::string_view name) const {
    if (NodeType() != ntElement || nsDecl_)
        return std::nullopt;
    for (const xmlNs* ns = node_->nsDef; ns != nullptr; ns = ns->next)
        if (nsDeclName(ns) == name)
            return std::string(text(ns->href));
    for (xmlAttr* attr = node_->properties; attr != nullptr; attr = attr->next)
        if (qualifiedNameIs(splitName(reinterpret_cast<xmlNode*>(attr)), name))
            return attributeText(attr);
    if (!TXMLDocument::Of(node_).Options().Contains(doAttrNull))
        return std::string();
    return std::nullopt;
}

int IXMLNode::AttributeCount() const {
    if (NodeType() != ntElement || nsDecl_)
        return 0;
    int count = nsDeclCount(node_);
    for (const xmlAttr* attr = node_->properties; attr != nullptr; attr = attr->next)
        ++count;
    return count;
}

IXMLNode IXMLNode::AttributeAt(int index) const {
    if (NodeType() == ntElement && !nsDecl_ && index >= 0) {
        int at = 0;
        for (xmlNs* ns = node_->nsDef; ns != nullptr; ns = ns->next, ++at)
            if (at == index)
                return IXMLNode(node_, ns);
        for (xmlAttr* attr = node_->properties; attr != nullptr; attr = attr->next, ++at)
            if (at == index)
                return IXMLNode(reinterpret_cast<xmlNode*>(attr), nullptr);
    }
    throw EXMLDocError("List index out of bounds (" + std::to_string(index) + ")");
}

IXMLNode IXMLNode::FindAttribute(std::string_view name) const {
    if (NodeType() != ntElement || nsDecl_)
        return {};
    for (xmlNs* ns = node_->nsDef; ns != nullptr; ns = ns->next) {
        std::string_view local = ns->prefix ? view(ns->prefix) : std::string_view("xmlns");
        if (name == local || name == nsDeclName(ns))
            return IXMLNode(node_, ns);
    }
    for (xmlAttr* attr = node_->properties; attr != nullptr; attr = attr->next) {
        auto* node = reinterpret_cast<xmlNode*>(attr);
        if (isNamed(node, name))
            return IXMLNode(node, nullptr);
    }
    return {};
}

IXMLNode IXMLNode::AttributeByName(std::string_view name) const {
    if (IXMLNode found = FindAttribute(name))
        return found;
    if (NodeType() != ntElement || nsDecl_)
        throw EXMLDocError("Cannot add attribute \"" + std::string(name) + "\" here");
    std::string qualified(name);
    xmlAttr* attr = nullptr;
    if (auto colon = qualified.find(':'); colon != std::string::npos) {
        std::string prefix = qualified.substr(0, colon);
        if (xmlNs* ns = xmlSearchNs(node_->doc, node_, xml(prefix)))
            attr = xmlNewNsProp(node_, ns, xml(qualified.substr(colon + 1)),
                                reinterpret_cast<const xmlChar*>(""));
    }
    if (attr == nullptr)
        attr = xmlNewProp(node_, xml(qualified), reinterpret_cast<const xmlChar*>(""));
    if (attr == nullptr)
        throw EXMLDocError("Cannot add attribute \"" + qualified + "\"");
    return IXMLNode(reinterpret_cast<xmlNode*>(attr), nullptr);
}

} // namespace zavrio
