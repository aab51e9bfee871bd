#pragma once
// TSimpleParserBase: the base of the format parsers. TSimpleRSS creates one
// parser for one parse and calls Parse, which reads Owner().XMLFile() into
// Owner().Channel() and Owner().Items(); those are fresh when Parse starts.
//
// A parser writes a field only when the document has a value for it (the
// model's setters apply their own limits). The helpers below spell out the
// reading rules the formats share, so that a parser reads like its table:
// - the value of a node is its TextValue, present when not Null (that is,
//   non-empty); a node that is not there has no value;
// - an integer is the value read by FeedStrToInt, and a value that is not a
//   number throws ConvertError;
// - Text of an element holding markup throws EXMLDocError.

#include "feed/XMLNode.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zavrio {

class TSimpleRSS;
class TRSSChannelOpt;
class TRSSItem;

class TSimpleParserBase {
public:
    explicit TSimpleParserBase(TSimpleRSS& owner) : FOwner(owner) {}
    virtual ~TSimpleParserBase() = default;
    TSimpleParserBase(const TSimpleParserBase&) = delete;
    TSimpleParserBase& operator=(const TSimpleParserBase&) = delete;

    virtual void Parse() = 0;

    // Items read while the document is still being parsed, for a feed
    // component that hands each item on as it is read (TSimpleRSS::
    // OnItemRead). element has just ended: its ancestors and their earlier
    // children are there, nothing after it. True when Parse is sure to read
    // element as an item whatever comes after it; ReadItemElement then reads
    // it as Parse would, and Parse passes over it once it is consumed.
    // Formats that cannot tell so early say false and read their items in
    // Parse.
    virtual bool ReadsAsItem(const IXMLNode& element) const {
        (void)element;
        return false;
    }
    virtual void ReadItemElement(const IXMLNode& element, TRSSItem& item) {
        (void)element;
        (void)item;
    }

    TSimpleRSS& Owner() const { return FOwner; }

protected:
    // node.TextValue(), or Null when node is none.
    static XMLValue ValueOf(const IXMLNode& node);
    // The value of element.FindChild(name).
    static XMLValue ChildValue(const IXMLNode& element, std::string_view name);
    // The value of the attribute element.FindAttribute(name) finds (the one
    // AttributeByName would give); Null when there is no such attribute.
    static XMLValue AttributeNodeValue(const IXMLNode& element, std::string_view name);
    // The value of element.AttributeByName(name); a missing attribute is added
    // empty and has no value.
    static XMLValue AddedAttributeValue(const IXMLNode& element, std::string_view name);
    // The value of the element's first child when it has children, else of
    // the element itself (an element's description, which may be written as
    // one text or CDATA node).
    static XMLValue DescriptionValue(const IXMLNode& element);
    // value as a signed 32-bit integer; throws ConvertError.
    static std::int32_t Integer(const std::string& value);

    // One of the attribute readers above; the formats differ in which one
    // reads a "cloud".
    using AttributeReader = XMLValue (*)(const IXMLNode& element, std::string_view name);

    // Calls read(child) for each child (of any node type) of the root's
    // "channel", in document order, as the RSS formats walk it. A channel with
    // neither an "item" nor a "category" child is not walked at all.
    template <typename Read> void WalkRSSChannel(Read read) const {
        IXMLNode channel = readableRSSChannel();
        if (!channel)
            return;
        const int count = channel.ChildCount();
        for (int i = 0; i < count; ++i)
            read(channel.ChildAt(i));
    }

    // element, just ended, is an "item" child of the channel WalkRSSChannel
    // is sure to walk, however the document goes on.
    static bool InWalkedRSSChannel(const IXMLNode& element);

    // A channel-level "category" element: appends a channel category with
    // its text and "domain".
    void ReadChannelCategory(const IXMLNode& node);
    // When name is "title", "link" or "description", sets that channel text
    // from node and gives true; otherwise false and nothing is read.
    bool ReadRequiredChannelText(const IXMLNode& node, const std::string& name);

    // Where the formats part in the RSS 2.0 channel vocabulary.
    struct ChannelVocabulary {
        // RSS: a known "language" clears XLang and one without text leaves it.
        // Otherwise a known language leaves XLang and one without text clears it.
        bool RSSXLang = false;
        // "copyright", "managingEditor", "webMaster", "pubDate",
        // "lastBuildDate", "generator" and "docs" are read.
        bool ChannelTexts = false;
        // How "cloud"'s attributes are read; none: "cloud" is not read.
        AttributeReader CloudAttribute = nullptr;
    };
    // Reads node, an element of the channel vocabulary ("language", "ttl",
    // "image", "rating", "textInput", "skipHours", "skipDays" and what
    // vocabulary adds) into Channel().Optional(); other names are passed
    // over. A failure (markup inside a text, a number that is not one) throws
    // and leaves what was read before it; callers guard each element.
    void ReadChannelVocabulary(const IXMLNode& node, const ChannelVocabulary& vocabulary);

    // An item's "enclosure" (its "url", "length" and "type" attributes) and
    // "source" (its text and "url"); the element must be there. A "length"
    // that is not a number throws ConvertError after the URL was set.
    static void ReadEnclosure(const IXMLNode& enclosure, TRSSItem& item);
    static void ReadSource(const IXMLNode& source, TRSSItem& item);
    // Appends to item's Media every media file the item element names: each
    // "enclosure" child, each Media RSS "content" child (also inside a
    // Media RSS "group" child) and each "link" child with rel="enclosure",
    // that has an address. Adds nothing to the document and never fails.
    static void ReadItemMedia(const IXMLNode& node, TRSSItem& item);
    // Appends a category for each child of node whose local name is
    // "category", or "subject" too when withSubjects, in document order.
    static void ReadItemCategories(const IXMLNode& node, TRSSItem& item, bool withSubjects);
    // An item's "guid" element (which must be there): its text and
    // "isPermaLink" ("true" or not), and the GUID marked as included. With
    // textRequired a guid without text reads as absent, whatever its
    // attribute says.
    static void ReadGUID(const IXMLNode& guid, TRSSItem& item, bool textRequired);

private:
    using VocabularyReader = void (TSimpleParserBase::*)(const IXMLNode& node,
                                                         const ChannelVocabulary& vocabulary);
    static const VocabularyReader* vocabularyReader(std::string_view name);
    void readLanguage(const IXMLNode& node, const ChannelVocabulary& vocabulary);
    void readTTL(const IXMLNode& node, const ChannelVocabulary& vocabulary);
    void readImage(const IXMLNode& node, const ChannelVocabulary& vocabulary);
    void readRating(const IXMLNode& node, const ChannelVocabulary& vocabulary);
    void readTextInput(const IXMLNode& node, const ChannelVocabulary& vocabulary);
    void readSkipHours(const IXMLNode& node, const ChannelVocabulary& vocabulary);
    void readSkipDays(const IXMLNode& node, const ChannelVocabulary& vocabulary);
    void readCloud(const IXMLNode& node, const ChannelVocabulary& vocabulary);

    IXMLNode readableRSSChannel() const;

    TSimpleRSS& FOwner;
};

} // namespace zavrio
