#pragma once
// The feed download shared by the playback and the configuration window:
// catalogue name -> address -> HTTP GET into a buffer -> the window's list
// builder, which loads the buffer into its feed component and fills its list.
//
// The buffer lives only for the call and is released on every path.

#include "http/TIdHTTP.h"

#include <functional>
#include <istream>
#include <string>

namespace zavrio {

enum class DownloadVariant {
    // An empty (or missing) catalogue address makes no request and raises no
    // error; every failure propagates to the caller (the error report).
    Playback,
    // Every failure from the address lookup to the final disconnect is caught
    // and goes to the caller's failure sink (or is dropped without one); an
    // empty address simply fails in the GET.
    Config,
};

// Called with the downloaded document, its read position at the start.
using ListBuilder = std::function<void(std::istream& buffer)>;
// Called with the text of a failure the Config variant caught.
using FailureSink = std::function<void(const std::string& text)>;

// 1. disconnects http when connected; 2. looks up name in section "feeds" of
// SettingsFile (FeedAddress); 3. GETs it; 4. hands the rewound buffer to
// listBuilder; 5. disconnects http. A failure skips the remaining steps.
// The GET has a secure transport for https addresses exactly when the
// settings file says SecureTransport=1 in section "http"
// (SecureTransportConfigured).
void DownloadFeed(TIdHTTP& http, const std::string& name, DownloadVariant variant,
                  const ListBuilder& listBuilder, const FailureSink& failed = {});

// The same sequence for an address already looked up (or typed by a user of
// the command-line tool).
void DownloadFeedAddress(TIdHTTP& http, const std::string& address, DownloadVariant variant,
                         const ListBuilder& listBuilder, const FailureSink& failed = {});

// Section "http", key "SecureTransport" of SettingsFile is set (not 0); false
// while nothing is loaded.
bool SecureTransportConfigured();

} // namespace zavrio
