// zavrio-feeds: looks at the screensaver's settings and feeds from the shell.
#include "tools/CacheCommand.h"
#include "tools/DiscoverCommand.h"
#include "tools/FeedsCommand.h"
#include "tools/FetchCommand.h"
#include "tools/HintCommand.h"
#include "tools/InstallCommand.h"
#include "tools/InstallStatusCommand.h"
#include "tools/ParseCommand.h"
#include "tools/SettingsCommand.h"
#include "tools/ToolOptions.h"

#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>& args);
};

// One row per command.
const Command kCommands[] = {
    {"settings", "settings [--ini PATH]", zavrio::runSettingsCommand},
    {"set", "set KEY=VALUE... [--ini PATH]", zavrio::runSetCommand},
    {"feeds",
     "feeds [list|add NAME ADDRESS|rename OLD NEW|move NAME POSITION|remove NAME|export|"
     "import FILE] [--ini PATH]",
     zavrio::runFeedsCommand},
    {"discover", "discover ADDRESS [--ini PATH]", zavrio::runDiscoverCommand},
    {"parse", "parse FILE", zavrio::runParseCommand},
    {"fetch", "fetch NAME|URL [--ini PATH] [--verbose]", zavrio::runFetchCommand},
    {"hint", "hint < DESCRIPTION", zavrio::runHintCommand},
    {"cache", "cache [--clear] [--ini PATH]", zavrio::runCacheCommand},
    {"install", "install", zavrio::runInstallCommand},
    {"install-status", "install-status", zavrio::runInstallStatusCommand},
};

void printUsage(std::ostream& out) {
    out << "usage:\n";
    for (const Command& c : kCommands)
        out << "  zavrio-feeds " << c.usage << '\n';
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        printUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0)
            continue;
        try {
            return c.run(std::vector<std::string>(argv + 2, argv + argc));
        } catch (const zavrio::UsageError& e) {
            std::cerr << "zavrio-feeds " << c.name << ": " << e.what() << "\nusage: zavrio-feeds "
                      << c.usage << '\n';
            return 2;
        } catch (const std::exception& e) {
            std::cerr << "zavrio-feeds " << c.name << ": " << e.what() << '\n';
            return 1;
        }
    }
    std::cerr << "zavrio-feeds: unknown command '" << argv[1] << "'\n";
    printUsage(std::cerr);
    return 2;
}
