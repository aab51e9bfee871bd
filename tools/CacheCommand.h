#pragma once
// zavrio-feeds cache [--clear] [--ini PATH]: the clip cache's files, sizes
// and total as JSON; --clear empties it first (files a running player holds
// stay on disk until it lets them go).

#include <string>
#include <vector>

namespace zavrio {

int runCacheCommand(const std::vector<std::string>& args);

} // namespace zavrio
