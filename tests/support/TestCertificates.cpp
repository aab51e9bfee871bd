#include "TestCertificates.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace zavrio::test {

namespace {

// Elliptic-curve keys: made in milliseconds, where RSA keys take much longer.
const std::string kNewKey = "-newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes";

} // namespace

const TestCertificates& TestCertificates::Get() {
    static const TestCertificates certificates;
    return certificates;
}

TestCertificates::TestCertificates() {
    const std::string& d = dir_.path();
    dir_.write("authority.cnf", "[req]\n"
                                "distinguished_name = dn\n"
                                "prompt = no\n"
                                "[dn]\n"
                                "CN = unused\n"
                                "[authority]\n"
                                "basicConstraints = critical, CA:TRUE\n"
                                "keyUsage = critical, keyCertSign, cRLSign\n"
                                "subjectKeyIdentifier = hash\n");
    auto extensions = [&](const std::string& name, const std::string& names) {
        return dir_.write(name + ".ext", "basicConstraints = CA:FALSE\n"
                                         "keyUsage = digitalSignature\n"
                                         "extendedKeyUsage = serverAuth\n"
                                         "subjectAltName = " +
                                             names + "\n");
    };
    const std::string loopback = extensions("loopback", "IP:127.0.0.1, DNS:localhost");
    const std::string other = extensions("other", "DNS:other.test");

    std::string script = "set -e; cd '" + d + "'\n";
    auto authority = [&](const std::string& name, const std::string& subject) {
        script += "openssl req -x509 " + kNewKey + " -config authority.cnf -extensions authority" +
                  " -subj '/CN=" + subject + "' -days 2 -keyout " + name + ".key -out " + name +
                  ".pem\n";
    };
    int serial = 1;
    auto server = [&](const std::string& name, const std::string& signer,
                      const std::string& extFile, int days) {
        script += "openssl req " + kNewKey + " -config authority.cnf -subj '/CN=" + name +
                  "' -keyout " + name + ".key -out " + name + ".csr\n";
        script += "openssl x509 -req -in " + name + ".csr -CA " + signer + ".pem -CAkey " + signer +
                  ".key -set_serial " + std::to_string(serial++) + " -days " +
                  std::to_string(days) + " -extfile " + extFile + " -out " + name + ".pem\n";
    };
    authority("authority", "Zavrio test authority");
    authority("stranger", "Untrusted test authority");
    server("server", "authority", loopback, 2);
    // Valid until a day before it was made.
    server("expired", "authority", loopback, -1);
    server("other", "authority", other, 2);
    server("untrusted", "stranger", loopback, 2);
    const std::string log = dir_ / "openssl.log";
    if (std::system(("(" + script + ") >'" + log + "' 2>&1").c_str()) != 0)
        throw std::runtime_error("making the test certificates failed:\n" + ReadFile(log));

    AuthorityFile = dir_ / "authority.pem";
    auto identity = [&](const std::string& name) {
        return TlsIdentity{dir_ / (name + ".pem"), dir_ / (name + ".key")};
    };
    Server = identity("server");
    Expired = identity("expired");
    OtherName = identity("other");
    Untrusted = identity("untrusted");
    std::filesystem::create_directory(dir_ / "no-certificates");
}

void TestCertificates::TrustOnlyTheAuthority() const {
    ::setenv("SSL_CERT_FILE", AuthorityFile.c_str(), 1);
    ::setenv("SSL_CERT_DIR", (dir_ / "no-certificates").c_str(), 1);
}

} // namespace zavrio::test
