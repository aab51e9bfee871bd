#include "feed/XMLDocument.h"
#include "feed/XMLErrors.h"
#include "feed/XMLInputLimits.h"

#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zavrio {
namespace {

TXMLDocument& loaded(TXMLDocument& doc, std::string_view xml) {
    doc.Load(xml);
    return doc;
}

TEST(XMLDocumentTest, NamesOfElementsAndNodes) {
    TXMLDocument doc;
    loaded(doc, R"(<rss xmlns:media="http://search.yahoo.com/mrss/"><media:title>A</media:title>)"
                R"(<!--note--><b><![CDATA[x]]></b>text</rss>)");
    IXMLNode root = doc.DocumentElement();
    ASSERT_EQ(root.ChildCount(), 4);
    struct Row {
        int index;
        TNodeType type;
        const char* name;
        const char* local;
        const char* uri;
    };
    for (const Row& row :
         {Row{0, ntElement, "media:title", "title", "http://search.yahoo.com/mrss/"},
          Row{1, ntComment, "#comment", "", ""}, Row{2, ntElement, "b", "b", ""},
          Row{3, ntText, "#text", "", ""}}) {
        IXMLNode node = root.ChildAt(row.index);
        EXPECT_EQ(node.NodeType(), row.type) << row.index;
        EXPECT_EQ(node.NodeName(), row.name) << row.index;
        EXPECT_EQ(node.LocalName(), row.local) << row.index;
        EXPECT_EQ(node.NamespaceURI(), row.uri) << row.index;
    }
    EXPECT_EQ(root.ChildAt(2).ChildAt(0).NodeName(), "#cdata-section");
    EXPECT_EQ(root.ChildAt(2).ParentNode(), root);
}

TEST(XMLDocumentTest, ChildAtOutsideTheListFailsWithTheIndex) {
    TXMLDocument doc;
    IXMLNode root = loaded(doc, "<r><a/><b/></r>").DocumentElement();
    EXPECT_EQ(root.ChildAt(1).NodeName(), "b");
    EXPECT_EQ(root.ChildAt(0).NodeName(), "a"); // going back after the cursor moved on
    for (int index : {2, -1, 100}) {
        try {
            root.ChildAt(index);
            ADD_FAILURE() << index;
        } catch (const EXMLDocError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "List index out of bounds (" + std::to_string(index) + ")");
        }
    }
    EXPECT_THROW(loaded(doc, "<r/>").DocumentElement().ChildAt(0), EXMLDocError);
}

TEST(XMLDocumentTest, WhitespaceOnlyTextIsDroppedOtherTextKept) {
    TXMLDocument doc;
    IXMLNode root = loaded(doc, "<r>\n  <a> x </a>\r\n\t<b>   </b> <c><![CDATA[  ]]></c>\n</r>")
                        .DocumentElement();
    ASSERT_EQ(root.ChildCount(), 3);
    EXPECT_EQ(root.ChildAt(0).Text(), " x ");
    EXPECT_EQ(root.ChildAt(1).ChildCount(), 0);
    // A CDATA section is kept even when it holds only blanks.
    EXPECT_EQ(root.ChildAt(2).ChildCount(), 1);
    EXPECT_EQ(root.ChildAt(2).Text(), "  ");
}

TEST(XMLDocumentTest, FindChildMatchesQualifiedOrLocalNameFirstWins) {
    TXMLDocument doc;
    IXMLNode item =
        loaded(doc, R"(<item xmlns:media="urn:m"><media:title>M</media:title>)"
                    R"(<title>T</title><atom:link xmlns:atom="urn:a">L</atom:link></item>)")
            .DocumentElement();
    EXPECT_EQ(item.FindChild("title").Text(), "M"); // prefixed namesake placed first
    EXPECT_EQ(item.FindChild("media:title").Text(), "M");
    EXPECT_EQ(item.FindChild("link").Text(), "L");
    EXPECT_EQ(item.FindChild("atom:link").Text(), "L");
    EXPECT_FALSE(item.FindChild("Title")); // names are case-sensitive
    EXPECT_FALSE(item.FindChild("media:link"));
    EXPECT_FALSE(item.FindChild("pubDate"));
}

