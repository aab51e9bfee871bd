#pragma once
// The feed catalogue as OPML 2.0, the outline format feed readers exchange
// their subscriptions in.
//
// WriteOpml gives a whole document: one <outline type="rss" text=NAME
// title=NAME xmlUrl=ADDRESS/> per feed in catalogue order. The settings file
// holds any bytes, XML does not: a byte sequence that is not UTF-8 is written
// as U+FFFD and a control character XML cannot carry is left out.
//
// ReadOpml lists every <outline> with a non-empty xmlUrl in document order,
// nested ones included, named by their text attribute (else title, else the
// address). It parses with the feed library's XML layer, so a hostile file
// cannot reach the network or the disk. A document that does not parse or
// whose root element is not <opml> throws OpmlError naming the source.

#include "settings/CatalogueEditor.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zavrio {

class OpmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string WriteOpml(const std::vector<FeedEntry>& feeds);

// source names the document in error texts (a file path).
std::vector<FeedEntry> ReadOpml(std::string_view bytes, const std::string& source);

// What ImportFeeds did with each outline.
struct ImportResult {
    std::vector<FeedEntry> Added;
    // The outline and why it was left out.
    std::vector<std::pair<FeedEntry, std::string>> Skipped;
};

// Adds outlines to the catalogue in order, each written at once. An address
// already in the catalogue (or earlier in outlines) is skipped; a name is made
// one the catalogue can hold (the characters it cannot keep become spaces, an
// empty name becomes the address) and unique by appending " (2)", " (3)"...;
// an outline the editor still refuses (an address that is not http or https)
// is skipped with the editor's reason. A failed write throws FileCreateError.
ImportResult ImportFeeds(CatalogueEditor& editor, const std::vector<FeedEntry>& outlines);

} // namespace zavrio
