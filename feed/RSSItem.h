#pragma once
// One feed entry (TRSSItem) with its parts, and the entry collection
// (TRSSItems). Keyed setters store only a text that differs from the stored
// one; "with presence flag" means they also record whether it is non-empty.
// Text setters take their value by value: a parser hands over the text it has
// just read, and a feed has thousands of entries.
// An item owns all its parts by value; the collection owns its items.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "feed/ContentType.h"
#include "feed/OwnedCollection.h"
#include "feed/RFC822DateTime.h"
#include "feed/iTunesExtra.h"

namespace zavrio {

class TSimpleRSS;

class TRSSAuthor {
public:
    const std::string& Name() const { return FName; }
    void SetName(std::string value) { FName = std::move(value); }
    const std::string& EMail() const { return FEMail; }
    void SetEMail(std::string value) { FEMail = std::move(value); }
    const std::string& URL() const { return FURL; }
    void SetURL(std::string value) { FURL = std::move(value); }

private:
    std::string FName;
    std::string FEMail;
    std::string FURL;
};

class TRSSItemEnclosure {
public:
    // Size in octets.
    int Length() const { return FLength; }
    void SetLength(int value) { FLength = value; }
    // The media type.
    const std::string& EnclosureType() const { return FEnclosureType; }
    void SetEnclosureType(std::string value) { FEnclosureType = std::move(value); }
    const std::string& URL() const { return FURL; }
    void SetURL(std::string value) { FURL = std::move(value); }
    bool Include() const { return FInclude; }
    void SetInclude(bool value) { FInclude = value; }

private:
    std::string FEnclosureType;
    std::string FURL;
    int FLength = 0;
    bool FInclude = false;
};

// Where an entry names one of its media files.
enum TMediaSource {
    msEnclosure,     // an "enclosure": its "url" and "type"
    msMediaContent,  // a Media RSS "media:content", also inside "media:group": "url",
                     // "type" and "medium"
    msAtomEnclosure, // a "link" with rel="enclosure": its "href" and "type"
};

// One media file an entry names; texts the document leaves out are "".
struct TRSSItemMedia {
    TMediaSource Source = msEnclosure;
    std::string URL;
    std::string MediaType;
    std::string Medium; // media:content's kind: "video", "audio", "image", ...
};

class TRSSItemCategory {
public:
    const std::string& Title() const { return FTitle; }
    void SetTitle(std::string value) { FTitle = std::move(value); }
    const std::string& Domain() const { return FDomain; }
    void SetDomain(std::string value); // keyed, with presence flag
    bool DomainPresent() const { return FDomainPresent; }

private:
    std::string FTitle;
    bool FDomainPresent = false;
    std::string FDomain;
};

class TRSSItem;

class TRSSItemCategories : public TOwnedCollection<TRSSItemCategory, TRSSItem> {
public:
    using TOwnedCollection::TOwnedCollection;
};

// A new version-4 UUID in registry form: 38 characters, upper-case hex in
// 8-4-4-4-12 groups, in braces.
std::string NewGUIDText();

class TRSSItemGUID {
public:
    // GUID starts as a fresh NewGUIDText(); a parsed guid overwrites it.
    // The text is drawn when GUID is first read without one having been set:
    // most entries bring a guid of their own, and a feed has thousands of
    // entries.
    // Like the rest of the model, one item is read by one thread at a time.
    TRSSItemGUID() = default;

    bool IsPermaLink() const { return FIsPermaLink; }
    void SetIsPermaLink(bool value) { FIsPermaLink = value; }
    const std::string& GUID() const;
    void SetGUID(std::string value) {
        FGUID = std::move(value);
        FHasGUID = true;
    }
    bool Include() const { return FInclude; }
    void SetInclude(bool value) { FInclude = value; }

private:
    mutable std::string FGUID;
    mutable bool FHasGUID = false;
    bool FIsPermaLink = false;
    bool FInclude = false;
};

class TRSSItemSource {
public:
    const std::string& URL() const { return FURL; }
    void SetURL(std::string value); // keyed
    const std::string& Title() const { return FTitle; }
    void SetTitle(std::string value) { FTitle = std::move(value); }
    bool Include() const { return FInclude; }
    void SetInclude(bool value) { FInclude = value; }

private:
    std::string FURL;
    std::string FTitle;
    bool FInclude = false;
};

// One feed entry. Beside each part: where it comes from in RSS 2.0 / RDF
// (RSS 1.0) / Atom; the podcast format reads the RSS elements, and its own
// under iTunes().
class TRSSItem {
public:
    TRSSItem();
    TRSSItem(const TRSSItem&) = delete;
    TRSSItem& operator=(const TRSSItem&) = delete;

