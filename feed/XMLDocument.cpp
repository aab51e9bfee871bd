#include "feed/XMLDocument.h"

#include "feed/XMLErrors.h"
#include "feed/XMLInputLimits.h"
#include "feed/XMLNodeCache.h"
#include "platform/TextToolkit.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <exception>
#include <functional>
#include <mutex>

namespace zavrio {

namespace {

// Every external resource (entity, DTD, XInclude) is refused: a feed is
// parsed from the bytes it came with, never from files or addresses it names.
xmlParserInputPtr refuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

void installEntityLoader() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
    });
}

struct ParseFailure {
    bool failed = false;
    std::string reason;
    int line = 0;
    std::string srcText;
};

// Records the first error that stops the parse, with the source line around
// the parser's position (the parser's input buffer is already UTF-8).
void recordError(void* userData, xmlErrorPtr error) {
    auto* failure = static_cast<ParseFailure*>(userData);
    if (failure->failed || error == nullptr || error->level != XML_ERR_FATAL)
        return;
    failure->failed = true;
    std::string reason = error->message ? error->message : "Unknown parse error";
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    failure->reason = reason;
    failure->line = error->line;

    auto* ctxt = static_cast<xmlParserCtxtPtr>(error->ctxt);
    if (ctxt == nullptr || ctxt->input == nullptr || ctxt->input->base == nullptr ||
        ctxt->input->cur == nullptr)
        return;
    const xmlChar* base = ctxt->input->base;
    const xmlChar* cur = ctxt->input->cur;
    const xmlChar* end = ctxt->input->end ? ctxt->input->end : cur;
    if (cur > end)
        cur = end;
    const xmlChar* start = cur;
    while (start > base && start[-1] != '\n' && start[-1] != '\r')
        --start;
    const xmlChar* stop = cur;
    while (stop < end && *stop != '\n' && *stop != '\r' && *stop != 0)
        ++stop;
    failure->srcText =
        std::string(CutToCharacters(std::string_view(reinterpret_cast<const char*>(start),
                                                     static_cast<std::size_t>(stop - start)),
                                    40));
}

bool isBlankText(const xmlNode* node) {
    if (node->type != XML_TEXT_NODE || node->content == nullptr)
        return false;
    for (const xmlChar* c = node->content; *c; ++c)
        if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r')
            return false;
    return true;
}

// Whitespace-only text nodes are dropped while the tree is built rather than
// by a walk over the finished tree: a walk touches every node of a
// several-megabyte tree a second time, long after it left the cache.
//
// Two SAX hooks do it. libxml2's own blank detection (XML_PARSE_NOBLANKS)
// keeps most blank runs from becoming nodes at all, but it is a heuristic in
// both directions, so it only gets to drop a run that is sure to be a text
// node of its own (no text before it, markup right after it); every other run
// it reports is handed on as ordinary text. What it lets through is removed
// when the element ends: from then on its children are final, and they are
// still in the cache.
struct BlankHooks {
    charactersSAXFunc characters = nullptr;
    endElementNsSAX2Func endElementNs = nullptr;
    // Who hears of each element as it ends, and the document the tree is
    // for (node lookups find their document through the tree's _private).
    std::function<void(xmlNode* element)> ended;
    TXMLDocument* document = nullptr;
    std::exception_ptr failure; // what ended threw
};

BlankHooks& savedHandlers(xmlParserCtxtPtr ctxt) {
    return *static_cast<BlankHooks*>(ctxt->_private);
}

void onIgnorableWhitespace(void* ctx, const xmlChar* chars, int length) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    const xmlNode* parent = ctxt->node;
    const bool startsOwnNode =
        parent != nullptr && (parent->last == nullptr || parent->last->type != XML_TEXT_NODE);
    const bool markupFollows =
        ctxt->input != nullptr && ctxt->input->cur != nullptr && *ctxt->input->cur == '<';
    if (startsOwnNode && markupFollows)
        return;
    savedHandlers(ctxt).characters(ctx, chars, length);
}

void onEndElementNs(void* ctx, const xmlChar* localName, const xmlChar* prefix,
                    const xmlChar* uri) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    BlankHooks& hooks = savedHandlers(ctxt);
    if (xmlNode* element = ctxt->node) {
        for (xmlNode* child = element->children; child != nullptr;) {
            xmlNode* next = child->next;
            if (isBlankText(child)) {
                xmlUnlinkNode(child);
                xmlFreeNode(child);
            }
            child = next;
        }
        if (hooks.ended && !hooks.failure && element->type == XML_ELEMENT_NODE &&
            element->doc != nullptr) {
            element->doc->_private = hooks.document;
            try {
                hooks.ended(element);
            } catch (...) {
                hooks.failure = std::current_exception();
                xmlStopParser(ctxt);
            }
        }
    }
    hooks.endElementNs(ctx, localName, prefix, uri);
}

// Installs the hooks; the handler table belongs to this context alone. Entity
// text is parsed by libxml2 in a child context that shares the table and
// copies _private, so the hooks apply there too.
void installBlankHooks(xmlParserCtxtPtr ctxt, BlankHooks& saved) {
    saved.characters = ctxt->sax->characters;
    saved.endElementNs = ctxt->sax->endElementNs;
    ctxt->_private = &saved;
    ctxt->sax->ignorableWhitespace = onIgnorableWhitespace;
    ctxt->sax->endElementNs = onEndElementNs;
}

