#pragma once
// What the HTTP client reports while it works.

namespace zavrio {

// Occasions reported through the client's OnStatus, each with its fixed text.
enum ClientStatus {
    hsResolving,     // "Resolving hostname %s."
    hsConnecting,    // "Connecting to %s."
    hsConnected,     // "Connected."
    hsDisconnecting, // "Disconnecting."
    hsDisconnected,  // "Disconnected."
    hsChunkStarted,  // "Chunk Started"
};

enum WorkMode { wmRead, wmWrite };

} // namespace zavrio
