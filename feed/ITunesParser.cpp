#include "feed/ITunesParser.h"

#include "feed/ParseHelpers.h"
#include "feed/SimpleRSS.h"
#include "feed/SimpleRSSException.h"

namespace zavrio {

namespace {

const char* const NullToString = "Could not convert variant of type (Null) into type (String)";
const char* const NullToInteger = "Could not convert variant of type (Null) into type (Integer)";

std::string requiredFieldMessage(const char* parent, const char* field) {
    return std::string("Required Field Missing. Field: ") + parent + " -> " + field;
}

} // namespace

std::string TSimpleParseriTunes::TextOf(const IXMLNode& node) {
    XMLValue value = node.TextValue();
    if (!value)
        throw EVariantTypeCastError(NullToString);
    return *value;
}

int TSimpleParseriTunes::IntegerOf(const IXMLNode& node) {
    XMLValue value = node.TextValue();
    if (!value)
        throw EVariantTypeCastError(NullToInteger);
    return Integer(*value);
}

std::string TSimpleParseriTunes::DescriptionText(const IXMLNode& element) {
    if (element.ChildCount() > 0)
        return TextOf(element.ChildAt(0));
    return TextOf(element);
}

// The writing side keeps the name in the attribute "text" and a subcategory as
// one nested "itunes:category" with its own "text".
void TSimpleParseriTunes::readCategory(const IXMLNode& element, TiTunesCategory& category) {
    category.SetCategory(element.AttributeValue("text").value_or(""));
    if (element.ChildCount() != 1)
        return;
    IXMLNode sub = element.ChildAt(0);
    if (sub.NodeType() == ntElement && sub.NodeName() == "itunes:category")
        category.SetSubCategory(sub.AttributeValue("text").value_or(""));
}

void TSimpleParseriTunes::requireChild(const IXMLNode& element, const char* parent,
                                       const char* name) {
    if (!element.FindChild(name))
        throw ESimpleRSSException(requiredFieldMessage(parent, name));
}

void TSimpleParseriTunes::requireAttribute(const IXMLNode& element, const char* parent,
                                           const char* name) {
    if (!element.FindAttribute(name))
        throw ESimpleRSSException(requiredFieldMessage(parent, name));
}

bool TSimpleParseriTunes::ReadsAsItem(const IXMLNode& element) const {
    return InWalkedRSSChannel(element);
}

void TSimpleParseriTunes::Parse() {
    Owner().Channel().iTunes().SetBlock(false);
    WalkRSSChannel([this](const IXMLNode& node) {
        if (node.NodeType() == ntElement)
            readChannelChild(node);
    });
}

void TSimpleParseriTunes::readChannelChild(const IXMLNode& node) {
    // One reader per channel element; a name missing here is passed over.
    using Reader = void (*)(TSimpleParseriTunes & parser, const IXMLNode& node);
    struct Entry {
        std::string_view name;
        Reader read;
    };
    static constexpr Entry Readers[] = {
        {"category",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             TRSSChannelCategory& category = p.Owner().Channel().Optional().Categories().Add();
             category.SetCategory(TextOf(n));
             if (n.FindAttribute("domain"))
                 category.SetDomain(TextOf(n.AttributeByName("domain")));
         }},
        {"item",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().ReadItem(n, [&](TRSSItem& item) { p.readItem(n, item); });
         }},
        {"title", [](TSimpleParseriTunes& p,
                     const IXMLNode& n) { p.Owner().Channel().Required().SetTitle(TextOf(n)); }},
        {"link", [](TSimpleParseriTunes& p,
                    const IXMLNode& n) { p.Owner().Channel().Required().SetLink(TextOf(n)); }},
        {"description",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().Required().SetDesc(TextOf(n));
         }},
        {"language",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             TRSSChannelOpt& optional = p.Owner().Channel().Optional();
             const std::string code = TextOf(n);
             optional.SetLanguage(LanguageFromCode(code));
             optional.SetXLang(optional.Language() == langX ? code : "");
         }},
        {"copyright",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().Optional().SetCopyright(TextOf(n));
         }},
        {"managingEditor",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().Optional().SetManagingEditor(TextOf(n));
         }},
        {"webMaster",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().Optional().SetWebMaster(TextOf(n));
         }},
        {"pubDate",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().Optional().PubDate().LoadFromRFC822(TextOf(n));
         }},
        {"lastBuildDate",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().Optional().LastBuildDate().LoadFromRFC822(TextOf(n));
         }},
        {"generator",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().Optional().SetGenerator(TextOf(n));
         }},
        {"docs", [](TSimpleParseriTunes& p,
                    const IXMLNode& n) { p.Owner().Channel().Optional().SetDocs(TextOf(n)); }},
        {"itunes:block", [](TSimpleParseriTunes& p,
                            const IXMLNode&) { p.Owner().Channel().iTunes().SetBlock(true); }},
        {"itunes:category",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.readCategory(n, p.Owner().Channel().iTunes().Category());
         }},
        {"itunes:explicit",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().iTunes().SetExplict(n.TextValue() == "yes");
         }},
        {"itunes:keywords",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().iTunes().SetKeyWordsText(TextOf(n));
         }},
        {"itunes:owner",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             TiTunesChannelExtra& iTunes = p.Owner().Channel().iTunes();
             iTunes.Owner().SetName(TextOf(n.ChildByName("itunes:name")));
             iTunes.Owner().SetEmailAddress(TextOf(n.ChildByName("itunes:email")));
         }},
        {"itunes:subtitle",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().iTunes().SetSubtitle(TextOf(n));
         }},
        {"itunes:summary",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().iTunes().SetSummary(TextOf(n));
         }},
        {"itunes:image",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             p.Owner().Channel().iTunes().SetImage(TextOf(n));
         }},
        {"cloud",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             TRSSCloud& cloud = p.Owner().Channel().Optional().Cloud();
             cloud.SetInclude(n.AttributeCount() > 0);
             if (!cloud.Include())
                 return;
             cloud.SetDomain(TextOf(n.AttributeByName("domain")));
             cloud.SetPort(IntegerOf(n.AttributeByName("port")));
             cloud.SetPath(TextOf(n.AttributeByName("path")));
             cloud.SetRegisterProcedure(TextOf(n.AttributeByName("registerProcedure")));
             cloud.SetProtocol(TextOf(n.AttributeByName("protocol")));
         }},
        {"ttl", [](TSimpleParseriTunes& p,
                   const IXMLNode& n) { p.Owner().Channel().Optional().SetTTL(IntegerOf(n)); }},
        {"image",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             for (const char* part : {"url", "title", "link"})
                 requireChild(n, "image", part);
             TRSSImage& image = p.Owner().Channel().Optional().Image();
             image.SetInclude(n.ChildCount() > 0);
             image.Required().SetURL(TextOf(n.FindChild("url")));
             image.Required().SetTitle(TextOf(n.FindChild("title")));
             image.Required().SetLink(TextOf(n.FindChild("link")));
             if (IXMLNode description = n.FindChild("description"))
                 image.Optional().SetDescription(TextOf(description));
             if (IXMLNode width = n.FindChild("width"))
                 image.Optional().SetWidth(IntegerOf(width));
             if (IXMLNode height = n.FindChild("height"))
                 image.Optional().SetHeight(IntegerOf(height));
         }},
        {"rating", [](TSimpleParseriTunes& p,
                      const IXMLNode& n) { p.Owner().Channel().Optional().SetRating(TextOf(n)); }},
        {"textInput",
         [](TSimpleParseriTunes& p, const IXMLNode& n) {
             for (const char* part : {"title", "description", "name", "link"})
                 requireChild(n, "textInput", part);
             TRSSTextInput& input = p.Owner().Channel().Optional().TextInput();
             input.SetInclude(n.ChildCount() > 0);
             input.SetTitle(TextOf(n.FindChild("title")));
             input.SetDescription(TextOf(n.FindChild("description")));
             input.SetLink(TextOf(n.FindChild("link")));
             input.SetTextInputName(TextOf(n.FindChild("name")));
         }},
        {"skipHours",
         [](TSimpleParseriTunes& p, const IXMLNode& n) { ReadSkipHours(n, p.Owner()); }},
        {"skipDays", [](TSimpleParseriTunes& p, const IXMLNode& n) { ReadSkipDays(n, p.Owner()); }},
    };
    const std::string name = node.NodeName();
    for (const Entry& entry : Readers) {
        if (entry.name == name) {
            entry.read(*this, node);
            return;
        }
    }
}

