#include "tools/DiscoverCommand.h"

#include "config/FeedDiscovery.h"
#include "playback/DownloadFeed.h"
#include "settings/SaverSettings.h"
#include "tools/ToolOptions.h"

#include <iostream>
#include <nlohmann/json.hpp>

namespace zavrio {

int runDiscoverCommand(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    const std::string ini = TakeIniOption(args);
    if (args.empty())
        throw UsageError("discover needs an address");
    if (args.size() > 1)
        throw UsageError("unexpected argument '" + args[1] + "'");
    LoadSettings(ini);

    TIdHTTP http;
    const Discovery discovery = DiscoverFeeds(http, args[0], SecureTransportConfigured());
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const DiscoveredFeed& feed : discovery.Feeds)
        out.push_back({{"title", feed.Title}, {"address", feed.Address}, {"type", feed.Type}});
    std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    return 0;
}

} // namespace zavrio
