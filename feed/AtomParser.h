#pragma once
// TSimpleParserAtom: reads an Atom document (root "feed") into the feed model.
//
// The Atom 0.3 vocabulary is read ("tagline", "modified", "content" with its
// "mode", "url" inside "author"), and beside it the RSS 2.0 words an entry or
// a feed may carry ("comments", "enclosure", "pubDate", "source", "category",
// "language", "ttl", "image", "rating", "textInput", "skipHours",
// "skipDays"). Atom 1.0 documents are read as far as their names agree: an
// entry's link is the "href" of its first "link" child, its description the
// text of "content" (or of "summary" when there is no "content").
//
// When the root has a "head" child, everything is read from inside "head"
// (entries beside it are not seen); otherwise from the root itself.
//
// Failures: markup inside the feed's or an entry's title, content, summary,
// author parts or comments ends the parse (EXMLDocError), as does "base64"
// content whose length is not a multiple of four (ConvertError); the entries
// read so far, and the failing entry as far as it got, stay in the model. An
// entry's dates, enclosure, id, source and categories are read inside a
// guard, as is each channel element of the RSS 2.0 vocabulary: a failure
// there only skips the rest of that group.

#include "feed/SimpleParserBase.h"

#include <span>

namespace zavrio {

class TRSSItem;

class TSimpleParserAtom : public TSimpleParserBase {
public:
    using TSimpleParserBase::TSimpleParserBase;

    void Parse() override;

private:
    void readFeedLevel(const IXMLNode& node);
    void readEntry(const IXMLNode& node, TRSSItem& item);
    // part: the entry's children as readEntry found them.
    void readGuardedEntryParts(const IXMLNode& node, std::span<const IXMLNode> part,
                               TRSSItem& item);
};

} // namespace zavrio
