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

void TSimpleParseriTunes::Parse() {
    Owner().Channel().iTunes().SetBlock(false);
    WalkRSSChannel([this](const IXMLNode& node) {
        if (node.NodeType() == ntElement)
            readChannelChild(node);
    });
}

void TSimpleParseriTunes::readChannelChild(const IXMLNode& node) {
    const std::string name = node.NodeName();
    TRSSChannel& channel = Owner().Channel();
    TRSSChannelOpt& optional = channel.Optional();
    TiTunesChannelExtra& iTunes = channel.iTunes();
    if (name == "category") {
        TRSSChannelCategory& category = optional.Categories().Add();
        category.SetCategory(TextOf(node));
        if (node.FindAttribute("domain"))
            category.SetDomain(TextOf(node.AttributeByName("domain")));
    } else if (name == "item") {
        readItem(node, Owner().Items().Add());
    } else if (name == "title") {
        channel.Required().SetTitle(TextOf(node));
    } else if (name == "link") {
        channel.Required().SetLink(TextOf(node));
    } else if (name == "description") {
        channel.Required().SetDesc(TextOf(node));
    } else if (name == "language") {
        const std::string code = TextOf(node);
        optional.SetLanguage(LanguageFromCode(code));
        optional.SetXLang(optional.Language() == langX ? code : "");
    } else if (name == "copyright") {
        optional.SetCopyright(TextOf(node));
    } else if (name == "managingEditor") {
        optional.SetManagingEditor(TextOf(node));
    } else if (name == "webMaster") {
        optional.SetWebMaster(TextOf(node));
    } else if (name == "pubDate") {
        optional.PubDate().LoadFromRFC822(TextOf(node));
    } else if (name == "lastBuildDate") {
        optional.LastBuildDate().LoadFromRFC822(TextOf(node));
    } else if (name == "generator") {
        optional.SetGenerator(TextOf(node));
    } else if (name == "docs") {
        optional.SetDocs(TextOf(node));
    } else if (name == "itunes:block") {
        iTunes.SetBlock(true);
    } else if (name == "itunes:category") {
        readCategory(node, iTunes.Category());
    } else if (name == "itunes:explicit") {
        iTunes.SetExplict(node.TextValue() == "yes");
    } else if (name == "itunes:keywords") {
        iTunes.SetKeyWordsText(TextOf(node));
    } else if (name == "itunes:owner") {
        iTunes.Owner().SetName(TextOf(node.ChildByName("itunes:name")));
        iTunes.Owner().SetEmailAddress(TextOf(node.ChildByName("itunes:email")));
    } else if (name == "itunes:subtitle") {
        iTunes.SetSubtitle(TextOf(node));
    } else if (name == "itunes:summary") {
        iTunes.SetSummary(TextOf(node));
    } else if (name == "itunes:image") {
        iTunes.SetImage(TextOf(node));
    } else if (name == "cloud") {
        TRSSCloud& cloud = optional.Cloud();
        cloud.SetInclude(node.AttributeCount() > 0);
        if (cloud.Include()) {
            cloud.SetDomain(TextOf(node.AttributeByName("domain")));
            cloud.SetPort(IntegerOf(node.AttributeByName("port")));
            cloud.SetPath(TextOf(node.AttributeByName("path")));
            cloud.SetRegisterProcedure(TextOf(node.AttributeByName("registerProcedure")));
            cloud.SetProtocol(TextOf(node.AttributeByName("protocol")));
        }
    } else if (name == "ttl") {
        optional.SetTTL(IntegerOf(node));
    } else if (name == "image") {
        for (const char* part : {"url", "title", "link"})
            requireChild(node, "image", part);
        TRSSImage& image = optional.Image();
        image.SetInclude(node.ChildCount() > 0);
        image.Required().SetURL(TextOf(node.FindChild("url")));
        image.Required().SetTitle(TextOf(node.FindChild("title")));
        image.Required().SetLink(TextOf(node.FindChild("link")));
        if (IXMLNode description = node.FindChild("description"))
            image.Optional().SetDescription(TextOf(description));
        if (IXMLNode width = node.FindChild("width"))
            image.Optional().SetWidth(IntegerOf(width));
        if (IXMLNode height = node.FindChild("height"))
            image.Optional().SetHeight(IntegerOf(height));
    } else if (name == "rating") {
        optional.SetRating(TextOf(node));
    } else if (name == "textInput") {
        for (const char* part : {"title", "description", "name", "link"})
            requireChild(node, "textInput", part);
        TRSSTextInput& input = optional.TextInput();
        input.SetInclude(node.ChildCount() > 0);
        input.SetTitle(TextOf(node.FindChild("title")));
        input.SetDescription(TextOf(node.FindChild("description")));
        input.SetLink(TextOf(node.FindChild("link")));
        input.SetTextInputName(TextOf(node.FindChild("name")));
    } else if (name == "skipHours") {
        ReadSkipHours(node, Owner());
    } else if (name == "skipDays") {
        ReadSkipDays(node, Owner());
    }
}

void TSimpleParseriTunes::readItem(const IXMLNode& node, TRSSItem& item) {
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
