#include "feed/SimpleRSS.h"
#include "platform/TextToolkit.h"

#include "feed/AtomParser.h"
#include "feed/ITunesParser.h"
#include "feed/RDFParser.h"
#include "feed/RSSParser.h"
#include "feed/SimpleRSSException.h"

#include <exception>
#include <istream>
#include <sstream>
#include <typeinfo>

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
    std::streambuf* buffer = stream.rdbuf();
    if (stream.good() && buffer && typeid(*buffer) == typeid(std::stringbuf)) {
        const std::streamoff start = stream.tellg();
        std::string bytes = std::move(static_cast<std::stringbuf&>(*buffer)).str();
        stream.setstate(std::ios::eofbit | std::ios::failbit);
        if (start > 0)
            bytes.erase(0, static_cast<std::size_t>(start));
        ResetDocument();
        FXMLFile->LoadOwned(std::move(bytes));
        ParseXML();
        return;
    }
    // One allocation of the right size where the stream can tell it: a feed
    // is several megabytes, and growing a buffer step by step costs more than
    // the copy itself.
    std::string bytes;
    const std::istream::pos_type start = stream.tellg();
    if (start != std::istream::pos_type(-1) && stream.seekg(0, std::ios::end)) {
        const std::streamoff size = stream.tellg() - start;
        stream.seekg(start);
        bytes.resize(static_cast<std::size_t>(size));
        stream.read(bytes.data(), size);
        bytes.resize(static_cast<std::size_t>(stream.gcount()));
    }
    stream.clear(stream.rdstate() & ~std::ios::failbit);
    char chunk[65536];
    while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(stream.gcount()));
    LoadFromBytes(bytes);
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
