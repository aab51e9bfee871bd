#pragma once
// Internal to the XML layer: what TXMLDocument keeps per indexed node.

#include "feed/XMLDocument.h"

#include <libxml/tree.h>

#include <deque>

namespace zavrio {

// libxml2 keeps children as linked lists, while the parsers walk them by index
// (ChildAt(0..n-1)). A node whose children are indexed points through its
// _private field to one of these, so such a walk is linear, not quadratic.
struct NodeCache {
    int childCount = -1;
    int cursorIndex = 0;
    xmlNode* cursorNode = nullptr;
};

struct TXMLDocument::Impl {
    std::deque<NodeCache> caches;
};

} // namespace zavrio
