#include "feed/SimpleParserBase.h"

#include "feed/IntegerText.h"
#include "feed/ParseHelpers.h"
#include "feed/SimpleRSS.h"

#include <utility>

namespace zavrio {

XMLValue TSimpleParserBase::ValueOf(const IXMLNode& node) {
    if (!node)
        return std::nullopt;
    return node.TextValue();
}

XMLValue TSimpleParserBase::ChildValue(const IXMLNode& element, std::string_view name) {
    return ValueOf(element.FindChild(name));
}

XMLValue TSimpleParserBase::AttributeNodeValue(const IXMLNode& element, std::string_view name) {
    IXMLNode attribute = element.FindAttribute(name);
    if (!attribute)
        return std::nullopt;
    return attribute.TextValue();
}

XMLValue TSimpleParserBase::AddedAttributeValue(const IXMLNode& element, std::string_view name) {
    return element.AttributeByName(name).TextValue();
}

XMLValue TSimpleParserBase::DescriptionValue(const IXMLNode& element) {
    if (!element)
        return std::nullopt;
    if (element.ChildCount() > 0)
        return element.ChildAt(0).TextValue();
    return element.TextValue();
}

std::int32_t TSimpleParserBase::Integer(const std::string& value) {
    return FeedStrToInt(value);
}

IXMLNode TSimpleParserBase::readableRSSChannel() const {
    IXMLNode channel = Owner().XMLFile().DocumentElement().ChildByName("channel");
    if (!channel.FindChild("item") && !channel.FindChild("category"))
        return {};
    return channel;
}

bool TSimpleParserBase::InWalkedRSSChannel(const IXMLNode& element) {
    if (element.NodeType() != ntElement || element.NodeName() != "item")
        return false;
    const IXMLNode channel = element.ParentNode();
    const IXMLNode root = channel ? channel.ParentNode() : IXMLNode();
    // The first "channel" stays the first, and a channel that has an item or
    // a category keeps it, whatever follows (readableRSSChannel).
    return root && !root.ParentNode() && root.FindChild("channel") == channel &&
           (channel.FindChild("item") || channel.FindChild("category"));
}

void TSimpleParserBase::ReadChannelCategory(const IXMLNode& node) {
    TRSSChannelCategory& category = Owner().Channel().Optional().Categories().Add();
    if (auto value = ValueOf(node))
        category.SetCategory(*value);
    if (auto domain = AttributeNodeValue(node, "domain"))
        category.SetDomain(*domain);
}

namespace {

// Name -> reader tables: a node is read by the one entry of its name.
template <typename Reader> struct NamedReader {
    std::string_view name;
    Reader read;
};

template <typename Reader, std::size_t N>
const Reader* readerFor(const NamedReader<Reader> (&table)[N], std::string_view name) {
    for (const NamedReader<Reader>& entry : table)
        if (entry.name == name)
            return &entry.read;
    return nullptr;
}

using RequiredSetter = void (TRSSChannelReq::*)(const std::string&);
constexpr NamedReader<RequiredSetter> RequiredTexts[] = {
    {"title", &TRSSChannelReq::SetTitle},
    {"link", &TRSSChannelReq::SetLink},
    {"description", &TRSSChannelReq::SetDesc},
};

using ChannelTextReader = void (*)(TRSSChannelOpt& optional, std::string value);
constexpr NamedReader<ChannelTextReader> ChannelTexts[] = {
    {"copyright", [](TRSSChannelOpt& o, std::string v) { o.SetCopyright(std::move(v)); }},
    {"managingEditor", [](TRSSChannelOpt& o, std::string v) { o.SetManagingEditor(std::move(v)); }},
    {"webMaster", [](TRSSChannelOpt& o, std::string v) { o.SetWebMaster(std::move(v)); }},
    {"pubDate", [](TRSSChannelOpt& o, std::string v) { o.PubDate().LoadFromRFC822(v); }},
    {"lastBuildDate",
     [](TRSSChannelOpt& o, std::string v) { o.LastBuildDate().LoadFromRFC822(v); }},
    {"generator", [](TRSSChannelOpt& o, std::string v) { o.SetGenerator(std::move(v)); }},
    {"docs", [](TRSSChannelOpt& o, std::string v) { o.SetDocs(std::move(v)); }},
};

} // namespace

bool TSimpleParserBase::ReadRequiredChannelText(const IXMLNode& node, const std::string& name) {
    const RequiredSetter* set = readerFor(RequiredTexts, name);
    if (!set)
        return false;
    if (auto value = ValueOf(node))
        (Owner().Channel().Required().*(*set))(*value);
    return true;
}

// The channel vocabulary's elements, each read by a member of its own.
const TSimpleParserBase::VocabularyReader*
TSimpleParserBase::vocabularyReader(std::string_view name) {
    static constexpr NamedReader<VocabularyReader> Vocabulary[] = {
        {"language", &TSimpleParserBase::readLanguage},
        {"ttl", &TSimpleParserBase::readTTL},
        {"image", &TSimpleParserBase::readImage},
        {"rating", &TSimpleParserBase::readRating},
        {"textInput", &TSimpleParserBase::readTextInput},
        {"skipHours", &TSimpleParserBase::readSkipHours},
        {"skipDays", &TSimpleParserBase::readSkipDays},
        {"cloud", &TSimpleParserBase::readCloud},
    };
    return readerFor(Vocabulary, name);
}

void TSimpleParserBase::ReadChannelVocabulary(const IXMLNode& node,
                                              const ChannelVocabulary& vocabulary) {
    const std::string name = node.NodeName();
    if (const VocabularyReader* read = vocabularyReader(name)) {
        (this->*(*read))(node, vocabulary);
        return;
    }
    if (!vocabulary.ChannelTexts)
        return;
    if (const ChannelTextReader* read = readerFor(ChannelTexts, name))
        if (auto value = ValueOf(node))
            (*read)(Owner().Channel().Optional(), std::move(*value));
}

void TSimpleParserBase::readLanguage(const IXMLNode& node, const ChannelVocabulary& vocabulary) {
    TRSSChannelOpt& optional = Owner().Channel().Optional();
    auto code = ValueOf(node);
    if (code)
        optional.SetLanguage(LanguageFromCode(*code));
    if (vocabulary.RSSXLang) {
        if (optional.Language() != langX)
            optional.SetXLang("");
        else if (code)
            optional.SetXLang(*code);
    } else if (optional.Language() == langX) {
        optional.SetXLang(code.value_or(""));
    }
}

void TSimpleParserBase::readTTL(const IXMLNode& node, const ChannelVocabulary&) {
    if (auto value = ValueOf(node))
        Owner().Channel().Optional().SetTTL(Integer(*value));
}

void TSimpleParserBase::readImage(const IXMLNode& node, const ChannelVocabulary&) {
    TRSSImage& image = Owner().Channel().Optional().Image();
    image.SetInclude(node.ChildCount() > 0);
    if (!image.Include())
        return;
    if (auto value = ChildValue(node, "url"))
        image.Required().SetURL(*value);
    if (auto value = ChildValue(node, "title"))
        image.Required().SetTitle(*value);
    if (auto value = ChildValue(node, "link"))
        image.Required().SetLink(*value);
    if (auto value = ChildValue(node, "description"))
        image.Optional().SetDescription(*value);
    if (auto value = ChildValue(node, "width"))
        image.Optional().SetWidth(Integer(*value));
    if (auto value = ChildValue(node, "height"))
        image.Optional().SetHeight(Integer(*value));
}

void TSimpleParserBase::readRating(const IXMLNode& node, const ChannelVocabulary&) {
    if (auto value = ValueOf(node))
        Owner().Channel().Optional().SetRating(*value);
}

void TSimpleParserBase::readTextInput(const IXMLNode& node, const ChannelVocabulary&) {
    TRSSTextInput& input = Owner().Channel().Optional().TextInput();
    input.SetInclude(node.ChildCount() > 0);
    if (!input.Include())
        return;
    if (auto value = ChildValue(node, "title"))
        input.SetTitle(*value);
    if (auto value = ChildValue(node, "description"))
        input.SetDescription(*value);
    if (auto value = ChildValue(node, "link"))
        input.SetLink(*value);
    if (auto value = ChildValue(node, "name"))
        input.SetTextInputName(*value);
}

void TSimpleParserBase::readSkipHours(const IXMLNode& node, const ChannelVocabulary&) {
    ReadSkipHours(node, Owner());
}

void TSimpleParserBase::readSkipDays(const IXMLNode& node, const ChannelVocabulary&) {
    ReadSkipDays(node, Owner());
}

void TSimpleParserBase::readCloud(const IXMLNode& node, const ChannelVocabulary& vocabulary) {
    const AttributeReader attribute = vocabulary.CloudAttribute;
    if (!attribute)
        return;
    TRSSCloud& cloud = Owner().Channel().Optional().Cloud();
    cloud.SetInclude(node.AttributeCount() > 0);
    if (!cloud.Include())
        return;
    if (auto value = attribute(node, "domain"))
        cloud.SetDomain(*value);
    if (auto value = attribute(node, "port"))
        cloud.SetPort(Integer(*value));
    if (auto value = attribute(node, "path"))
        cloud.SetPath(*value);
    if (auto value = attribute(node, "registerProcedure"))
        cloud.SetRegisterProcedure(*value);
    if (auto value = attribute(node, "protocol"))
        cloud.SetProtocol(*value);
}

void TSimpleParserBase::ReadGUID(const IXMLNode& guid, TRSSItem& item, bool textRequired) {
    XMLValue value = ValueOf(guid);
    if (textRequired && !value)
        return;
    item.GUID().SetInclude(true);
    if (value)
        item.GUID().SetGUID(std::move(*value));
    if (auto permaLink = AttributeNodeValue(guid, "isPermaLink"))
        item.GUID().SetIsPermaLink(*permaLink == "true");
}

void TSimpleParserBase::ReadEnclosure(const IXMLNode& enclosure, TRSSItem& item) {
    if (auto url = AttributeNodeValue(enclosure, "url"))
        item.Enclosure().SetURL(std::move(*url));
    if (auto length = AttributeNodeValue(enclosure, "length"))
        item.Enclosure().SetLength(Integer(*length));
    if (auto type = AttributeNodeValue(enclosure, "type"))
        item.Enclosure().SetEnclosureType(std::move(*type));
    item.Enclosure().SetInclude(true);
}

void TSimpleParserBase::ReadSource(const IXMLNode& source, TRSSItem& item) {
    item.Source().SetInclude(true);
    if (auto title = ValueOf(source))
        item.Source().SetTitle(std::move(*title));
    if (auto url = AttributeNodeValue(source, "url"))
        item.Source().SetURL(std::move(*url));
}

namespace {

// Feeds name the Media RSS namespace with and without its final slash.
bool isMediaRSS(const IXMLNode& node) {
    const std::string uri = node.NamespaceURI();
    return uri == "http://search.yahoo.com/mrss/" || uri == "http://search.yahoo.com/mrss";
}

std::string attributeText(const IXMLNode& element, std::string_view name) {
    return element.AttributeValue(name).value_or("");
}

void addMedia(TRSSItem& item, TMediaSource source, const IXMLNode& element,
              std::string_view urlAttribute) {
    std::string url = attributeText(element, urlAttribute);
    if (url.empty())
        return;
    item.AddMedia({source, std::move(url), attributeText(element, "type"),
                   source == msMediaContent ? attributeText(element, "medium") : std::string()});
}

} // namespace

void TSimpleParserBase::ReadItemMedia(const IXMLNode& node, TRSSItem& item) {
    const int count = node.ChildCount();
    for (int i = 0; i < count; ++i) {
        IXMLNode child = node.ChildAt(i);
        if (child.NodeType() != ntElement)
            continue;
        if (child.HasLocalName("enclosure") && child.Prefix().empty()) {
            addMedia(item, msEnclosure, child, "url");
        } else if (child.HasLocalName("link")) {
            if (child.AttributeValue("rel") == "enclosure")
                addMedia(item, msAtomEnclosure, child, "href");
        } else if (child.HasLocalName("content") && isMediaRSS(child)) {
            addMedia(item, msMediaContent, child, "url");
        } else if (child.HasLocalName("group") && isMediaRSS(child)) {
            const int members = child.ChildCount();
            for (int k = 0; k < members; ++k) {
                IXMLNode member = child.ChildAt(k);
                if (member.NodeType() == ntElement && member.HasLocalName("content") &&
                    isMediaRSS(member))
                    addMedia(item, msMediaContent, member, "url");
            }
        }
    }
}

void TSimpleParserBase::ReadItemCategories(const IXMLNode& node, TRSSItem& item,
                                           bool withSubjects) {
    const int count = node.ChildCount();
    for (int i = 0; i < count; ++i) {
        IXMLNode child = node.ChildAt(i);
        if (!child.HasLocalName("category") && !(withSubjects && child.HasLocalName("subject")))
            continue;
        TRSSItemCategory& category = item.Categories().Add();
        if (auto title = ValueOf(child))
            category.SetTitle(std::move(*title));
        if (auto domain = AttributeNodeValue(child, "domain"))
            category.SetDomain(std::move(*domain));
    }
}

} // namespace zavrio
