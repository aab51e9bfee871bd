#include "feed/HtmlFeedLinks.h"

#include "platform/TextToolkit.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <climits>
#include <memory>

namespace zavrio {

namespace {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

struct XmlFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

// The attribute's value with references decoded; "" when absent.
std::string attribute(xmlNode* node, const char* name) {
    // The HTML parser stores attribute names in lower case, whatever the page wrote.
    const std::unique_ptr<xmlChar, XmlFree> value(
        xmlGetProp(node, reinterpret_cast<const xmlChar*>(name)));
    return value ? std::string(reinterpret_cast<const char*>(value.get())) : std::string();
}

bool hasToken(std::string_view list, std::string_view token) {
    std::size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && IsBlank(list[i]))
            ++i;
        std::size_t end = i;
        while (end < list.size() && !IsBlank(list[end]))
            ++end;
        if (end > i && SameTextNoCase(list.substr(i, end - i), token))
            return true;
        i = end;
    }
    return false;
}

bool isFeedType(const std::string& type) {
    return type == "application/rss+xml" || type == "application/atom+xml" ||
           type == "application/rdf+xml";
}

bool isElement(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && node->name &&
           SameTextNoCase(reinterpret_cast<const char*>(node->name), name);
}

void take(xmlNode* node, HtmlFeedLinks& found, bool& baseSeen) {
    if (isElement(node, "base") && !baseSeen && xmlHasProp(node, BAD_CAST "href")) {
        baseSeen = true;
        found.BaseHref = std::string(TrimBlanks(attribute(node, "href")));
    } else if (isElement(node, "link")) {
        std::string type = attribute(node, "type");
        type = AsciiLowerCopy(TrimBlanks(type.substr(0, type.find(';'))));
        if (hasToken(attribute(node, "rel"), "alternate") && isFeedType(type))
            found.Links.push_back({std::string(TrimBlanks(attribute(node, "href"))), type,
                                   std::string(TrimBlanks(attribute(node, "title")))});
    }
}

// Document order without recursion: a page may nest elements deeper than
// the stack would like.
void collect(xmlNode* root, HtmlFeedLinks& found) {
    bool baseSeen = false;
    xmlNode* node = root;
    while (node) {
        take(node, found, baseSeen);
        if (node->children) {
            node = node->children;
            continue;
        }
        while (node && !node->next && node != root)
            node = node->parent;
        if (!node || node == root)
            break;
        node = node->next;
    }
}

} // namespace

HtmlFeedLinks ReadHtmlFeedLinks(std::string_view html) {
    HtmlFeedLinks found;
    if (html.empty() || html.size() > static_cast<std::size_t>(INT_MAX))
        return found;
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR |
                        HTML_PARSE_NOWARNING | HTML_PARSE_NOBLANKS;
    const std::unique_ptr<xmlDoc, DocFree> doc(
        htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, nullptr, options));
    if (!doc)
        return found;
    collect(xmlDocGetRootElement(doc.get()), found);
    return found;
}

} // namespace zavrio
