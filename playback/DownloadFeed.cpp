#include "playback/DownloadFeed.h"

#include "settings/SaverSettings.h"

#include <sstream>
#include <stdexcept>

namespace zavrio {

namespace {

void RunDownload(TIdHTTP& http, const std::string& address, DownloadVariant variant,
                 const ListBuilder& listBuilder) {
    if (variant == DownloadVariant::Playback && address.empty()) {
        return;
    }
    // The buffer belongs to this frame, so it is released on every path.
    std::string body;
    http.Get(address, body);
    std::istringstream buffer(std::move(body));
    if (listBuilder) {
        listBuilder(buffer);
    }
    http.Disconnect();
}

} // namespace

void DownloadFeed(TIdHTTP& http, const std::string& name, DownloadVariant variant,
                  const ListBuilder& listBuilder, const FailureSink& failed) {
    // The catalogue lookup cannot fail: a missing name reads as "".
    DownloadFeedAddress(http, FeedAddress(name), variant, listBuilder, failed);
}

void DownloadFeedAddress(TIdHTTP& http, const std::string& address, DownloadVariant variant,
                         const ListBuilder& listBuilder, const FailureSink& failed) {
    if (http.Connected()) {
        http.Disconnect();
    }
    http.SecureTransport = SecureTransportConfigured();
    if (variant == DownloadVariant::Playback) {
        RunDownload(http, address, variant, listBuilder);
        return;
    }
    try {
        RunDownload(http, address, variant, listBuilder);
    } catch (const std::exception& e) {
        // A nested download that disconnected this one lands here too: the
        // caller tells which failure is still worth a word.
        if (failed)
            failed(e.what());
    } catch (...) {
        if (failed)
            failed("Unknown error");
    }
}

bool SecureTransportConfigured() {
    return SettingsFile && SettingsFile->ReadBool("http", "SecureTransport", false);
}

} // namespace zavrio
