#include "tools/InstallCommand.h"

#include "config/InstallAsScreensaver.h"
#include "tools/InstallStatusCommand.h"
#include "tools/ToolOptions.h"

#include <unistd.h>

#include <stdexcept>

namespace zavrio {

int runInstallCommand(const std::vector<std::string>& args) {
    if (!args.empty())
        throw UsageError("unexpected argument '" + args.front() + "'");
    const std::string program = SaverProgramPath();
    // A registration the desktop cannot run is worse than none.
    if (::access(program.c_str(), X_OK) != 0)
        throw std::runtime_error("no screensaver program to register at " + program);
    InstallAsScreensaver(program);
    return runInstallStatusCommand({});
}

} // namespace zavrio
