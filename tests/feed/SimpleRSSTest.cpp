#include "feed/SimpleRSS.h"
#include "TempDirectory.h"
#include "feed/SimpleRSSException.h"
#include "feed/XMLErrors.h"
#include "tests/feed/ParserTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

namespace zavrio {
namespace {

using parsertest::LoadError;

const std::string kRSS = R"(<?xml version="1.0"?>
<rss version="0.91"><channel><title>Feed</title>
<item><title>One</title><link>http://www.zavrio.com/watch?v=1</link></item>
<item><title>Two</title><link>http://www.zavrio.com/watch?v=2</link></item>
</channel></rss>)";

const std::string kRDFNs = R"( xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#")";

TEST(SimpleRSSTest, NewComponentDefaults) {
    TSimpleRSS* created = nullptr;
    TSimpleRSS rss([&](TSimpleRSS& sender) { created = &sender; });
    EXPECT_EQ(created, &rss);
    EXPECT_EQ(rss.Version(), "2.0");
    EXPECT_EQ(rss.XMLType(), xtRSS);
    EXPECT_EQ(rss.Items().Count(), 0);
    EXPECT_EQ(rss.Items().Owner(), &rss);
    EXPECT_TRUE(rss.XMLFile().IsEmpty());
    EXPECT_EQ(TSimpleRSS::SimpleRSSVersion(), "0.4.1");
    EXPECT_EQ(rss.XMLFile().Options(),
              TXMLDocOptions({doNodeAutoCreate, doNodeAutoIndent, doAttrNull, doAutoPrefix}));
    rss.ResetDocument();
    EXPECT_EQ(rss.XMLFile().Options(),
              TXMLDocOptions({doNodeAutoCreate, doAttrNull, doAutoPrefix, doNamespaceDecl}));
}

TEST(SimpleRSSTest, LoadsFromAStreamAndFiresOnParseXML) {
    TSimpleRSS rss;
    int parsed = 0;
    rss.OnParseXML = [&](TSimpleRSS& sender) {
        EXPECT_EQ(&sender, &rss);
        ++parsed;
    };
    std::istringstream stream(kRSS);
    rss.LoadFromStream(stream);
    EXPECT_EQ(parsed, 1);
    EXPECT_EQ(rss.Version(), "0.91");
    ASSERT_EQ(rss.Items().Count(), 2);
    EXPECT_EQ(rss.Items().Items(1).Title(), "Two");
    EXPECT_EQ(rss.Items().Items(1).Link(), "http://www.zavrio.com/watch?v=2");
}

// A string buffer of a type of its own: the load reads it like any stream
// instead of taking its text over.
class OwnStringBuf : public std::stringbuf {
public:
    using std::stringbuf::stringbuf;
};

// The load reads from the stream's position to its end whatever the stream
// is; a string stream's text is taken over, the others are read, and each
// ends at its end with nothing more to read.
TEST(SimpleRSSTest, LoadsFromTheStreamPositionToItsEndForEveryKindOfStream) {
    const std::string prefix = "HTTP/1.1 200 OK\r\n\r\n";
    struct StreamCase {
        const char* label;
        std::function<std::unique_ptr<std::istream>()> make;
    };
    OwnStringBuf ownBuffer(prefix + kRSS);
    const StreamCase cases[] = {
        {"istringstream", [&] { return std::make_unique<std::istringstream>(prefix + kRSS); }},
        {"stringstream", [&] { return std::make_unique<std::stringstream>(prefix + kRSS); }},
        {"other buffer", [&] { return std::make_unique<std::istream>(&ownBuffer); }},
    };
    for (const StreamCase& row : cases) {
        std::unique_ptr<std::istream> stream = row.make();
        stream->seekg(static_cast<std::streamoff>(prefix.size()));
        TSimpleRSS rss;
        rss.LoadFromStream(*stream);
        ASSERT_EQ(rss.Items().Count(), 2) << row.label;
        EXPECT_EQ(rss.Items().Items(0).Title(), "One") << row.label;
        EXPECT_TRUE(stream->eof() && stream->fail()) << row.label;
        stream->clear();
        EXPECT_EQ(stream->get(), std::char_traits<char>::eof()) << row.label;
    }
}

