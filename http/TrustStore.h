#pragma once
// The certificates every download of the program trusts, the feed client's,
// the clip cache's and the player's alike: OpenSSL's default verify paths,
// that is the file and directory SSL_CERT_FILE and SSL_CERT_DIR name when
// they are set, else the system's store.

#include <string>

namespace zavrio {

struct TrustStore {
    std::string File;      // a bundle of certificates in PEM
    std::string Directory; // hashed certificate files
};

TrustStore ConfiguredTrustStore();

} // namespace zavrio
