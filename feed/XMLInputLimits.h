#pragma once
// The limits on the input of the XML layer, checked before libxml2 sees a
// byte: no real feed comes near either, and a document beyond them would
// only cost memory (a document is held several times over while it is
// parsed) or time (libxml2 compares each attribute of an element with every
// one before it, so an element of a million attributes takes minutes).

#include <cstddef>
#include <string_view>

namespace zavrio {

// The same limit as a download's body.
inline constexpr std::size_t MaxDocumentBytes = std::size_t{64} << 20;
inline constexpr std::size_t MaxAttributesPerElement = 10000;

// Throws EDOMParseError naming the limit when bytes is larger than
// MaxDocumentBytes or holds a start tag of more than MaxAttributesPerElement
// attributes (namespace declarations included). One pass over the bytes:
// comments, CDATA sections, processing instructions and the document type
// declaration are skipped, quoted attribute values are not looked into.
void CheckXMLInputLimits(std::string_view bytes);

} // namespace zavrio
