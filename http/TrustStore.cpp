#include "http/TrustStore.h"

#include <openssl/x509.h>

#include <cstdlib>

namespace zavrio {

namespace {

std::string fromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

} // namespace

TrustStore ConfiguredTrustStore() {
    // The same names and defaults as SSL_CTX_set_default_verify_paths reads.
    return {fromEnvironment(X509_get_default_cert_file_env(), X509_get_default_cert_file()),
            fromEnvironment(X509_get_default_cert_dir_env(), X509_get_default_cert_dir())};
}

} // namespace zavrio
