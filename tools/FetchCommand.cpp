#include "tools/FetchCommand.h"

#include "feed/SimpleRSS.h"
#include "http/TIdHTTP.h"
#include "http/TrustStore.h"
#include "playback/DownloadFeed.h"
#include "settings/SaverSettings.h"
#include "tools/FeedHeap.h"
#include "tools/FeedJson.h"
#include "tools/ToolOptions.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <optional>
#include <stdexcept>

namespace zavrio {

int runFetchCommand(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    const std::string ini = TakeIniOption(args);
    const bool verbose = TakeFlag(args, "--verbose");
    if (args.empty()) {
        throw UsageError("fetch needs a feed name or an address");
    }
    if (args.size() > 1) {
        throw UsageError("unexpected argument '" + args[1] + "'");
    }
    LoadSettings(ini);
    const std::string& feed = args[0];
    const std::vector<std::string> names = FeedNames();
    const bool isName = std::find(names.begin(), names.end(), feed) != names.end();
    const std::string address = isName ? FeedAddress(feed) : feed;
    if (address.empty()) {
        // The playback window silently shows nothing here; a command must say why.
        std::cerr << "zavrio-feeds fetch: the catalogue has no address for \"" << feed << "\"\n";
        return 1;
    }

    TIdHTTP http;
    std::int64_t expected = 0;
    if (verbose) {
        // The same certificates the screensaver's feed, clip and player
        // downloads trust.
        if (address.starts_with("https://")) {
            const TrustStore trust = ConfiguredTrustStore();
            std::cerr << "Trusting the certificates of " << trust.File << " and " << trust.Directory
                      << '\n';
        }
        http.OnStatus = [](ClientStatus, const std::string& text) { std::cerr << text << '\n'; };
        http.OnWorkBegin = [&expected](WorkMode, std::int64_t count) { expected = count; };
        http.OnWork = [&expected](WorkMode, std::int64_t count) {
            std::cerr << "Progress: " << count << " of " << expected << '\n';
        };
    }

    TuneHeapForFeedLoad();
    TSimpleRSS rss;
    std::optional<std::string> loadError;
    try {
        DownloadFeedAddress(http, address, DownloadVariant::Playback, [&](std::istream& buffer) {
            try {
                rss.LoadFromStream(buffer);
            } catch (const std::exception& e) {
                loadError = e.what();
                throw; // as in the window, a failed load skips the final disconnect
            }
        });
    } catch (const NoSecureTransport& e) {
        // The screensaver shows the client's text alone; a command can say
        // what would fetch the address.
        throw std::runtime_error(std::string(e.what()) +
                                 "\nSet SecureTransport=1 in the [http] section of the settings "
                                 "file to fetch https addresses.");
    } catch (const std::exception&) {
        if (!loadError) {
            throw; // a download failure: main prints it and exits with 1
        }
    }
    WriteFeedJson(std::cout, rss, loadError ? &*loadError : nullptr);
    std::cout << '\n';
    return loadError ? 1 : 0;
}

} // namespace zavrio
