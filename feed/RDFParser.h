#pragma once
// TSimpleParserRDF: reads an RDF feed document (RSS 1.0 and its RDF-based
// predecessors, root "rdf:RDF") into the feed model.
//
// In these documents the channel, the items, the image and the text input are
// all children of the root, so the parser walks the root's children once:
// "channel" gives the channel's title, link and description; every "item"
// appends one entry; a root-level "category" appends a channel category; and
// the RSS 2.0 channel vocabulary ("language", "ttl", "image", "textInput",
// "skipHours", ...) is read where it stands beside them. The RDF resource
// attributes and the item sequence inside "channel" are not read.
//
// Failures: markup inside the channel's or an item's title, link,
// description, author or comments ends the parse (EXMLDocError), leaving the
// items read so far, and the failing item as far as it got, in the model. An
// item's dates, enclosure, guid, source and categories are read inside a
// guard: a failure there (an enclosure length that is not a number) only
// skips the rest of that group for that item. Each root-level channel element
// is guarded in the same way on its own.

#include "feed/SimpleParserBase.h"

#include <span>

namespace zavrio {

class TRSSItem;

class TSimpleParserRDF : public TSimpleParserBase {
public:
    using TSimpleParserBase::TSimpleParserBase;

    void Parse() override;
    bool ReadsAsItem(const IXMLNode& element) const override;
    void ReadItemElement(const IXMLNode& element, TRSSItem& item) override {
        readItem(element, item);
    }

private:
    void readChannel(const IXMLNode& channel);
    void readItem(const IXMLNode& node, TRSSItem& item);
    // part: the item's children as readItem found them.
    void readGuardedItemParts(const IXMLNode& node, std::span<const IXMLNode> part, TRSSItem& item);
};

} // namespace zavrio