bool isLineBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Line breaks, spaces and tabs before the XML declaration (after a UTF-8
// byte-order mark, if any), which XML forbids and some feeds carry anyway.
// The view of bytes without them; the mark stays, so with one the rest is
// copied behind it into joined. lines counts the line breaks left out, for
// the line numbers of later errors. Anything else before the declaration
// is left for the parser to refuse.
std::string_view withoutBlanksBeforeDeclaration(std::string_view bytes, std::string& joined,
                                                int& lines) {
    constexpr std::string_view mark = "\xEF\xBB\xBF";
    const std::size_t start = bytes.starts_with(mark) ? mark.size() : 0;
    std::size_t end = start;
    while (end < bytes.size() && isLineBlank(bytes[end]))
        ++end;
    const std::string_view rest = bytes.substr(end);
    const bool declaration = rest.size() > 5 && rest.starts_with("<?xml") && isLineBlank(rest[5]);
    if (end == start || !declaration)
        return bytes;
    for (std::size_t i = start; i < end; ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == end || bytes[i + 1] != '\n')))
            ++lines;
    if (start == 0)
        return rest;
    joined.reserve(mark.size() + rest.size());
    joined.append(mark).append(rest);
    return joined;
}

struct CtxtDeleter {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

// Routes libxml2's (thread-local) structured error output to a ParseFailure
// for the duration of one parse.
class ErrorCapture {
public:
    explicit ErrorCapture(ParseFailure& failure)
        : oldHandler_(xmlStructuredError), oldData_(xmlStructuredErrorContext) {
        xmlSetStructuredErrorFunc(&failure, recordError);
    }
    ~ErrorCapture() { xmlSetStructuredErrorFunc(oldData_, oldHandler_); }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

private:
    xmlStructuredErrorFunc oldHandler_;
    void* oldData_;
};

} // namespace

void TXMLDocument::DocDeleter::operator()(_xmlDoc* doc) const {
    xmlFreeDoc(doc);
}

TXMLDocument::TXMLDocument() : impl_(std::make_unique<Impl>()) {}

TXMLDocument::~TXMLDocument() = default;

void TXMLDocument::Load(std::string_view bytes, const ElementEnded& ended) {
    load(bytes, nullptr, ended ? &ended : nullptr);
}

void TXMLDocument::LoadOwned(std::string bytes, const ElementEnded& ended) {
    load(bytes, &bytes, ended ? &ended : nullptr);
}

void TXMLDocument::load(std::string_view bytes, std::string* owned, const ElementEnded* ended) {
    doc_.reset();
    impl_->caches.clear();
    installEntityLoader();

    std::string joined;
    int skippedLines = 0;
    bytes = withoutBlanksBeforeDeclaration(bytes, joined, skippedLines);
    if (owned != nullptr && !joined.empty())
        std::string().swap(*owned);
    CheckXMLInputLimits(bytes);

    ParseFailure failure;
    ErrorCapture capture(failure);
    std::unique_ptr<xmlParserCtxt, CtxtDeleter> ctxt(
        xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size())));
    if (owned != nullptr)
        std::string().swap(*owned);
    std::string().swap(joined);
    if (!ctxt)
        throw EDOMParseError("Cannot create the XML parser", 0, "");
    // NOENT: entities are replaced by their text, so the tree holds plain text.
    // NONET plus the refusing entity loader keep the parse off the network and
    // the file system. HUGE is never set: its absence keeps libxml2's limits on
    // entity amplification and nesting depth.
    // NOBLANKS only feeds the blank hooks (see BlankHooks).
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOWARNING |
                                      XML_PARSE_NOERROR | XML_PARSE_NOBLANKS);
    BlankHooks saved;
    if (ended)
        saved.ended = [ended](xmlNode* element) { (*ended)(IXMLNode(element, nullptr)); };
    saved.document = this;
    installBlankHooks(ctxt.get(), saved);
    xmlParseDocument(ctxt.get());
    std::unique_ptr<_xmlDoc, DocDeleter> parsed(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    if (saved.failure) {
        impl_->caches.clear();
        std::rethrow_exception(saved.failure);
    }

    if (!ctxt->wellFormed || !parsed || xmlDocGetRootElement(parsed.get()) == nullptr) {
        if (!failure.failed) {
            failure.reason = "The document has no root element";
            failure.line = ctxt->input ? ctxt->input->line : 0;
        }
        throw EDOMParseError(failure.reason, failure.line + skippedLines, failure.srcText);
    }

    parsed->_private = this;
    doc_ = std::move(parsed);
}

IXMLNode TXMLDocument::DocumentElement() const {
    if (!doc_)
        return {};
    return IXMLNode(xmlDocGetRootElement(doc_.get()), nullptr);
}

std::string TXMLDocument::XML() const {
    if (!doc_)
        return {};
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc_.get(), &text, &size, "UTF-8");
    std::string result(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
    xmlFree(text);
    return result;
}

TXMLDocument& TXMLDocument::Of(const _xmlNode* node) {
    return *static_cast<TXMLDocument*>(node->doc->_private);
}

} // namespace zavrio
