#pragma once
// TSimpleRSS: the feed component. It owns one XML document (XMLFile) and the
// feed model read from it (Channel, Items), and turns a byte buffer into that
// model: LoadFromStream parses the bytes as XML, recognises the format from
// the root element and runs that format's parser (one TSimpleParserBase
// subclass per format, chosen in ParseXML only).
//
// Failures are exceptions and all reach the caller:
// - EDOMParseError for malformed XML; the document is then empty while
//   Channel, Items, Version and XMLType keep what the previous parse left;
// - ESimpleRSSException "unkown format: <root name>" for a root element of no
//   known format; Channel and Items are then fresh and empty;
// - whatever the format's parser raises; the model keeps what the parser
//   wrote up to the failure.

#include "feed/RSSChannel.h"
#include "feed/RSSItem.h"
#include "feed/XMLDocument.h"

#include <exception>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace zavrio {

// Feed formats, in this order; the format of the last parsed document.
enum TXMLType { xtRDF, xtRSS, xtAtom, xtiTunes };

class TSimpleRSS;
using TNotifyEvent = std::function<void(TSimpleRSS& sender)>;

class TSimpleRSS {
public:
    // Fresh channel and items, an empty document, Version "2.0", XMLType
    // xtRSS; onCreate, when given, is kept as OnCreate and called last.
    explicit TSimpleRSS(TNotifyEvent onCreate = {});
    ~TSimpleRSS();
    TSimpleRSS(const TSimpleRSS&) = delete;
    TSimpleRSS& operator=(const TSimpleRSS&) = delete;

    // Replaced by fresh objects at every parse; references taken before a
    // parse do not see the new model.
    TRSSChannel& Channel() { return *FChannel; }
    const TRSSChannel& Channel() const { return *FChannel; }
    TRSSItems& Items() { return *FItems; }
    const TRSSItems& Items() const { return *FItems; }

    // The root element's "version" attribute of the last parse that had one.
    const std::string& Version() const { return FVersion; }
    void SetVersion(const std::string& value) { FVersion = value; }
    TXMLType XMLType() const { return FXMLType; }
    void SetXMLType(TXMLType value) { FXMLType = value; }

    // The last loaded document, with the elements that the lookups of the
    // last parse appended to it.
    TXMLDocument& XMLFile() { return *FXMLFile; }
    const TXMLDocument& XMLFile() const { return *FXMLFile; }

    // The feed library's version text, "0.4.1".
    static std::string SimpleRSSVersion() { return SimpleRSSVersionText; }

    TNotifyEvent OnCreate;
    // Called after every successful parse.
    TNotifyEvent OnParseXML;
    // Belongs to feed writing; reading never calls it.
    TNotifyEvent OnGenerateXML;
    // When set, each item is handed to it as soon as the format's parser has
    // read it, and then dropped: from Items, and its element's children from
    // the document (the element stays, empty). Where the format allows, an
    // item is read as soon as its end tag is, while the rest of the document
    // is still being parsed. For a reader that needs each item once, such as
    // a list made from a feed of a million entries: the whole tree and the
    // whole model are then never held. What the parse throws is the same;
    // when it throws, what was handed before is to be dropped.
    std::function<void(const TRSSItem& item)> OnItemRead;

    // For the format parsers: appends an item to Items, has read fill it
    // from element, then hands it on as OnItemRead says.
    void ReadItem(const IXMLNode& element, const std::function<void(TRSSItem& item)>& read);

    // Replaces the document with a new, empty one with its default options.
    void ResetDocument();
    // Reads the stream to its end, then ResetDocument, XMLFile().Load and
    // ParseXML. The text of a std::istringstream (or std::stringstream) is
    // taken over instead of copied, so such a stream is empty afterwards;
    // like any other stream it is then at its end, with eofbit and failbit
    // set.
    void LoadFromStream(std::istream& stream);
    // The same for bytes already in memory.
    void LoadFromBytes(std::string_view bytes);
    // Recognises the format of the loaded document and runs its parser over
    // fresh Channel and Items.
    void ParseXML();

private:
    void preReadChannelTexts();
    // With OnItemRead set: what reads each item as its element ends, where
    // the format can tell its items that early (TSimpleParserBase::
    // ReadsAsItem), so even the tree never holds them all.
    TXMLDocument::ElementEnded itemsAsTheyEnd();

    std::unique_ptr<TRSSChannel> FChannel;
    std::unique_ptr<TRSSItems> FItems;
    std::string FVersion = "2.0";
    TXMLType FXMLType = xtRSS;
    std::unique_ptr<TXMLDocument> FXMLFile;
    // What reading an element ahead threw, by element.
    std::map<const void*, std::exception_ptr> FReadAheadErrors;
};

// "xtRDF", "xtRSS", "xtAtom" or "xtiTunes".
const char* XMLTypeName(TXMLType type);

} // namespace zavrio