TEST(XMLDocumentTest, FindChildNameForms) {
    // Children: a declared prefix, an undeclared one (kept in the name), a
    // default namespace, and no namespace at all; the parent has none, so
    // any namespace matches.
    TXMLDocument doc;
    IXMLNode item = loaded(doc, R"(<item><media:title xmlns:media="urn:m">A</media:title>)"
                                R"(<dc:date>B</dc:date><x:y:z>C</x:y:z>)"
                                R"(<link xmlns="urn:d">D</link><guid>E</guid></item>)")
                        .DocumentElement();
    const struct {
        const char* name;
        const char* text; // nullptr: no match
    } rows[] = {
        {"title", "A"},          {"media:title", "A"},
        {"media:titl", nullptr}, {"media:titles", nullptr},
        {"medi:title", nullptr}, {":title", nullptr},
        {"media:", nullptr},     {"date", "B"},
        {"dc:date", "B"},        {"dc:dat", nullptr},
        {"c:date", nullptr},     {"y:z", "C"},
        {"x:y:z", "C"},          {"z", nullptr},
        {"link", "D"},           {"x:link", nullptr},
        {"guid", "E"},           {"gui", nullptr},
        {"guids", nullptr},      {"", nullptr},
    };
    for (const auto& row : rows) {
        IXMLNode found = item.FindChild(row.name);
        ASSERT_EQ(static_cast<bool>(found), row.text != nullptr) << row.name;
        if (found) {
            EXPECT_EQ(found.Text(), row.text) << row.name;
        }
    }
}

TEST(XMLDocumentTest, FindChildrenGivesWhatFindChildGivesForEachName) {
    const char* documents[] = {
        R"(<item><media:title xmlns:media="urn:m">A</media:title><dc:date>B</dc:date>)"
        R"(<title>T</title><link xmlns="urn:d">D</link><guid>E</guid><guid>F</guid></item>)",
        // A namespaced parent: children in another namespace do not count.
        R"(<item xmlns="http://purl.org/rss/1.0/" xmlns:o="urn:other"><o:title>X</o:title>)"
        R"(<title>T</title><o:link>Y</o:link><description>Z</description></item>)",
    };
    const std::vector<std::string_view> names = {"title", "media:title", "dc:date", "date",
                                                 "link",  "guid",        "o:link",  "description",
                                                 "none",  "title"};
    for (const char* xml : documents) {
        TXMLDocument doc;
        IXMLNode item = loaded(doc, xml).DocumentElement();
        std::vector<IXMLNode> found(names.size(), item); // stale handles must be overwritten
        item.FindChildren(names, found);
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(found[i], item.FindChild(names[i])) << xml << " / " << names[i];
    }
    TXMLDocument doc;
    IXMLNode item = loaded(doc, documents[0]).DocumentElement();
    std::vector<IXMLNode> tooFew(1);
    EXPECT_THROW(item.FindChildren(names, tooFew), EXMLDocError);
    // Text children have no children to find.
    std::vector<IXMLNode> one(1, item);
    item.FindChild("guid").ChildAt(0).FindChildren(std::vector<std::string_view>{"x"}, one);
    EXPECT_FALSE(one[0]);
}

