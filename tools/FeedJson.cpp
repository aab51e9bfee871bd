#include "tools/FeedJson.h"

#include "platform/TextToolkit.h"
#include "tools/JsonWriter.h"

#include <cstdio>
#include <string_view>

namespace zavrio {

namespace {

void writeDate(JsonWriter& json, std::string_view name, const TRFC822DateTime& date) {
    DateTimeParts p = DecodeDateTime(date.DateTime());
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", p.Year, p.Month, p.Day,
                  p.Hour, p.Minute, p.Second, p.Millisecond);
    json.Key(name);
    json.BeginObject();
    json.Member("DateTime", text);
    json.Member("TimeZone", date.TimeZone());
    json.Member("SourceText", date.SourceText());
    json.Member("Modified", date.Modified());
    json.EndObject();
}

void writeKeywords(JsonWriter& json, const TiTunesKeywords& keywords) {
    json.Key("KeyWords");
    json.BeginArray();
    for (int i = 0; i < keywords.Count(); ++i)
        json.String(keywords.Items(i).Value());
    json.EndArray();
}

void writeCategory(JsonWriter& json, const TiTunesCategory& category) {
    json.Key("Category");
    json.BeginObject();
    json.Member("SubCategory", category.SubCategory());
    json.Member("Category", category.Category());
    json.EndObject();
}

void writeImage(JsonWriter& json, const TRSSImage& image) {
    json.Key("Image");
    json.BeginObject();
    json.Key("Optional");
    json.BeginObject();
    json.Member("Height", image.Optional().Height());
    json.Member("Width", image.Optional().Width());
    json.Member("Description", image.Optional().Description());
    json.EndObject();
    json.Key("Required");
    json.BeginObject();
    json.Member("Title", image.Required().Title());
    json.Member("URL", image.Required().URL());
    json.Member("Link", image.Required().Link());
    json.EndObject();
    json.Member("Include", image.Include());
    json.EndObject();
}

void writeCloud(JsonWriter& json, const TRSSCloud& cloud) {
    json.Key("Cloud");
    json.BeginObject();
    json.Member("Port", cloud.Port());
    json.Member("Protocol", cloud.Protocol());
    json.Member("Domain", cloud.Domain());
    json.Member("RegisterProcedure", cloud.RegisterProcedure());
    json.Member("Path", cloud.Path());
    json.Member("Include", cloud.Include());
    json.EndObject();
}

void writeSkips(JsonWriter& json, const TRSSChannelOpt& opt) {
    json.Key("SkipHours");
    json.BeginArray();
    for (int h = 0; h < 24; ++h)
        if (opt.SkipHours().Hour(h))
            json.Int(h);
    json.EndArray();

    const TRSSChannelSkipDays& d = opt.SkipDays();
    const std::pair<bool, const char*> dayFlags[] = {
        {d.Monday(), "Monday"},     {d.Tuesday(), "Tuesday"}, {d.Wednesday(), "Wednesday"},
        {d.Thursday(), "Thursday"}, {d.Friday(), "Friday"},   {d.Saturday(), "Saturday"},
        {d.Sunday(), "Sunday"}};
    json.Key("SkipDays");
    json.BeginArray();
    for (const auto& [set, name] : dayFlags)
        if (set)
            json.String(name);
    json.EndArray();
}

void writeTextInput(JsonWriter& json, const TRSSTextInput& input) {
    json.Key("TextInput");
    json.BeginObject();
    json.Member("Title", input.Title());
    json.Member("Description", input.Description());
    json.Member("Link", input.Link());
    json.Member("TextInputName", input.TextInputName());
    json.Member("Include", input.Include());
    json.EndObject();
}

void writeChannel(JsonWriter& json, const TRSSChannel& channel) {
    const TRSSChannelOpt& opt = channel.Optional();
    json.Key("Channel");
    json.BeginObject();

    json.Key("Required");
    json.BeginObject();
    json.Member("Title", channel.Required().Title());
    json.Member("Desc", channel.Required().Desc());
    json.Member("Link", channel.Required().Link());
    json.EndObject();

    json.Key("Optional");
    json.BeginObject();
    json.Member("TTL", opt.TTL());
    json.Member("Generator", opt.Generator());
    json.Member("ManagingEditor", opt.ManagingEditor());
    json.Member("WebMaster", opt.WebMaster());
    json.Member("Copyright", opt.Copyright());
    writeDate(json, "LastBuildDate", opt.LastBuildDate());
    writeDate(json, "PubDate", opt.PubDate());
    writeImage(json, opt.Image());
    json.Member("Language", LanguageName(opt.Language()));
    writeCloud(json, opt.Cloud());
    json.Key("Categories");
    json.BeginArray();
    for (int i = 0; i < opt.Categories().Count(); ++i) {
        const TRSSChannelCategory& c = opt.Categories().Items(i);
        json.BeginObject();
        json.Member("Category", c.Category());
        json.Member("Domain", c.Domain());
        json.EndObject();
    }
    json.EndArray();
    writeSkips(json, opt);
    writeTextInput(json, opt.TextInput());
    json.Member("Docs", opt.Docs());
    json.Member("Rating", opt.Rating());
    json.Member("XLang", opt.XLang());
    json.EndObject();

    const TiTunesChannelExtra& it = channel.iTunes();
    json.Key("iTunes");
    json.BeginObject();
    json.Member("Explict", it.Explict());
    json.Key("Owner");
    json.BeginObject();
    json.Member("Name", it.Owner().Name());
    json.Member("EmailAddress", it.Owner().EmailAddress());
    json.EndObject();
    json.Member("Subtitle", it.Subtitle());
    json.Member("Summary", it.Summary());
    writeCategory(json, it.Category());
    json.Member("Block", it.Block());
    writeKeywords(json, it.KeyWords());
    json.Member("Author", it.Author());
    json.Member("Image", it.Image());
    json.EndObject();

    json.EndObject();
}

const char* contentTypeName(TContentType type) {
    switch (type) {
    case ctText:
        return "ctText";
    case ctHTML:
        return "ctHTML";
    case ctXHTML:
        return "ctXHTML";
    }
    return "";
}

const char* mediaSourceName(TMediaSource source) {
    switch (source) {
    case msEnclosure:
        return "msEnclosure";
    case msMediaContent:
        return "msMediaContent";
    case msAtomEnclosure:
        return "msAtomEnclosure";
    }
    return "";
}

void writeMedia(JsonWriter& json, const std::vector<TRSSItemMedia>& media) {
    json.Key("Media");
    json.BeginArray();
    for (const TRSSItemMedia& m : media) {
        json.BeginObject();
        json.Member("Source", mediaSourceName(m.Source));
        json.Member("URL", m.URL);
        json.Member("MediaType", m.MediaType);
        json.Member("Medium", m.Medium);
        json.EndObject();
    }
    json.EndArray();
}

void writeItem(JsonWriter& json, const TRSSItem& item) {
    json.BeginObject();
    json.Member("Title", item.Title());
    json.Member("Link", item.Link());
    json.Member("Description", item.Description());
    json.Member("Comments", item.Comments());
    json.Key("Author");
    json.BeginObject();
    json.Member("Name", item.Author().Name());
    json.Member("EMail", item.Author().EMail());
    json.Member("URL", item.Author().URL());
    json.EndObject();
    writeDate(json, "PubDate", item.PubDate());
    json.Key("Enclosure");
    json.BeginObject();
    json.Member("Length", item.Enclosure().Length());
    json.Member("EnclosureType", item.Enclosure().EnclosureType());
    json.Member("URL", item.Enclosure().URL());
    json.Member("Include", item.Enclosure().Include());
    json.EndObject();
    if (!item.Media().empty())
        writeMedia(json, item.Media());
    json.Key("GUID");
    json.BeginObject();
    json.Member("IsPermaLink", item.GUID().IsPermaLink());
    json.Member("GUID", item.GUID().GUID());
    json.Member("Include", item.GUID().Include());
    json.EndObject();
    json.Key("Source");
    json.BeginObject();
    json.Member("URL", item.Source().URL());
    json.Member("Title", item.Source().Title());
    json.Member("Include", item.Source().Include());
    json.EndObject();
    json.Key("Categories");
    json.BeginArray();
    for (int i = 0; i < item.Categories().Count(); ++i) {
        const TRSSItemCategory& c = item.Categories().Items(i);
        json.BeginObject();
        json.Member("Title", c.Title());
        json.Member("Domain", c.Domain());
        json.EndObject();
    }
    json.EndArray();
    json.Member("ContentType", contentTypeName(item.ContentType()));

    const TiTunesItemExtra& it = item.iTunes();
    const TiTunesDuration& duration = it.Duration();
    json.Key("iTunes");
    json.BeginObject();
    json.Member("Explict", it.Explict());
    json.Member("Subtitle", it.Subtitle());
    json.Member("Summary", it.Summary());
    writeCategory(json, it.Category());
    json.Member("Block", it.Block());
    writeKeywords(json, it.KeyWords());
    json.Member("Author", it.Author());
    json.Key("Duration");
    json.BeginObject();
    json.Member("Second", duration.Second());
    json.Member("Minute", duration.Minute());
    json.Member("Hour", duration.Hour());
    json.Member("Duration", duration.Duration());
    json.EndObject();
    json.EndObject();

    json.EndObject();
}

} // namespace

std::string LanguageName(TLanguages language) {
    const std::string& code = LanguageCode(language);
    if (code.empty())
        return "langX";
    std::string name = "lang";
    for (char c : code)
        name += c == '-' ? '_' : AsciiUpper(c);
    return name;
}

void WriteFeedJson(std::ostream& out, const TSimpleRSS& rss, const std::string* error) {
    JsonWriter json(out);
    json.BeginObject();
    json.Member("XMLType", XMLTypeName(rss.XMLType()));
    json.Member("Version", rss.Version());
    json.Key("error");
    if (error)
        json.String(*error);
    else
        json.Null();
    writeChannel(json, rss.Channel());
    json.Key("Items");
    json.BeginArray();
    for (int i = 0; i < rss.Items().Count(); ++i)
        writeItem(json, rss.Items().Items(i));
    json.EndArray();
    json.EndObject();
}

} // namespace zavrio