struct DetectCase {
    const char* label;
    std::string xml;
    TXMLType type;
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const DetectCase& row, std::ostream* out) {
    *out << row.label;
}

class FormatDetectionTest : public ::testing::TestWithParam<DetectCase> {};

// The format comes from the root alone; whether that format's parser then
// succeeds is not this test's business.
TEST_P(FormatDetectionTest, RecognisesTheRoot) {
    TSimpleRSS rss;
    rss.SetXMLType(xtRDF == GetParam().type ? xtAtom : xtRDF); // something else first
    std::string message = LoadError(rss, GetParam().xml);
    EXPECT_EQ(message.find("unkown format"), std::string::npos) << message;
    EXPECT_EQ(rss.XMLType(), GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(
    Roots, FormatDetectionTest,
    ::testing::Values(
        DetectCase{"rss", "<rss/>", xtRSS}, DetectCase{"RSS", "<RSS/>", xtRSS},
        DetectCase{"Rss", "<Rss/>", xtRSS},
        DetectCase{"rdf", "<rdf:RDF" + kRDFNs + "><channel/></rdf:RDF>", xtRDF},
        DetectCase{"RDFrdf", "<RDF:rdf xmlns:RDF='urn:x'><channel/></RDF:rdf>", xtRDF},
        DetectCase{"atom", "<feed xmlns='http://www.w3.org/2005/Atom'/>", xtAtom},
        DetectCase{"itunesAttribute", "<rss itunes='yes'/>", xtiTunes},
        // An empty value still counts: the attribute is there.
        DetectCase{"itunesEmpty", "<rss itunes=''/>", xtiTunes},
        // Declaring the prefix is not the attribute.
        DetectCase{"itunesPrefixOnly",
                   "<rss xmlns:itunes='http://www.itunes.com/dtds/podcast-1.0.dtd'/>", xtRSS}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SimpleRSSTest, UnknownRootFailsNamingItAsWritten) {
    for (const char* root : {"RDF", "channel", "html", "Feeds"}) {
        TSimpleRSS rss;
        ASSERT_EQ(LoadError(rss, kRSS), "");
        EXPECT_EQ(LoadError(rss, std::string("<") + root +
                                     "><channel><item><title>x</title></item></channel></" + root +
                                     ">"),
                  std::string("unkown format: ") + root);
        EXPECT_EQ(rss.XMLType(), xtRSS);   // kept
        EXPECT_EQ(rss.Items().Count(), 0); // fresh
        EXPECT_EQ(rss.Channel().Required().Title(), "");
        EXPECT_EQ(rss.Version(), "0.91");
    }
}

TEST(SimpleRSSTest, MalformedBytesKeepThePreviousModel) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, kRSS), "");
    const TRSSItems* before = &rss.Items();
    EXPECT_THROW(rss.LoadFromBytes("HTTP/1.1 404 Not Found\r\n\r\n<html>"), EDOMParseError);
    EXPECT_EQ(&rss.Items(), before);
    ASSERT_EQ(rss.Items().Count(), 2);
    EXPECT_EQ(rss.Items().Items(0).Title(), "One");
    EXPECT_EQ(rss.Channel().Required().Title(), "Feed");
    EXPECT_EQ(rss.Version(), "0.91");
    EXPECT_TRUE(rss.XMLFile().IsEmpty());
}

TEST(SimpleRSSTest, ParseWithoutADocumentFailsClearly) {
    TSimpleRSS rss;
    try {
        rss.ParseXML();
        FAIL() << "no failure";
    } catch (const ESimpleRSSException& e) {
        EXPECT_STREQ(e.what(), "No XML document loaded");
    }
    EXPECT_EQ(rss.Items().Count(), 0);
}

TEST(SimpleRSSTest, VersionKeptWhenTheRootHasNone) {
    TSimpleRSS rss;
    ASSERT_EQ(LoadError(rss, kRSS), "");
    LoadError(rss, "<rdf:RDF" + kRDFNs + "><channel/></rdf:RDF>");
    EXPECT_EQ(rss.XMLType(), xtRDF);
    EXPECT_EQ(rss.Version(), "0.91");
    ASSERT_EQ(
        LoadError(rss, "<rss version=''><channel><item><title>x</title></item></channel></rss>"),
        "");
    EXPECT_EQ(rss.Version(), "");
}

