#include "tools/CacheCommand.h"

#include "playback/ClipStore.h"
#include "playback/FeedArchive.h"
#include "settings/SaverSettings.h"
#include "tools/ToolOptions.h"

#include <nlohmann/json.hpp>

#include <ctime>
#include <iostream>

namespace zavrio {

namespace {

std::string utcText(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

} // namespace

int runCacheCommand(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    const std::string ini = TakeIniOption(args);
    const bool clear = TakeFlag(args, "--clear");
    if (!args.empty())
        throw UsageError("unexpected argument '" + args.front() + "'");
    LoadSettings(ini);
    const ClipStore::Options options = ClipStore::OptionsFromSettings();
    const ClipStore cache(options);
    const FeedArchive feeds(FeedArchive::DefaultDirectory());

    nlohmann::ordered_json out;
    out["directory"] = options.Directory;
    out["maxMB"] = options.MaxBytes >> 20;
    if (clear) {
        out["removed"] = cache.Clear();
        feeds.Clear();
    }
    out["files"] = nlohmann::ordered_json::array();
    std::uint64_t total = 0;
    for (const ClipStore::File& file : cache.Files()) {
        out["files"].push_back(
            {{"name", file.Name}, {"bytes", file.Bytes}, {"lastPlayed", utcText(file.LastPlayed)}});
        total += file.Bytes;
    }
    // The feeds kept for playing offline count against the cap too.
    out["feeds"] = {{"directory", feeds.Directory()}, {"files", nlohmann::ordered_json::array()}};
    for (const FeedArchive::File& file : feeds.Files()) {
        out["feeds"]["files"].push_back(
            {{"name", file.Name}, {"bytes", file.Bytes}, {"saved", utcText(file.Saved)}});
        total += file.Bytes;
    }
    out["totalBytes"] = total;
    std::cout << out.dump(2) << '\n';
    return 0;
}

} // namespace zavrio
