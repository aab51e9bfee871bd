#pragma once
// Option handling shared by the zavrio-feeds commands.

#include <stdexcept>
#include <string>
#include <vector>

namespace zavrio {

// A command line the command cannot accept; main prints it with the usage and
// exits with status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Removes "--ini PATH" (or "--ini=PATH") from args and returns PATH, or the
// settings file of DefaultSettingsPath() when the option is absent.
std::string TakeIniOption(std::vector<std::string>& args);

// Removes a flag such as "--verbose" from args; true when it was there.
bool TakeFlag(std::vector<std::string>& args, const std::string& flag);

} // namespace zavrio
