#pragma once
// Certificates for loopback TLS servers, made once per test program by the
// openssl command in a temporary directory (removed when the program ends):
//   Authority   the authority the tests trust;
//   Server      127.0.0.1 and localhost, signed by Authority;
//   Expired     the same names and signer, its validity already over;
//   OtherName   other.test only, signed by Authority;
//   Untrusted   127.0.0.1 and localhost, signed by an authority no one trusts.

#include "ScriptedServer.h"
#include "TempDirectory.h"

#include <string>

namespace zavrio::test {

class TestCertificates {
public:
    // Made at the first call; throws std::runtime_error with openssl's output
    // when a certificate cannot be made.
    static const TestCertificates& Get();

    std::string AuthorityFile;
    TlsIdentity Server;
    TlsIdentity Expired;
    TlsIdentity OtherName;
    TlsIdentity Untrusted;

    // Points SSL_CERT_FILE at AuthorityFile and SSL_CERT_DIR at an empty
    // directory, so TLS clients made afterwards trust Authority alone.
    void TrustOnlyTheAuthority() const;

private:
    TestCertificates();

    TempDirectory dir_;
};

} // namespace zavrio::test
