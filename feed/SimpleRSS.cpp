#include "feed/SimpleRSS.h"
#include "platform/TextToolkit.h"

#include "feed/AtomParser.h"
#include "feed/ITunesParser.h"
#include "feed/RDFParser.h"
#include "feed/RSSParser.h"
#include "feed/SimpleRSSException.h"
#include "feed/StreamText.h"

#include <exception>

namespace zavrio {

namespace {

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
    FXMLFile->LoadOwned(std::move(bytes));
    ParseXML();
}

void TSimpleRSS::LoadFromBytes(std::string_view bytes) {
    ResetDocument();
    FXMLFile->Load(bytes);
    ParseXML();
}

void TSimpleRSS::ParseXML() {
    FChannel = std::make_unique<TRSSChannel>();
    FItems = std::make_unique<TRSSItems>(this);

    IXMLNode root = FXMLFile->DocumentElement();
    if (!root)
        throw ESimpleRSSException("No XML document loaded");
    const std::string rootName = root.NodeName();
    const std::string name = AsciiLowerCopy(rootName);
    if (name == "rdf:rdf")
        FXMLType = xtRDF;
    else if (name == "rss")
        FXMLType = root.AttributeValue("itunes") ? xtiTunes : xtRSS;
    else if (name == "feed")
        FXMLType = xtAtom;
    else
        throw ESimpleRSSException("unkown format" + std::string(": ") + rootName);

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
    TRSSItem& item = FItems->Add();
    read(item);
    if (!OnItemRead)
        return;
    OnItemRead(item);
    FItems->Delete(FItems->Count() - 1);
    element.DropChildren();
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
