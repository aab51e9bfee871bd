#pragma once
// The JSON picture of a feed component's state, shared by the zavrio-feeds
// commands that read feeds: the format, the version, the failure of the last
// load (or null), and the channel and items under the model's own field
// names. Presence flags are left out, and so is an item's Media while it is
// empty, so feeds without media files read as they always did. A date is
// {"DateTime": "YYYY-MM-DDThh:mm:ss.zzz", "TimeZone", "SourceText", "Modified"}.
// The picture is pretty-printed (see JsonWriter); bytes that are not UTF-8 are
// shown as U+FFFD.

#include "feed/SimpleRSS.h"

#include <ostream>
#include <string>

namespace zavrio {

// Writes the picture to out as it walks the model, without a line break at
// the end. error: the message of the failed load, or null when it succeeded.
void WriteFeedJson(std::ostream& out, const TSimpleRSS& rss, const std::string* error);

// "langEN_US" for langEN_US; "langX" for langX.
std::string LanguageName(TLanguages language);

} // namespace zavrio