    // "comments" / "comments" / "comments".
    const std::string& Comments() const { return FComments; }
    void SetComments(std::string value); // keyed, with presence flag
    // "author" (the name) / "author" (the name) / "author": "name", "email", "url".
    TRSSAuthor& Author() { return FAuthor; }
    const TRSSAuthor& Author() const { return FAuthor; }
    // The clip address the windows play. "link" / "link" / "link"'s "href".
    const std::string& Link() const { return FLink; }
    void SetLink(std::string value); // keyed, with presence flag
    // May hold HTML. "description", else "content:encoded", else "content" /
    // "description" / "content", else "summary" (base64 decoded for mode="base64").
    const std::string& Description() const { return FDescription; }
    void SetDescription(std::string value); // keyed, with presence flag
    // "title" / "title" / "title".
    const std::string& Title() const { return FTitle; }
    void SetTitle(std::string value); // keyed, with presence flag
    // "pubDate" (RFC 822) over "dc:date" (ISO 8601) / the same / "pubDate"
    // over "modified".
    TRFC822DateTime& PubDate() { return FPubDate; }
    const TRFC822DateTime& PubDate() const { return FPubDate; }
    // "enclosure"'s "url", "length", "type", in all three.
    TRSSItemEnclosure& Enclosure() { return FEnclosure; }
    const TRSSItemEnclosure& Enclosure() const { return FEnclosure; }
    // Every media file the entry names, in document order, in all formats:
    // each "enclosure", Media RSS "media:content" (in or outside
    // "media:group") and "link" with rel="enclosure" that has an address.
    // Read beside the fields above, changing none of them.
    const std::vector<TRSSItemMedia>& Media() const { return FMedia; }
    void AddMedia(TRSSItemMedia media) { FMedia.push_back(std::move(media)); }
    // "guid" and its "isPermaLink" / "guid" (only with text) / "id".
    TRSSItemGUID& GUID() { return FGUID; }
    const TRSSItemGUID& GUID() const { return FGUID; }
    // "source": its text and "url", in all three.
    TRSSItemSource& Source() { return FSource; }
    const TRSSItemSource& Source() const { return FSource; }
    // Every "category" / every "category" and "dc:subject" / every "category".
    TRSSItemCategories& Categories() { return FCategories; }
    const TRSSItemCategories& Categories() const { return FCategories; }
    TContentType ContentType() const { return FContentType; }
    void SetContentType(TContentType value) { FContentType = value; }
    // The podcast fields exist once something asks to change them; until
    // then the item reads as having the default ones. Most feeds have none,
    // and the extra is a third of an item's size.
    TiTunesItemExtra& iTunes();
    const TiTunesItemExtra& iTunes() const;

    bool CommentsPresent() const { return FCommentsPresent; }
    bool TitlePresent() const { return FTitlePresent; }
    bool LinkPresent() const { return FLinkPresent; }
    bool DescriptionPresent() const { return FDescriptionPresent; }

private:
    std::string FComments;
    TRSSAuthor FAuthor;
    std::string FLink;
    std::string FDescription;
    std::string FTitle;
    TRFC822DateTime FPubDate;
    TRSSItemEnclosure FEnclosure;
    std::vector<TRSSItemMedia> FMedia;
    TRSSItemGUID FGUID;
    TRSSItemSource FSource;
    TRSSItemCategories FCategories;
    TContentType FContentType = ctText;
    bool FCommentsPresent = false;
    bool FTitlePresent = false;
    bool FLinkPresent = false;
    bool FDescriptionPresent = false;
    std::unique_ptr<TiTunesItemExtra> FiTunes;
};

// The entries of a feed in document order; owned by the feed component.
class TRSSItems : public TOwnedCollection<TRSSItem, TSimpleRSS> {
public:
    using TOwnedCollection::TOwnedCollection;
};

} // namespace zavrio