void TSimpleParseriTunes::readItem(const IXMLNode& node, TRSSItem& item) {
    ReadItemMedia(node, item);
    item.iTunes().SetBlock(false);
    if (!node.FindChild("title") && !node.FindChild("description"))
        throw ESimpleRSSException(requiredFieldMessage("item", "title"));
    if (IXMLNode title = node.FindChild("title"))
        item.SetTitle(TextOf(title));
    if (IXMLNode link = node.FindChild("link"))
        item.SetLink(TextOf(link));

    TiTunesItemExtra& iTunes = item.iTunes();
    if (IXMLNode author = node.FindChild("itunes:author"))
        iTunes.SetAuthor(TextOf(author));
    if (node.FindChild("itunes:block"))
        iTunes.SetBlock(true);
    if (IXMLNode category = node.FindChild("itunes:category"))
        readCategory(category, iTunes.Category());
    if (IXMLNode explicitNode = node.FindChild("itunes:explicit"))
        iTunes.SetExplict(explicitNode.TextValue() == "yes");
    if (IXMLNode keywords = node.FindChild("itunes:keywords"))
        iTunes.SetKeyWordsText(TextOf(keywords));
    if (IXMLNode subtitle = node.FindChild("itunes:subtitle"))
        iTunes.SetSubtitle(TextOf(subtitle));
    if (IXMLNode summary = node.FindChild("itunes:summary"))
        iTunes.SetSummary(TextOf(summary));

    // Later sources win: "description" over "content:encoded" over "content".
    for (const char* source : {"content", "content:encoded", "description"})
        if (IXMLNode element = node.FindChild(source))
            item.SetDescription(DescriptionText(element));
    if (IXMLNode author = node.FindChild("author"))
        item.Author().SetName(TextOf(author));
    if (IXMLNode comments = node.FindChild("comments"))
        item.SetComments(TextOf(comments));
    if (IXMLNode date = node.FindChild("dc:date"))
        item.PubDate().LoadFromISO8601(TextOf(date));

    if (IXMLNode enclosure = node.FindChild("enclosure")) {
        for (const char* part : {"url", "length", "type"})
            requireAttribute(enclosure, "enclosure", part);
        item.Enclosure().SetURL(TextOf(enclosure.AttributeByName("url")));
        item.Enclosure().SetLength(IntegerOf(enclosure.AttributeByName("length")));
        item.Enclosure().SetEnclosureType(TextOf(enclosure.AttributeByName("type")));
        item.Enclosure().SetInclude(true);
    }
    if (IXMLNode guid = node.FindChild("guid")) {
        item.GUID().SetInclude(true);
        item.GUID().SetGUID(TextOf(guid));
        // Without the attribute a guid is a permalink; an empty value is not.
        if (guid.FindAttribute("isPermaLink"))
            item.GUID().SetIsPermaLink(guid.AttributeByName("isPermaLink").TextValue() == "true");
        else
            item.GUID().SetIsPermaLink(true);
    }
    if (IXMLNode date = node.FindChild("pubDate"))
        item.PubDate().LoadFromRFC822(TextOf(date));
    if (IXMLNode source = node.FindChild("source")) {
        requireAttribute(source, "source", "url");
        item.Source().SetInclude(true);
        item.Source().SetTitle(TextOf(source));
        item.Source().SetURL(TextOf(source.AttributeByName("url")));
    }

    const int count = node.ChildCount();
    for (int i = 0; i < count; ++i) {
        IXMLNode child = node.ChildAt(i);
        // An "itunes:category" was read above into iTunes.Category; it holds
        // its name in an attribute, so reading its text would fail the parse
        // for every podcast that uses it.
        if (child.LocalName() != "category" || child.NodeName() == "itunes:category")
            continue;
        TRSSItemCategory& category = item.Categories().Add();
        category.SetTitle(TextOf(child));
        if (child.FindAttribute("domain"))
            category.SetDomain(TextOf(child.AttributeByName("domain")));
    }
}

} // namespace zavrio
