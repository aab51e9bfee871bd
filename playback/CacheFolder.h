#pragma once
// Where the program keeps what it fetched for later (the clip store, the
// feed archive), and how a kept file is named after the address it came from.

#include <cstdint>
#include <string>

namespace zavrio {

// $XDG_CACHE_HOME/zavrio-screensaver, else ~/.cache/zavrio-screensaver (the
// home from the password database when HOME is unset).
std::string CacheRoot();

// The 64-bit FNV-1a hash of address.
std::uint64_t AddressHash(const std::string& address);
// 16 hexadecimal digits of AddressHash(address), then suffix.
std::string HashedFileName(const std::string& address, const char* suffix);

} // namespace zavrio
