#pragma once
// zavrio-feeds discover ADDRESS [--ini PATH]: the feeds behind an address
// (FeedDiscovery.h), fetched with the settings file's SecureTransport, as a
// JSON array of {"title", "address", "type"}.
// Exit status: 0 with at least one feed; 1 when the address cannot be fetched
// or names no feed (the reason on standard error); 2 for a bad command line.

#include <string>
#include <vector>

namespace zavrio {

int runDiscoverCommand(const std::vector<std::string>& args);

} // namespace zavrio
