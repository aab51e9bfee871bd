#include "playback/CacheFolder.h"

#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace zavrio {

std::string CacheRoot() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* user = ::getpwuid(::getuid());
            home = user ? user->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.cache";
    }
    return base + "/zavrio-screensaver";
}

std::uint64_t AddressHash(const std::string& address) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : address) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string HashedFileName(const std::string& address, const char* suffix) {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx",
                  static_cast<unsigned long long>(AddressHash(address)));
    return name + std::string(suffix);
}

} // namespace zavrio
