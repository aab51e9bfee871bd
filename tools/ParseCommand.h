#pragma once
// zavrio-feeds parse FILE: loads the file's bytes through the feed component
// and prints the result as JSON (see FeedJson.h). Exit status 0 when the feed
// loaded, 1 when the load failed (the JSON then carries the message and the
// model as the failure left it) or the file could not be read.

#include <string>
#include <vector>

namespace zavrio {

int runParseCommand(const std::vector<std::string>& args);

} // namespace zavrio