TEST(SimpleRSSTest, PreReadAppendsMissingChannelTexts) {
    TSimpleRSS rss;
    ASSERT_EQ(
        LoadError(rss,
                  "<rss><channel><title>T</title><item><title>x</title></item></channel></rss>"),
        "");
    IXMLNode channel = rss.XMLFile().DocumentElement().FindChild("channel");
    ASSERT_EQ(channel.ChildCount(), 5);
    EXPECT_EQ(channel.ChildAt(0).NodeName(), "title");
    EXPECT_EQ(channel.ChildAt(2).NodeName(), "description");
    EXPECT_EQ(channel.ChildAt(3).NodeName(), "link");
    EXPECT_EQ(channel.ChildAt(4).NodeName(), "pubDate");
    EXPECT_EQ(channel.ChildAt(4).ChildCount(), 1); // the empty text that reading left

    // An RSS root without a channel gets one; the parser then finds it empty.
    ASSERT_EQ(LoadError(rss, "<rss/>"), "");
    EXPECT_EQ(rss.XMLFile().DocumentElement().FindChild("channel").ChildCount(), 4);
}

TEST(SimpleRSSTest, PreReadOfAtomAndRDFDocuments) {
    TSimpleRSS rss;
    LoadError(rss, "<feed xmlns='http://www.w3.org/2005/Atom'><title>A</title></feed>");
    IXMLNode feed = rss.XMLFile().DocumentElement();
    ASSERT_EQ(feed.ChildCount(), 2);
    IXMLNode channel = feed.ChildAt(1);
    EXPECT_EQ(channel.NodeName(), "channel");
    EXPECT_EQ(channel.NamespaceURI(), "http://www.w3.org/2005/Atom");
    ASSERT_EQ(channel.ChildCount(), 4);
    EXPECT_EQ(channel.ChildAt(3).NodeName(), "pubDate");

    LoadError(rss,
              "<rdf:RDF" + kRDFNs +
                  " xmlns='http://purl.org/rss/1.0/' xmlns:dc='http://purl.org/dc/elements/1.1/'>"
                  "<channel><title>R</title><dc:date>2008-01-01</dc:date></channel></rdf:RDF>");
    IXMLNode first = rss.XMLFile().DocumentElement().ChildAt(0);
    // The dc:date already there is in another namespace than "channel", so the
    // lookup misses it and appends another.
    ASSERT_EQ(first.ChildCount(), 5);
    EXPECT_EQ(first.ChildAt(2).NodeName(), "description");
    EXPECT_EQ(first.ChildAt(4).NodeName(), "dc:date");

    // A root without children makes the pre-read fail, which is ignored.
    EXPECT_EQ(LoadError(rss, "<rdf:RDF" + kRDFNs + "/>").find("List index"), std::string::npos);
    EXPECT_EQ(rss.XMLType(), xtRDF);
}

TEST(SimpleRSSTest, EveryFormatHasAParser) {
    TSimpleRSS rss;
    EXPECT_EQ(LoadError(rss, "<feed/>"), "");
    EXPECT_EQ(rss.XMLType(), xtAtom);
}

TEST(SimpleRSSTest, FixtureFeed) {
    TSimpleRSS rss;
    rss.LoadFromBytes(test::ReadFixture(ZAVRIO_RSS_DATA "/videos-rss20.xml"));
    EXPECT_EQ(rss.XMLType(), xtRSS);
    EXPECT_EQ(rss.Version(), "2.0");
    EXPECT_EQ(rss.Channel().Required().Title(), "Zavrio :: Most viewed today");
    EXPECT_EQ(rss.Channel().Optional().Language(), langEN_US);
    ASSERT_EQ(rss.Items().Count(), 3);
    const TRSSItem& second = rss.Items().Items(1);
    EXPECT_EQ(second.Title(), "Caf\xc3\xa9 rooftops at dusk");
    EXPECT_EQ(second.Link(), "http://www.zavrio.com/?v=Bq3xYk0aP2s");
    EXPECT_NE(second.Description().find("<img src="), std::string::npos);
    EXPECT_EQ(second.Enclosure().Length(), 2048000);
    EXPECT_EQ(second.Categories().Count(), 2);
}

} // namespace
} // namespace zavrio
