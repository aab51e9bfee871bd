#include "tools/FeedJson.h"

#include <cstdio>

namespace zavrio {

namespace {

using json = nlohmann::ordered_json;

json dateJson(const TRFC822DateTime& date) {
    DateTimeParts p = DecodeDateTime(date.DateTime());
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", p.Year, p.Month, p.Day,
                  p.Hour, p.Minute, p.Second, p.Millisecond);
    return {{"DateTime", text},
            {"TimeZone", date.TimeZone()},
            {"SourceText", date.SourceText()},
            {"Modified", date.Modified()}};
}

json keywordsJson(const TiTunesKeywords& keywords) {
    json list = json::array();
    for (int i = 0; i < keywords.Count(); ++i)
        list.push_back(keywords.Items(i).Value());
    return list;
}

json categoryJson(const TiTunesCategory& category) {
    return {{"SubCategory", category.SubCategory()}, {"Category", category.Category()}};
}

json channelJson(const TRSSChannel& channel) {
    const TRSSChannelOpt& opt = channel.Optional();
    const TRSSImage& image = opt.Image();
    const TRSSCloud& cloud = opt.Cloud();
    const TRSSTextInput& input = opt.TextInput();

    json categories = json::array();
    for (int i = 0; i < opt.Categories().Count(); ++i) {
        const TRSSChannelCategory& c = opt.Categories().Items(i);
        categories.push_back({{"Category", c.Category()}, {"Domain", c.Domain()}});
    }
    json hours = json::array();
    for (int h = 0; h < 24; ++h)
        if (opt.SkipHours().Hour(h))
            hours.push_back(h);
    const TRSSChannelSkipDays& d = opt.SkipDays();
    json days = json::array();
    const std::pair<bool, const char*> dayFlags[] = {
        {d.Monday(), "Monday"},     {d.Tuesday(), "Tuesday"}, {d.Wednesday(), "Wednesday"},
        {d.Thursday(), "Thursday"}, {d.Friday(), "Friday"},   {d.Saturday(), "Saturday"},
        {d.Sunday(), "Sunday"}};
    for (const auto& [set, name] : dayFlags)
        if (set)
            days.push_back(name);

    const TiTunesChannelExtra& it = channel.iTunes();
    return {{"Required",
             {{"Title", channel.Required().Title()},
              {"Desc", channel.Required().Desc()},
              {"Link", channel.Required().Link()}}},
            {"Optional",
             {{"TTL", opt.TTL()},
              {"Generator", opt.Generator()},
              {"ManagingEditor", opt.ManagingEditor()},
              {"WebMaster", opt.WebMaster()},
              {"Copyright", opt.Copyright()},
              {"LastBuildDate", dateJson(opt.LastBuildDate())},
              {"PubDate", dateJson(opt.PubDate())},
              {"Image",
               {{"Optional",
                 {{"Height", image.Optional().Height()},
                  {"Width", image.Optional().Width()},
                  {"Description", image.Optional().Description()}}},
                {"Required",
                 {{"Title", image.Required().Title()},
                  {"URL", image.Required().URL()},
                  {"Link", image.Required().Link()}}},
                {"Include", image.Include()}}},
              {"Language", LanguageName(opt.Language())},
              {"Cloud",
               {{"Port", cloud.Port()},
                {"Protocol", cloud.Protocol()},
                {"Domain", cloud.Domain()},
                {"RegisterProcedure", cloud.RegisterProcedure()},
                {"Path", cloud.Path()},
                {"Include", cloud.Include()}}},
              {"Categories", categories},
              {"SkipHours", hours},
              {"SkipDays", days},
              {"TextInput",
               {{"Title", input.Title()},
                {"Description", input.Description()},
                {"Link", input.Link()},
                {"TextInputName", input.TextInputName()},
                {"Include", input.Include()}}},
              {"Docs", opt.Docs()},
              {"Rating", opt.Rating()},
              {"XLang", opt.XLang()}}},
            {"iTunes",
             {{"Explict", it.Explict()},
              {"Owner", {{"Name", it.Owner().Name()}, {"EmailAddress", it.Owner().EmailAddress()}}},
              {"Subtitle", it.Subtitle()},
              {"Summary", it.Summary()},
              {"Category", categoryJson(it.Category())},
              {"Block", it.Block()},
              {"KeyWords", keywordsJson(it.KeyWords())},
              {"Author", it.Author()},
              {"Image", it.Image()}}}};
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

json itemJson(const TRSSItem& item) {
    json categories = json::array();
    for (int i = 0; i < item.Categories().Count(); ++i) {
        const TRSSItemCategory& c = item.Categories().Items(i);
        categories.push_back({{"Title", c.Title()}, {"Domain", c.Domain()}});
    }
    const TiTunesItemExtra& it = item.iTunes();
    const TiTunesDuration& duration = it.Duration();
    return {{"Title", item.Title()},
            {"Link", item.Link()},
            {"Description", item.Description()},
            {"Comments", item.Comments()},
            {"Author",
             {{"Name", item.Author().Name()},
              {"EMail", item.Author().EMail()},
              {"URL", item.Author().URL()}}},
            {"PubDate", dateJson(item.PubDate())},
            {"Enclosure",
             {{"Length", item.Enclosure().Length()},
              {"EnclosureType", item.Enclosure().EnclosureType()},
              {"URL", item.Enclosure().URL()},
              {"Include", item.Enclosure().Include()}}},
            {"GUID",
             {{"IsPermaLink", item.GUID().IsPermaLink()},
              {"GUID", item.GUID().GUID()},
              {"Include", item.GUID().Include()}}},
            {"Source",
             {{"URL", item.Source().URL()},
              {"Title", item.Source().Title()},
              {"Include", item.Source().Include()}}},
            {"Categories", categories},
            {"ContentType", contentTypeName(item.ContentType())},
            {"iTunes",
             {{"Explict", it.Explict()},
              {"Subtitle", it.Subtitle()},
              {"Summary", it.Summary()},
              {"Category", categoryJson(it.Category())},
              {"Block", it.Block()},
              {"KeyWords", keywordsJson(it.KeyWords())},
              {"Author", it.Author()},
              {"Duration",
               {{"Second", duration.Second()},
                {"Minute", duration.Minute()},
                {"Hour", duration.Hour()},
                {"Duration", duration.Duration()}}}}}};
}

} // namespace

std::string LanguageName(TLanguages language) {
    const std::string& code = LanguageCode(language);
    if (code.empty())
        return "langX";
    std::string name = "lang";
    for (char c : code)
        name += c == '-' ? '_' : (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    return name;
}

nlohmann::ordered_json FeedToJson(const TSimpleRSS& rss, const std::string* error) {
    json items = json::array();
    for (int i = 0; i < rss.Items().Count(); ++i)
        items.push_back(itemJson(rss.Items().Items(i)));
    return {{"XMLType", XMLTypeName(rss.XMLType())},
            {"Version", rss.Version()},
            {"error", error ? json(*error) : json(nullptr)},
            {"Channel", channelJson(rss.Channel())},
            {"Items", items}};
}

std::string DumpFeedJson(const nlohmann::ordered_json& json) {
    return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace zavrio
