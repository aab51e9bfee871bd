#pragma once
// zavrio-feeds fetch NAME|URL [--ini PATH] [--verbose]: downloads a feed the
// way the playback window does and prints it as JSON, like "parse".
//
// NAME is looked up in the catalogue of the settings file; any other word is
// taken as an address. --verbose prints to stderr, one per line, what the
// playback window would show meanwhile: each status text and
// "Progress: N of M" for each progress notification.
// Exit status: 0 when the feed loads; 1 when it does not (the JSON then
// carries the error, as with "parse") or when the download fails (its error
// text on stderr); 2 for a bad command line.

#include <string>
#include <vector>

namespace zavrio {

int runFetchCommand(const std::vector<std::string>& args);

} // namespace zavrio
