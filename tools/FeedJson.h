#pragma once
// The JSON picture of a feed component's state, shared by the zavrio-feeds
// commands that read feeds: the format, the version, the failure of the last
// load (or null), and the channel and items under the model's own field
// names. Presence flags are left out. A date is
// {"DateTime": "YYYY-MM-DDThh:mm:ss.zzz", "TimeZone", "SourceText", "Modified"}.

#include "feed/SimpleRSS.h"

#include <nlohmann/json.hpp>

#include <string>

namespace zavrio {

// error: the message of the failed load, or null when it succeeded.
nlohmann::ordered_json FeedToJson(const TSimpleRSS& rss, const std::string* error);

// "langEN_US" for langEN_US; "langX" for langX.
std::string LanguageName(TLanguages language);

// Pretty-printed; bytes that are not UTF-8 are shown as U+FFFD.
std::string DumpFeedJson(const nlohmann::ordered_json& json);

} // namespace zavrio
