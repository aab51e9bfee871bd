#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "feed/FeedModel.h"
#include "feed/IntegerText.h"
#include "platform/TextToolkit.h"

namespace zavrio {
namespace {

TEST(FeedModelDefaults, NewChannelHasTheDocumentedDefaults) {
    TRSSChannel channel;
    const TRSSChannelOpt& opt = channel.Optional();
    EXPECT_EQ(opt.TTL(), 60);
    EXPECT_EQ(opt.Language(), langEN);
    EXPECT_EQ(opt.Generator(), "RSS 0.4.1");
    EXPECT_EQ(opt.Docs(), "Doc");
    EXPECT_EQ(opt.PubDate().TimeZone(), "GMT");
    EXPECT_EQ(opt.LastBuildDate().TimeZone(), "GMT");
    EXPECT_FALSE(opt.PubDate().Modified());
    EXPECT_EQ(opt.XLang(), "");
    EXPECT_EQ(opt.Categories().Count(), 0);
    EXPECT_EQ(opt.Categories().Owner(), &opt);
    EXPECT_EQ(opt.Cloud().Port(), 0);
    EXPECT_FALSE(opt.Cloud().Include());
    EXPECT_FALSE(opt.Image().Include());
    EXPECT_FALSE(opt.TextInput().Include());
    for (int hour = 0; hour < 24; ++hour)
        EXPECT_FALSE(opt.SkipHours().Hour(hour)) << hour;
    EXPECT_FALSE(opt.SkipDays().Monday() || opt.SkipDays().Sunday());
    EXPECT_FALSE(opt.TTLPresent() || opt.GeneratorPresent() || opt.CopyrightPresent() ||
                 opt.ManagingEditorPresent() || opt.WebMasterPresent() || opt.RatingPresent());

    EXPECT_EQ(channel.Required().Title(), "");
    EXPECT_EQ(channel.Required().Desc(), "");
    EXPECT_EQ(channel.Required().Link(), "");
    EXPECT_FALSE(channel.iTunes().Explict());
    EXPECT_FALSE(channel.iTunes().Block());
    EXPECT_EQ(channel.iTunes().KeyWords().Count(), 0);
}

TEST(FeedModelDefaults, NewItemHasAFreshBracedUpperCaseVersion4Guid) {
    const std::regex guidForm("\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-"
                              "[0-9A-F]{12}\\}");
    std::set<std::string> seen;
    TRSSItems items;
    for (int i = 0; i < 50; ++i) {
        const TRSSItem& item = items.Add();
        const std::string& guid = item.GUID().GUID();
        EXPECT_EQ(guid.size(), 38u);
        EXPECT_TRUE(std::regex_match(guid, guidForm)) << guid;
        seen.insert(guid);
    }
    EXPECT_EQ(seen.size(), 50u);

    const TRSSItem& item = items.Items(0);
    EXPECT_EQ(item.ContentType(), ctText);
    EXPECT_FALSE(item.GUID().Include());
    EXPECT_FALSE(item.GUID().IsPermaLink());
    EXPECT_EQ(item.PubDate().TimeZone(), "GMT");
    EXPECT_EQ(item.Categories().Owner(), &item);
    EXPECT_EQ(item.iTunes().Duration().Duration(), "0:0:00");
    EXPECT_FALSE(item.TitlePresent() || item.LinkPresent() || item.DescriptionPresent() ||
                 item.CommentsPresent());
}

// The GUID is drawn and the podcast fields are made only when needed; what
// an item shows must not depend on the order of reads and writes.
TEST(FeedModelDefaults, GuidAndPodcastFieldsAreTheSameWhenMadeLate) {
    TRSSItem set;
    set.GUID().SetGUID("http://www.zavrio.com/watch?v=1");
    EXPECT_EQ(std::as_const(set).GUID().GUID(), "http://www.zavrio.com/watch?v=1");
    TRSSItem empty;
    empty.GUID().SetGUID("");
    EXPECT_EQ(empty.GUID().GUID(), ""); // a guid set empty is not replaced by a drawn one

    TRSSItem drawn;
    const std::string first = drawn.GUID().GUID();
    EXPECT_EQ(drawn.GUID().GUID(), first); // drawn once, then kept

    TRSSItem podcast;
    const TRSSItem& reader = podcast;
    EXPECT_FALSE(reader.iTunes().Block());
    EXPECT_EQ(reader.iTunes().Author(), "");
    podcast.iTunes().SetBlock(true);
    podcast.iTunes().SetAuthor("Pat Carver");
    EXPECT_TRUE(reader.iTunes().Block());
    EXPECT_EQ(reader.iTunes().Author(), "Pat Carver");
    EXPECT_FALSE(TRSSItem().iTunes().Block()); // other items keep the defaults
    EXPECT_EQ(std::as_const(drawn).iTunes().Author(), "");
}

TEST(FeedModelSetters, ClampingSettersStoreTheBoundAndMarkPresence) {
    struct Case {
        const char* field;
        int value;
        int stored;
    };
    const Case cases[] = {
        {"Width", 200, 144},  {"Width", -5, 0},  {"Width", 144, 144},  {"Width", 100, 100},
        {"Height", 401, 400}, {"Height", -1, 0}, {"Height", 400, 400}, {"TTL", -1, 0},
        {"TTL", 0, 0},        {"TTL", 5, 5},     {"Port", 0, 1},       {"Port", -7, 1},
        {"Port", 1, 1},       {"Port", 2, 2},
    };
    for (const Case& c : cases) {
        TRSSChannelOpt opt;
        std::string field = c.field;
        int stored = 0;
        bool present = true;
        if (field == "Width") {
            opt.Image().Optional().SetWidth(c.value);
            stored = opt.Image().Optional().Width();
            present = opt.Image().Optional().WidthPresent();
        } else if (field == "Height") {
            opt.Image().Optional().SetHeight(c.value);
            stored = opt.Image().Optional().Height();
            present = opt.Image().Optional().HeightPresent();
        } else if (field == "TTL") {
            opt.SetTTL(c.value);
            stored = opt.TTL();
            present = opt.TTLPresent();
        } else {
            opt.Cloud().SetPort(c.value);
            stored = opt.Cloud().Port();
        }
        EXPECT_EQ(stored, c.stored) << field << " " << c.value;
        EXPECT_TRUE(present) << field << " " << c.value;
    }
}

TEST(FeedModelSetters, SettingTheStoredNumberChangesNothing) {
    TRSSChannelOpt opt;
    opt.SetTTL(60);
    opt.Image().Optional().SetWidth(0);
    opt.Image().Optional().SetHeight(0);
    EXPECT_FALSE(opt.TTLPresent());
    EXPECT_FALSE(opt.Image().Optional().WidthPresent());
    EXPECT_FALSE(opt.Image().Optional().HeightPresent());

    // A value that clamps to the stored one still counts as a change.
    opt.Image().Optional().SetWidth(-3);
    EXPECT_EQ(opt.Image().Optional().Width(), 0);
    EXPECT_TRUE(opt.Image().Optional().WidthPresent());
}

TEST(FeedModelSetters, KeyedTextSettersTrackPresence) {
    TRSSItem item;
    item.SetTitle("Clip");
    item.SetLink("http://127.0.0.1/watch?v=abc");
    EXPECT_EQ(item.Title(), "Clip");
    EXPECT_TRUE(item.TitlePresent());
    EXPECT_TRUE(item.LinkPresent());
    item.SetTitle("");
    EXPECT_EQ(item.Title(), "");
    EXPECT_FALSE(item.TitlePresent());
    EXPECT_TRUE(item.LinkPresent());

    TRSSChannelOpt opt;
    opt.SetRating("pics");
    opt.SetCopyright("(c) me");
    EXPECT_TRUE(opt.RatingPresent());
    EXPECT_TRUE(opt.CopyrightPresent());
    // The default generator text was never given, so it is not marked.
    opt.SetGenerator("RSS 0.4.1");
    EXPECT_FALSE(opt.GeneratorPresent());
    opt.SetGenerator("");
    EXPECT_EQ(opt.Generator(), "");
    EXPECT_FALSE(opt.GeneratorPresent());

    TRSSItemCategory category;
    category.SetDomain("d");
    EXPECT_TRUE(category.DomainPresent());
}

TEST(FeedModelSetters, RequiredTextsReadEmptyWhileBlank) {
    struct Case {
        std::string stored;
        std::string read;
    };
    const Case cases[] = {
        {"", ""},        {"   ", ""},
        {"\t\r\n ", ""}, {" Title ", " Title "}, // kept as stored, not trimmed
        {"x", "x"},
    };
    for (const Case& c : cases) {
        TRSSChannelReq req;
        req.SetTitle(c.stored);
        req.SetDesc(c.stored);
        req.SetLink(c.stored);
        EXPECT_EQ(req.Title(), c.read) << "'" << c.stored << "'";
        EXPECT_EQ(req.Desc(), c.read);
        EXPECT_EQ(req.Link(), c.read);
        TRSSImageReq image;
        image.SetURL(c.stored);
        EXPECT_EQ(image.URL(), c.read);
    }
}

TEST(FeedModelCollections, OwnedCollectionsKeepOrderAndAddresses) {
    TRSSItems items;
    EXPECT_EQ(items.Owner(), nullptr);
    std::vector<const TRSSItem*> addresses;
    for (int i = 0; i < 100; ++i) {
        TRSSItem& item = items.Add();
        item.SetTitle("item " + std::to_string(i));
        addresses.push_back(&item);
    }
    ASSERT_EQ(items.Count(), 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(&items.Items(i), addresses[static_cast<std::size_t>(i)]);
        EXPECT_EQ(items.Items(i).Title(), "item " + std::to_string(i));
    }

    TRSSItem& first = items.Items(0);
    first.Categories().Add().SetTitle("a");
    first.Categories().Add().SetTitle("b");
    EXPECT_EQ(first.Categories().Items(1).Title(), "b");

    items.Delete(0);
    ASSERT_EQ(items.Count(), 99);
    EXPECT_EQ(items.Items(0).Title(), "item 1");
    EXPECT_EQ(&items.Items(98), addresses[99]);
    EXPECT_THROW(items.Delete(99), std::out_of_range);

    items.Clear();
    EXPECT_EQ(items.Count(), 0);
}

TEST(FeedModelCollections, OutOfRangeIndexFailsNamingTheIndex) {
    TRSSChannelCategories categories;
    categories.Add();
    for (int index : {-1, 1, 7}) {
        try {
            categories.Items(index);
            ADD_FAILURE() << "no failure for " << index;
        } catch (const std::out_of_range& e) {
            EXPECT_EQ(std::string(e.what()),
                      "List index out of bounds (" + std::to_string(index) + ")");
        }
    }
}

TEST(FeedModelITunes, SummaryKeepsTheFirst4000Characters) {
    TiTunesChannelExtra channel;
    channel.SetSummary(std::string(5000, 's'));
    EXPECT_EQ(channel.Summary(), std::string(4000, 's'));

    TiTunesItemExtra item;
    item.SetSummary(std::string(4000, 'i'));
    EXPECT_EQ(item.Summary(), std::string(4000, 'i'));

    // Characters, not bytes: 4001 two-byte characters keep 4000 whole ones.
    std::string accented;
    for (int i = 0; i < 4001; ++i)
        accented += "\xC3\xA9"; // é
    item.SetSummary(accented);
    EXPECT_EQ(item.Summary(), accented.substr(0, 8000));
}

TEST(FeedModelITunes, CutNeverSplitsAMultiByteCharacter) {
    struct Case {
        std::string text;
        std::size_t limit;
        std::string cut;
    };
    const Case cases[] = {
        {"abc", 5, "abc"},
        {"abc", 3, "abc"},
        {"abc", 2, "ab"},
        {"a\xC3\xA9z", 2, "a\xC3\xA9"},                  // é is one character
        {"\xE2\x82\xAC\xE2\x82\xAC", 1, "\xE2\x82\xAC"}, // €€
        {"\xF0\x9F\x8E\xAC!", 1, "\xF0\x9F\x8E\xAC"},    // four-byte character
        {"abc", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CutToCharacters(c.text, c.limit), c.cut) << c.text << " " << c.limit;
}

TEST(FeedModelITunes, DurationTextReadsUnpaddedHoursAndMinutes) {
    struct Case {
        int hour, minute, second;
        const char* text;
    };
    const Case cases[] = {
        {1, 2, 3, "1:2:03"},
        {0, 0, 45, "0:0:45"},
        {12, 30, 10, "12:30:10"},
        {0, 0, 0, "0:0:00"},
    };
    for (const Case& c : cases) {
        TiTunesDuration duration;
        duration.SetHour(c.hour);
        duration.SetMinute(c.minute);
        duration.SetSecond(c.second);
        EXPECT_EQ(duration.Duration(), c.text);
    }
}

TEST(FeedModelITunes, DurationTextWritesPartsUntilOneIsNoInteger) {
    struct Case {
        const char* text;
        int hour, minute, second; // what is stored afterwards, from 9:9:9
        const char* error;        // nullptr when the text is accepted
    };
    const Case cases[] = {
        {"1:02:03", 1, 2, 3, nullptr},
        {" 1 : 2 : 3 ", 1, 2, 3, nullptr}, // blanks around a part are allowed
        {"-1:0:7", -1, 0, 7, nullptr},
        {"4:05", 4, 9, 9, "'' is not a valid integer value"},
        {"45", 9, 9, 9, "'' is not a valid integer value"},
        {"1:x:3", 1, 9, 9, "'x' is not a valid integer value"},
        {"1:2:3:4", 1, 2, 9, "'3:4' is not a valid integer value"},
        {"1:2:", 1, 2, 9, "'' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        TiTunesDuration duration;
        duration.SetHour(9);
        duration.SetMinute(9);
        duration.SetSecond(9);
        if (c.error) {
            try {
                duration.SetDuration(c.text);
                ADD_FAILURE() << "accepted " << c.text;
            } catch (const ConvertError& e) {
                EXPECT_EQ(std::string(e.what()), c.error) << c.text;
            }
        } else {
            EXPECT_NO_THROW(duration.SetDuration(c.text)) << c.text;
        }
        EXPECT_EQ(duration.Hour(), c.hour) << c.text;
        EXPECT_EQ(duration.Minute(), c.minute) << c.text;
        EXPECT_EQ(duration.Second(), c.second) << c.text;
    }
}

std::vector<std::string> keywordValues(const TiTunesKeywords& keywords) {
    std::vector<std::string> values;
    for (int i = 0; i < keywords.Count(); ++i)
        values.push_back(keywords.Items(i).Value());
    return values;
}

TEST(FeedModelITunes, KeywordTextAppendsOneKeywordPerSpace) {
    TiTunesChannelExtra channel;
    channel.KeyWords().Add().SetValue("old");
    channel.SetKeyWordsText("  x y  z ");
    EXPECT_EQ(keywordValues(channel.KeyWords()),
              (std::vector<std::string>{"old", "x", "y", "", "z"}));
    EXPECT_EQ(channel.KeyWordsText(), "old x y  z");

    channel.SetKeyWordsText(" \t ");
    EXPECT_EQ(channel.KeyWords().Count(), 5);

    TiTunesItemExtra item;
    item.SetKeyWordsText("single");
    item.SetKeyWordsText("a\tb c");
    EXPECT_EQ(keywordValues(item.KeyWords()), (std::vector<std::string>{"single", "a\tb", "c"}));
}

TEST(FeedModelITunes, KeyedTextsAndExplicitText) {
    TiTunesChannelExtra channel;
    EXPECT_EQ(channel.ExplicitText(), "no");
    channel.SetExplict(true);
    EXPECT_EQ(channel.ExplicitText(), "yes");
    channel.Owner().SetName("Owner");
    channel.Owner().SetEmailAddress("owner@example.invalid");
    channel.Category().SetCategory("Arts");
    channel.Category().SetSubCategory("Design");
    EXPECT_EQ(channel.Owner().Name(), "Owner");
    EXPECT_EQ(channel.Owner().EmailAddress(), "owner@example.invalid");
    EXPECT_EQ(channel.Category().Category(), "Arts");
    EXPECT_EQ(channel.Category().SubCategory(), "Design");

    TiTunesItemExtra item;
    EXPECT_EQ(item.ExplicitText(), "no");
    item.SetExplict(true);
    EXPECT_EQ(item.ExplicitText(), "yes");
}

} // namespace
} // namespace zavrio