TEST(XMLDocumentTest, FindChildOfANamespacedParentKeepsToItsNamespace) {
    TXMLDocument doc;
    IXMLNode channel =
        loaded(
            doc,
            R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#")"
            R"( xmlns="http://purl.org/rss/1.0/" xmlns:dc="http://purl.org/dc/elements/1.1/">)"
            R"(<channel><dc:title>D</dc:title><title>T</title>)"
            R"(<other xmlns="HTTP://PURL.ORG/RSS/1.0/">case-insensitive</other></channel></rdf:RDF>)")
            .DocumentElement()
            .ChildAt(0);
    EXPECT_EQ(channel.NamespaceURI(), "http://purl.org/rss/1.0/");
    EXPECT_EQ(channel.FindChild("title").Text(), "T"); // dc:title is in another namespace
    EXPECT_FALSE(channel.FindChild("dc:title"));
    EXPECT_EQ(channel.FindChild("other").Text(), "case-insensitive");
}

TEST(XMLDocumentTest, ChildByNameAppendsAnElementThatStays) {
    TXMLDocument doc;
    IXMLNode channel =
        loaded(doc, "<rss xmlns:dc='urn:dc'><channel><title>T</title></channel></rss>")
            .DocumentElement()
            .FindChild("channel");
    EXPECT_EQ(channel.ChildByName("title").Text(), "T");
    EXPECT_EQ(channel.ChildCount(), 1);

    IXMLNode pubDate = channel.ChildByName("pubDate");
    EXPECT_EQ(channel.ChildCount(), 2);
    EXPECT_EQ(pubDate.TextValue(), std::nullopt);
    EXPECT_EQ(channel.FindChild("pubDate"), pubDate);
    EXPECT_EQ(channel.ChildByName("pubDate"), pubDate);
    EXPECT_EQ(channel.ChildCount(), 2);

    IXMLNode date = channel.ChildByName("dc:date");
    EXPECT_EQ(date.NodeName(), "dc:date");
    EXPECT_EQ(date.NamespaceURI(), "urn:dc");
    EXPECT_EQ(channel.ChildAt(2), date);
    EXPECT_NE(doc.XML().find("<dc:date/>"), std::string::npos);
}

TEST(XMLDocumentTest, ChildByNameTakesTheParentsPrefixAndNamespace) {
    TXMLDocument doc;
    IXMLNode feed = loaded(doc, "<a:feed xmlns:a='urn:atom'><a:entry/></a:feed>").DocumentElement();
    IXMLNode channel = feed.ChildByName("channel");
    EXPECT_EQ(channel.NodeName(), "a:channel");
    EXPECT_EQ(channel.NamespaceURI(), "urn:atom");
    EXPECT_EQ(feed.FindChild("channel"), channel);
    // A prefix that is not declared stays part of the name.
    IXMLNode odd = loaded(doc, "<r/>").DocumentElement().ChildByName("x:y");
    EXPECT_EQ(odd.NodeName(), "x:y");
    EXPECT_EQ(odd.LocalName(), "y");
    EXPECT_EQ(doc.DocumentElement().FindChild("x:y"), odd);
}

TEST(XMLDocumentTest, ChildByNameWithoutAutoCreateFails) {
    TXMLDocument doc;
    doc.SetOptions({doAttrNull});
    IXMLNode root = loaded(doc, "<r/>").DocumentElement();
    EXPECT_THROW(root.ChildByName("x"), EXMLDocError);
    EXPECT_EQ(root.ChildCount(), 0);
}

TEST(XMLDocumentTest, TextOfElementsAndOtherNodes) {
    TXMLDocument doc;
    IXMLNode root = loaded(doc, "<r a='v'><empty/><t>x &amp; y</t><c><![CDATA[<b>bold</b>]]></c>"
                                "<mixed>x<b/></mixed><two>x<![CDATA[y]]></two><note><!--n--></note>"
                                "<nested><i>z</i></nested></r>")
                        .DocumentElement();
    IXMLNode empty = root.FindChild("empty");
    EXPECT_EQ(empty.Text(), "");
    EXPECT_EQ(empty.ChildCount(), 1); // reading gave it an empty text child
    EXPECT_EQ(empty.ChildAt(0).NodeType(), ntText);
    EXPECT_EQ(empty.TextValue(), std::nullopt);
    EXPECT_EQ(root.FindChild("t").TextValue(), "x & y");
    EXPECT_EQ(root.FindChild("c").Text(), "<b>bold</b>");
    for (const char* name : {"mixed", "two", "note", "nested"}) {
        try {
            root.FindChild(name).Text();
            ADD_FAILURE() << name;
        } catch (const EXMLDocError& e) {
            EXPECT_STREQ(e.what(), "Element does not contain a single text node") << name;
        }
    }
    EXPECT_EQ(root.FindChild("note").ChildAt(0).Text(), "n");
    EXPECT_EQ(root.FindChild("nested").ChildAt(0).Text(), "z");
    EXPECT_EQ(root.FindAttribute("a").Text(), "v");
}

TEST(XMLDocumentTest, AttributeValueNullDiffersFromEmpty) {
    TXMLDocument doc;
    IXMLNode root = loaded(doc, R"(<rss version="2.0" itunes="" xmlns:itunes="urn:it" it:x="1" )"
                                R"(xmlns:it="urn:i2"/>)")
                        .DocumentElement();
    EXPECT_EQ(root.AttributeValue("version"), "2.0");
    EXPECT_EQ(root.AttributeValue("itunes"), "");
    EXPECT_EQ(root.AttributeValue("xmlns:itunes"), "urn:it");
    EXPECT_EQ(root.AttributeValue("it:x"), "1");
    EXPECT_EQ(root.AttributeValue("x"), std::nullopt); // exact qualified name only
    EXPECT_EQ(root.AttributeValue("Version"), std::nullopt);

    TXMLDocument plain;
    plain.SetOptions({doNodeAutoCreate});
    EXPECT_EQ(loaded(plain, "<rss/>").DocumentElement().AttributeValue("version"), "");
}

TEST(XMLDocumentTest, AttributesAsANodeList) {
    TXMLDocument doc;
    IXMLNode root =
        loaded(doc, R"(<e xmlns:m="urn:m" url="u" m:type="t" empty=""/>)").DocumentElement();
    ASSERT_EQ(root.AttributeCount(), 4);
    EXPECT_EQ(root.AttributeAt(0).NodeName(), "xmlns:m");
    EXPECT_EQ(root.AttributeAt(1).NodeName(), "url");
    EXPECT_EQ(root.AttributeAt(2).NodeName(), "m:type");
    EXPECT_EQ(root.FindAttribute("type"), root.AttributeAt(2)); // any namespace
    EXPECT_EQ(root.FindAttribute("m:type").TextValue(), "t");
    EXPECT_EQ(root.FindAttribute("empty").TextValue(), std::nullopt);
    EXPECT_FALSE(root.FindAttribute("length"));
    EXPECT_THROW(root.AttributeAt(4), EXMLDocError);

    IXMLNode added = root.AttributeByName("length");
    EXPECT_EQ(added.NodeType(), ntAttribute);
    EXPECT_EQ(added.TextValue(), std::nullopt);
    EXPECT_EQ(root.AttributeCount(), 5);
    EXPECT_EQ(root.AttributeValue("length"), "");
    EXPECT_EQ(root.AttributeByName("url").Text(), "u");
    EXPECT_EQ(root.AttributeCount(), 5);
}

TEST(XMLDocumentTest, MalformedInputFailsWithReasonLineAndSource) {
    TXMLDocument doc;
    doc.Load("<ok/>");
    const std::string bad =
        "<rss>\n<channel>\n  <title>A very long title that goes on and on</item>\n</rss>";
    try {
        doc.Load(bad);
        FAIL() << "no failure";
    } catch (const EDOMParseError& e) {
        EXPECT_EQ(e.Line(), 3);
        EXPECT_EQ(e.SrcText(), "  <title>A very long title that goes on ");
        EXPECT_FALSE(e.Reason().empty());
        EXPECT_EQ(std::string(e.what()), e.Reason() + "\r\nLine: 3\r\n" + e.SrcText());
    }
    EXPECT_TRUE(doc.IsEmpty());
    EXPECT_FALSE(doc.DocumentElement());
    for (std::string_view notXML : {"", "plain text", "<a><b></a>", "<a/><b/>", "<a>\xff</a>"})
        EXPECT_THROW(doc.Load(notXML), EDOMParseError) << notXML;
}

// Feeds that start with a line break before their declaration are common
// enough to read; any other text there stays an error.
TEST(XMLDocumentTest, BlanksBeforeTheDeclarationAreSkipped) {
    const std::string bom = "\xef\xbb\xbf";
    const std::pair<const char*, std::string> loads[] = {
        {"line break", "\n<?xml version=\"1.0\"?><t>caf\xc3\xa9</t>"},
        {"every blank", " \t\r\n\r \n<?xml version=\"1.0\"?><t>caf\xc3\xa9</t>"},
        {"after the mark",
         bom + "\r\n<?xml version=\"1.0\" encoding=\"UTF-8\"?><t>caf\xc3\xa9</t>"},
        // The declaration is read as one: its encoding counts.
        {"declared Latin-1", "\n\n<?xml version='1.0' encoding='ISO-8859-1'?>\n<t>caf\xe9</t>"},
    };
    for (const auto& [label, bytes] : loads) {
        TXMLDocument doc, owned;
        EXPECT_NO_THROW(doc.Load(bytes)) << label;
        EXPECT_NO_THROW(owned.LoadOwned(bytes)) << label;
        for (const TXMLDocument* loaded : {&doc, &owned}) {
            if (!loaded->IsEmpty()) {
                EXPECT_EQ(loaded->DocumentElement().Text(), "caf\xc3\xa9") << label;
            }
        }
    }

    const std::pair<const char*, std::string> fails[] = {
        {"a letter", "x\n<?xml version=\"1.0\"?><t/>"},
        {"a letter after blanks", "\n x<?xml version=\"1.0\"?><t/>"},
        {"a no-break space", "\xc2\xa0<?xml version=\"1.0\"?><t/>"},
        {"a vertical tab", "\v<?xml version=\"1.0\"?><t/>"},
        {"a letter after the mark", bom + "x<?xml version=\"1.0\"?><t/>"},
        {"a second mark", bom + "\n" + bom + "<?xml version=\"1.0\"?><t/>"},
    };
    for (const auto& [label, bytes] : fails) {
        TXMLDocument doc;
        EXPECT_THROW(doc.Load(bytes), EDOMParseError) << label;
    }

    // A later error names the line of the document as it was sent.
    TXMLDocument doc;
    try {
        doc.Load("\r\n\n\r<?xml version=\"1.0\"?>\n<rss>\n<a></rss>");
        FAIL() << "no failure";
    } catch (const EDOMParseError& e) {
        EXPECT_EQ(e.Line(), 6);
    }
}

TEST(XMLDocumentTest, SourceTextIsCutAtACharacterBoundary) {
    TXMLDocument doc;
    std::string line = "<r>" + std::string(18, 'x');
    for (int i = 0; i < 20; ++i)
        line += "\xc3\xa9"; // é
    try {
        doc.Load(line + "</q>");
        FAIL() << "no failure";
    } catch (const EDOMParseError& e) {
        EXPECT_EQ(e.SrcText(), line.substr(0, 3 + 18 + 2 * 19));
    }
}

struct EncodingCase {
    const char* label;
    std::string bytes;
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const EncodingCase& row, std::ostream* out) {
    *out << row.label;
}

class XMLEncodingTest : public ::testing::TestWithParam<EncodingCase> {};

// Every row spells the same text, "café €"; it reaches the caller as UTF-8.
TEST_P(XMLEncodingTest, TextArrivesAsUTF8) {
    TXMLDocument doc;
    doc.Load(GetParam().bytes);
    EXPECT_EQ(doc.DocumentElement().NodeName(), "t");
    EXPECT_EQ(doc.DocumentElement().Text(), "caf\xc3\xa9 \xe2\x82\xac");
    TXMLDocument owned;
    owned.LoadOwned(GetParam().bytes);
    EXPECT_EQ(owned.DocumentElement().Text(), "caf\xc3\xa9 \xe2\x82\xac");
}

// Bytes handed over are released before the tree is built; the document and
// the failures are those of Load.
TEST(XMLDocumentTest, LoadOwnedParsesAsLoadDoes) {
    const std::string documents[] = {
        "<!DOCTYPE r [<!ENTITY who \"world\">]><r a=\"&who;\">\n  <x>hello &who;</x>\n</r>", "",
        "plain text", "<a><b></a>", "<rss>\n<channel>\n  <title>long title</item>\n</rss>"};
    for (const std::string& xml : documents) {
        TXMLDocument loaded, owned;
        std::string loadError, ownedError;
        try {
            loaded.Load(xml);
        } catch (const EDOMParseError& e) {
            loadError = e.what();
        }
        try {
            owned.LoadOwned(xml);
        } catch (const EDOMParseError& e) {
            ownedError = e.what();
        }
        EXPECT_EQ(ownedError, loadError) << xml;
        EXPECT_EQ(owned.XML(), loaded.XML()) << xml;
    }
}

std::string utf16(std::string_view ascii, bool littleEndian, std::u16string_view tail) {
    std::string out = littleEndian ? "\xff\xfe" : "\xfe\xff";
    auto put = [&](char16_t c) {
        char lo = static_cast<char>(c & 0xff), hi = static_cast<char>(c >> 8);
        out += littleEndian ? std::string{lo, hi} : std::string{hi, lo};
    };
    for (char c : ascii)
        put(static_cast<char16_t>(c));
    for (char16_t c : tail)
        put(c);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, XMLEncodingTest,
    ::testing::Values(
        EncodingCase{"utf8", "<t>caf\xc3\xa9 \xe2\x82\xac</t>"},
        EncodingCase{"utf8bom", "\xef\xbb\xbf<t>caf\xc3\xa9 \xe2\x82\xac</t>"},
        EncodingCase{"latin1", "<?xml version='1.0' encoding='ISO-8859-1'?><t>caf\xe9 &#8364;</t>"},
        EncodingCase{"cp1252",
                     "<?xml version=\"1.0\" encoding=\"windows-1252\"?><t>caf\xe9 \x80</t>"},
        EncodingCase{"utf16le", utf16("<t>caf", true, u"\u00e9 \u20ac</t>")},
        EncodingCase{"utf16be", utf16("<t>caf", false, u"\u00e9 \u20ac</t>")}),
    [](const auto& info) { return std::string(info.param.label); });

// Hostile documents: none may read a file, reach the network, or blow up.
TEST(XMLDocumentTest, ExternalEntitiesAndDTDsAreNeverLoaded) {
    auto secret = std::filesystem::temp_directory_path() / "zavrio-xml-secret.txt";
    {
        std::ofstream out(secret);
        out << "TOPSECRET";
    }
    const std::string path = secret.string();
    const std::string docs[] = {
        "<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + path + "\">]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + path + "\">]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY % p SYSTEM \"file://" + path + "\"> %p;]><r>a</r>",
        "<!DOCTYPE r SYSTEM \"file://" + path + "\"><r>a</r>",
        "<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + path + "\">]><r a=\"&x;\"/>",
        // Loopback port 9 (discard) would only answer if the parser went out.
        "<!DOCTYPE r [<!ENTITY x SYSTEM \"http://127.0.0.1:9/x\">]><r>&x;</r>",
        "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"" + path +
            "\" parse=\"text\"/></r>",
    };
    for (const std::string& xml : docs) {
        TXMLDocument doc;
        try {
            doc.Load(xml);
        } catch (const EDOMParseError&) {
            continue; // refusing is fine
        }
        EXPECT_EQ(doc.XML().find("TOPSECRET"), std::string::npos) << xml;
    }
    std::filesystem::remove(secret);
}

TEST(XMLDocumentTest, EntityExpansionAndNestingStayBounded) {
    // Each entity refers ten times to the one before it.
    std::string laughs = "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">";
    char prev = 'a';
    for (char name = 'b'; name <= 'k'; prev = name++) {
        std::string body;
        for (int i = 0; i < 10; ++i)
            body += std::string("&") + prev + ";";
        laughs += std::string("<!ENTITY ") + name + " \"" + body + "\">";
    }
    laughs += "]><r>&k;</r>"; // 10^11 characters if expanded

    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<d>";
    for (int i = 0; i < 5000; ++i)
        deep += "</d>";

    for (const std::string& xml : {laughs, deep}) {
        TXMLDocument doc;
        EXPECT_THROW(doc.Load(xml), EDOMParseError);
        EXPECT_TRUE(doc.IsEmpty());
    }
}

// The input limits hold before libxml2 sees the document: an element with a
// million attributes would keep it busy for minutes.
TEST(XMLDocumentTest, InputBeyondTheLimitsIsRefusedNamingTheLimit) {
    auto element = [](std::size_t attributes, const std::string& extra = "") {
        std::string xml = "<?xml version=\"1.0\"?>\n<!-- a=1 b=2 -->\n<r" + extra;
        for (std::size_t i = 0; i < attributes; ++i)
            xml += " a" + std::to_string(i) + "=\"v=w\"";
        return xml + "><![CDATA[x=1 <y z=2>]]>q=r</r>";
    };
    auto error = [](const std::string& xml) -> std::string {
        TXMLDocument doc;
        try {
            doc.Load(xml);
        } catch (const EDOMParseError& e) {
            return e.Reason() + " @" + std::to_string(e.Line());
        }
        return "";
    };
    // "=" in quoted values, comments, CDATA and text is no attribute.
    EXPECT_EQ(error(element(MaxAttributesPerElement)), "");
    EXPECT_EQ(error(element(MaxAttributesPerElement - 1, " xmlns:p=\"urn:p\"")), "");
    EXPECT_EQ(error(element(MaxAttributesPerElement + 1)),
              "An element has more than 10000 attributes, the limit for a document @3");
    EXPECT_EQ(error(element(MaxAttributesPerElement, " xmlns:p=\"urn:p\"")),
              "An element has more than 10000 attributes, the limit for a document @3");
    // The document type declaration's internal subset holds ">" of its own.
    EXPECT_EQ(error("<!DOCTYPE r [<!ENTITY e \"x=y\">]><r a=\"1\">&e;</r>"), "");

    std::string big = "<r>" + std::string(MaxDocumentBytes - 7, ' ') + "</r>";
    EXPECT_EQ(error(big), "");
    big.insert(3, " ");
    EXPECT_EQ(error(big), "The document of 67108865 bytes exceeds the limit of 67108864 bytes @0");
}

TEST(XMLDocumentTest, InternalEntitiesAreReplacedByTheirText) {
    TXMLDocument doc;
    doc.Load("<!DOCTYPE r [<!ENTITY who \"world\">]><r>hello &who; &#233;</r>");
    EXPECT_EQ(doc.DocumentElement().Text(), "hello world \xc3\xa9");
}

TEST(XMLDocumentTest, UnassignedNodeFailsClearly) {
    IXMLNode none;
    EXPECT_FALSE(none);
    EXPECT_THROW(none.NodeName(), EXMLDocError);
    EXPECT_THROW(none.Text(), EXMLDocError);
    EXPECT_THROW(none.ChildCount(), EXMLDocError);
}

} // namespace
} // namespace zavrio
