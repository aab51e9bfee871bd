#include "tools/ParseCommand.h"

#include "feed/SimpleRSS.h"
#include "tools/FeedJson.h"
#include "tools/ToolOptions.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace zavrio {

namespace {

// The whole file, or false after telling stderr why it cannot be read.
bool readFile(const std::string& path, std::string& bytes) {
    std::string reason;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        reason = std::strerror(EISDIR);
    } else {
        std::ifstream file(path, std::ios::binary);
        if (file) {
            try {
                bytes.assign(std::istreambuf_iterator<char>(file),
                             std::istreambuf_iterator<char>());
                if (!file.bad())
                    return true;
            } catch (const std::exception&) {
                // libstdc++ reports a failing read by throwing from the buffer.
            }
        }
        reason = std::strerror(errno);
    }
    std::cerr << "zavrio-feeds parse: cannot read '" << path << "': " << reason << '\n';
    return false;
}

} // namespace

int runParseCommand(const std::vector<std::string>& args) {
    if (args.size() != 1)
        throw UsageError(args.empty() ? "missing FILE" : "unexpected argument '" + args[1] + "'");
    const std::string& path = args[0];

    std::string bytes;
    if (!readFile(path, bytes))
        return 1;

    TSimpleRSS rss;
    std::string error;
    bool failed = false;
    try {
        // The bytes were read first so that a read error is reported as such
        // rather than as a malformed document.
        std::istringstream stream(std::move(bytes));
        rss.LoadFromStream(stream);
    } catch (const std::exception& e) {
        error = e.what();
        failed = true;
    }
    std::cout << DumpFeedJson(FeedToJson(rss, failed ? &error : nullptr)) << '\n';
    return failed ? 1 : 0;
}

} // namespace zavrio
