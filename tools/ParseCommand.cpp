#include "tools/ParseCommand.h"

#include "feed/SimpleRSS.h"
#include "tools/FeedHeap.h"
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

// The whole file, or false after telling stderr why it cannot be read. The
// buffer is sized once from the file's size: a feed is several megabytes.
bool readFile(const std::string& path, std::string& bytes) {
    std::string reason;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        reason = std::strerror(EISDIR);
    } else {
        std::ifstream file(path, std::ios::binary);
        if (file) {
            try {
                const auto size = std::filesystem::file_size(path, ec);
                if (!ec) {
                    bytes.resize(static_cast<std::size_t>(size));
                    file.read(bytes.data(), static_cast<std::streamsize>(size));
                    bytes.resize(static_cast<std::size_t>(file.gcount()));
                }
                // A file whose size is not known ahead (a pipe) or that grew.
                file.clear(file.rdstate() & ~(std::ios::failbit | std::ios::eofbit));
                bytes.append(std::istreambuf_iterator<char>(file),
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

    TuneHeapForFeedLoad();
    std::string bytes;
    if (!readFile(path, bytes))
        return 1;

    TSimpleRSS rss;
    std::string error;
    bool failed = false;
    try {
        // The bytes were read first so that a read error is reported as such
        // rather than as a malformed document.
        // The load takes the stream's text over and releases it once the
        // parser has its copy.
        std::istringstream stream(std::move(bytes));
        rss.LoadFromStream(stream);
    } catch (const std::exception& e) {
        error = e.what();
        failed = true;
    }
    WriteFeedJson(std::cout, rss, failed ? &error : nullptr);
    std::cout << '\n';
    return failed ? 1 : 0;
}

} // namespace zavrio
