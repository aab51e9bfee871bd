// The XML layer drops whitespace-only text while the tree is built, with the
// help of libxml2's blank detection. Its result must be exactly that of the
// plain rule: parse everything, then remove every text node that holds only
// blanks. This test compares the two on documents where libxml2's detection
// and the plain rule part ways.
#include "feed/XMLDocument.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <string>
#include <vector>

namespace zavrio {
namespace {

bool blankText(const xmlNode* node) {
    if (node->type != XML_TEXT_NODE || node->content == nullptr)
        return false;
    for (const xmlChar* c = node->content; *c; ++c)
        if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r')
            return false;
    return true;
}

void dropBlankText(xmlNode* parent) {
    for (xmlNode* child = parent->children; child != nullptr;) {
        xmlNode* next = child->next;
        if (blankText(child)) {
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        } else if (child->type == XML_ELEMENT_NODE) {
            dropBlankText(child);
        }
        child = next;
    }
}

// The plain rule, as a reference: a full parse, then a walk.
std::string referenceXML(const std::string& bytes) {
    xmlDocPtr doc =
        xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                      XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc == nullptr)
        return "parse failed";
    dropBlankText(xmlDocGetRootElement(doc));
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc, &text, &size, "UTF-8");
    std::string result(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
    xmlFree(text);
    xmlFreeDoc(doc);
    return result;
}

TEST(XMLBlankTextTest, SameTreeAsDroppingBlankTextAfterTheParse) {
    const std::string longBlanks(1000, ' ');
    const std::vector<std::string> documents = {
        "<r>\n  <a> x </a>\r\n\t<b>   </b> <c><![CDATA[  ]]></c>\n</r>",
        // Text before the blanks, or text or a reference right after them.
        "<r>x<b/>   <c/>  y</r>",
        "<r><b/>&amp;   <c/></r>",
        "<r><b/>   &amp;<c/></r>",
        "<r><b/>&#32;&#x9;<c/>&#10;x</r>",
        // A lone carriage return ends libxml2's run of blanks but not the text.
        "<r><b/>  \r x</r>",
        "<r><b/>  \r <c/>\r</r>",
        // xml:space="preserve" makes libxml2 keep blanks; the rule drops them.
        "<r xml:space=\"preserve\">  <a/>  <b>  </b></r>",
        // An element declared with element content: libxml2 calls its blanks
        // ignorable wherever they are, even after text.
        "<!DOCTYPE r [<!ELEMENT r (a)*><!ELEMENT a (#PCDATA)>]><r>x  <a/>  <a>  </a>  </r>",
        // Entities whose text holds elements and blanks, used twice.
        "<!DOCTYPE r [<!ENTITY e \"<x/>  <y> </y>  \"><!ENTITY s \"  \">]>"
        "<r>&e;  <z/>&e;&s;<w>&s;</w><v>a&s;</v></r>",
        "<r>  <!-- c -->  <?pi x?>  <a/></r>",
        // Runs longer than libxml2's internal text buffer.
        "<r><a/>" + longBlanks + "<b/>" + longBlanks + "x</r>",
        "<r><a/>" + longBlanks + "\xC3\xA9</r>",
        "<r>\n<a>\n<b>\n<c>  </c>\n</b>\n</a>\n</r>",
        // Converted from another encoding.
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>  <a>\xE9</a>  <b/>\n \xE9\n</r>",
    };
    for (const std::string& xml : documents) {
        TXMLDocument doc;
        doc.Load(xml);
        EXPECT_EQ(doc.XML(), referenceXML(xml)) << xml;
    }
}

} // namespace
} // namespace zavrio
