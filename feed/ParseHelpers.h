#pragma once
// Small stateless operations shared by the feed parsers: the language-code
// conversion, reading "skipHours" and "skipDays" elements, and decoding
// Base64 content.

#include <cstdint>
#include <string>

#include "feed/Languages.h"

namespace zavrio {

class IXMLNode;
class TSimpleRSS;
class TRSSChannelSkipHours;
class TRSSChannelSkipDays;

// The language whose code equals text exactly (case-sensitive, no trimming);
// langX when none does. Never fails.
TLanguages LanguageFromCode(const std::string& text);

// For every child of element whose text is "0".."23" (exactly, so "07" and
// "24" count for nothing) the hour's flag is set; the children's names are
// not looked at and flags are never cleared. A child whose text cannot be
// read (markup inside) throws EXMLDocError; flags set before stay set.
void ReadSkipHours(const IXMLNode& element, TRSSChannelSkipHours& hours);
// Writes owner.Channel().Optional().SkipHours().
void ReadSkipHours(const IXMLNode& element, TSimpleRSS& owner);

// As ReadSkipHours for the English day names "Monday".."Sunday"
// (case-sensitive).
void ReadSkipDays(const IXMLNode& element, TRSSChannelSkipDays& days);
// Writes owner.Channel().Optional().SkipDays().
void ReadSkipDays(const IXMLNode& element, TSimpleRSS& owner);

// mode 0: the Base64 decoding of text, in groups of four characters with
// nothing skipped; a text whose length is not a multiple of four throws
// ConvertError "Uneven size in DecodeToStream.". Any other mode: text as it
// is.
std::string DecodeContent(std::uint8_t mode, const std::string& text);

} // namespace zavrio
