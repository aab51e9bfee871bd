#include "ToolOptions.h"

#include "settings/SaverSettings.h"

#include <algorithm>
#include <optional>

namespace zavrio {

std::string TakeIniOption(std::vector<std::string>& args) {
    // The default is looked up only when no path is given: finding it may
    // seed the user's settings file.
    std::optional<std::string> path;
    for (auto it = args.begin(); it != args.end();) {
        if (*it == "--ini") {
            if (it + 1 == args.end())
                throw UsageError("--ini needs a file path");
            path = *(it + 1);
            it = args.erase(it, it + 2);
        } else if (it->rfind("--ini=", 0) == 0) {
            path = it->substr(6);
            it = args.erase(it);
        } else {
            ++it;
        }
    }
    return path ? *path : DefaultSettingsPath();
}

bool TakeFlag(std::vector<std::string>& args, const std::string& flag) {
    auto it = std::find(args.begin(), args.end(), flag);
    if (it == args.end())
        return false;
    args.erase(it);
    return true;
}

} // namespace zavrio
