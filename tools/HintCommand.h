#pragma once
// zavrio-feeds hint: the hint the configuration window shows for a clip,
// from the clip's description read on standard input.

#include <string>
#include <vector>

namespace zavrio {

// Prints DescriptionHint of all of standard input, then one line feed; the
// bytes are written as they are (no JSON).
int runHintCommand(const std::vector<std::string>& args);

} // namespace zavrio
