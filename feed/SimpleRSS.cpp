#include "feed/SimpleRSS.h"
#include "platform/TextToolkit.h"

#include "feed/AtomParser.h"
#include "feed/ITunesParser.h"
#include "feed/RDFParser.h"
#include "feed/RSSParser.h"
#include "feed/SimpleRSSException.h"
#include "feed/StreamText.h"

#include <exception>

#include <map>
#include <memory>
#include <optional>

namespace zavrio {

namespace {

// The format a document is in, from its root element (whose name and
// attributes are known as soon as its start tag is read).
std::optional<TXMLType> formatOf(const IXMLNode& root) {
    const std::string name = AsciiLowerCopy(root.NodeName());
    if (name == "rdf:rdf")
        return xtRDF;
    if (name == "rss")
        return root.AttributeValue("itunes") ? xtiTunes : xtRSS;
    if (name == "feed")
        return xtAtom;
    return std::nullopt;
}

// The one place where a format is mapped to its parser.
std::unique_ptr<TSimpleParserBase> createParser(TXMLType type, TSimpleRSS& owner) {
    switch (type) {
    case xtRSS:
        return std::make_unique<TSimpleParserRSS>(owner);
    case xtRDF:
        return std::make_unique<TSimpleParserRDF>(owner);
    case xtAtom:
        return std::make_unique<TSimpleParserAtom>(owner);
    case xtiTunes:
        return std::make_unique<TSimpleParseriTunes>(owner);
    }
    throw ESimpleRSSException("Unknown feed format");
}

} // namespace

const char* XMLTypeName(TXMLType type) {
    switch (type) {
    case xtRDF:
        return "xtRDF";
    case xtRSS:
        return "xtRSS";
    case xtAtom:
        return "xtAtom";
    case xtiTunes:
        return "xtiTunes";
    }
    return "";
}

TSimpleRSS::TSimpleRSS(TNotifyEvent onCreate)
    : OnCreate(std::move(onCreate)), FChannel(std::make_unique<TRSSChannel>()),
      FItems(std::make_unique<TRSSItems>(this)), FXMLFile(std::make_unique<TXMLDocument>()) {
    FXMLFile->SetOptions({doNodeAutoCreate, doNodeAutoIndent, doAttrNull, doAutoPrefix});
    if (OnCreate)
        OnCreate(*this);
}

TSimpleRSS::~TSimpleRSS() = default;

void TSimpleRSS::ResetDocument() {
    FXMLFile = std::make_unique<TXMLDocument>();
}

void TSimpleRSS::LoadFromStream(std::istream& stream) {
    // The download hands the feed over in a string stream: its text is taken
    // over rather than copied into a buffer as large again, and released as
    // soon as the parser has its own copy.
    std::string bytes = TakeStreamText(stream);
    ResetDocument();
    FXMLFile->LoadOwned(std::move(bytes), itemsAsTheyEnd());
    ParseXML();
}

void TSimpleRSS::LoadFromBytes(std::string_view bytes) {
    ResetDocument();
    FXMLFile->Load(bytes, itemsAsTheyEnd());
    ParseXML();
}

TXMLDocument::ElementEnded TSimpleRSS::itemsAsTheyEnd() {
    FReadAheadErrors.clear();
    if (!OnItemRead)
        return {};
    // The format, and with it the parser, is known from the root element,
    // an ancestor of the first element to end.
    auto parser = std::make_shared<std::unique_ptr<TSimpleParserBase>>();
    auto decided = std::make_shared<bool>(false);
    return [this, parser, decided](const IXMLNode& element) {
        if (!*decided) {
            *decided = true;
            IXMLNode root = element;
            while (IXMLNode parent = root.ParentNode())
                root = parent;
            if (const std::optional<TXMLType> format = formatOf(root))
                *parser = createParser(*format, *this);
        }
        if (!*parser || !(*parser)->ReadsAsItem(element))
            return;
        TRSSItem item;
        try {
            (*parser)->ReadItemElement(element, item);
        } catch (...) {
            // Thrown when Parse comes to the element, as it would be then.
            FReadAheadErrors.emplace(element.Identity(), std::current_exception());
            element.Consume();
            return;
        }
        OnItemRead(item);
        element.Consume();
    };
}

void TSimpleRSS::ParseXML() {
    FChannel = std::make_unique<TRSSChannel>();
    FItems = std::make_unique<TRSSItems>(this);

    IXMLNode root = FXMLFile->DocumentElement();
    if (!root)
        throw ESimpleRSSException("No XML document loaded");
    const std::optional<TXMLType> format = formatOf(root);
    if (!format)
        throw ESimpleRSSException("unkown format" + std::string(": ") + root.NodeName());
    FXMLType = *format;

    if (auto version = root.AttributeValue("version"))
        FVersion = *version;

    std::unique_ptr<TSimpleParserBase> parser = createParser(FXMLType, *this);
    preReadChannelTexts();
    parser->Parse();
    if (OnParseXML)
        OnParseXML(*this);
}

void TSimpleRSS::ReadItem(const IXMLNode& element,
                          const std::function<void(TRSSItem& item)>& read) {
    if (OnItemRead && element.Consumed()) {
        // Read while the document was parsed.
        if (const auto error = FReadAheadErrors.find(element.Identity());
            error != FReadAheadErrors.end())
            std::rethrow_exception(error->second);
        return;
    }
    TRSSItem& item = FItems->Add();
    read(item);
    if (!OnItemRead)
        return;
    OnItemRead(item);
    FItems->Delete(FItems->Count() - 1);
    element.Consume();
}

// Reads the channel's texts and drops them. What stays are the elements the
// lookups append when they miss (an Atom document gains an empty "channel"
// with empty "title", "description", "link" and "pubDate"), and the parsers
// are written against the document as it is after this.
void TSimpleRSS::preReadChannelTexts() {
    try {
        IXMLNode root = FXMLFile->DocumentElement();
        if (FXMLType == xtRDF) {
            IXMLNode channel = root.ChildAt(0);
            for (const char* name : {"title", "description", "link", "dc:date"})
                channel.ChildByName(name).Text();
        } else {
            IXMLNode channel = root.ChildByName("channel");
            for (const char* name : {"title", "description", "link", "pubDate"})
                channel.ChildByName(name).Text();
        }
    } catch (const std::exception&) {
        // Markup in a channel text or an RDF root without children: the
        // parser meets those itself.
    }
}

} // namespace zavrio
