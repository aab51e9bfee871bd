#pragma once
// The feeds a web page names in its head, read with libxml2's HTML parser
// (which copes with the tag soup of real pages as a regular expression
// cannot).
//
// A feed link is a <link> whose rel attribute, as a list of blank-separated
// tokens, holds "alternate" (any letter case) and whose type, without
// parameters and in any letter case, is application/rss+xml,
// application/atom+xml or application/rdf+xml. JSON feeds are left out:
// the program cannot read them. Element and attribute names match in any
// letter case, character references in values are decoded (so "&amp;"
// gives "&"), and links come in document order, repeats included.
// The parser never reads the network or files; a page it cannot make sense of
// yields no links rather than an error.

#include <string>
#include <string_view>
#include <vector>

namespace zavrio {

struct HtmlFeedLink {
    std::string Href;  // as written in the page, not resolved
    std::string Type;  // lower case, e.g. "application/atom+xml"
    std::string Title; // "" when absent
};

struct HtmlFeedLinks {
    // The href of the first <base> that has one, "" when none does.
    std::string BaseHref;
    std::vector<HtmlFeedLink> Links;
};

HtmlFeedLinks ReadHtmlFeedLinks(std::string_view html);

} // namespace zavrio
